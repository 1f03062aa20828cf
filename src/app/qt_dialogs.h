#pragma once
// The program's own answers to UiDialogs: Qt's file dialogs and message boxes.
#include "app/ui_dialogs.h"

namespace tgm {

class QtDialogs : public UiDialogs {
public:
    void message(QWidget* parent, const QString& text, MessageKind kind) override;
    bool message_or_action(QWidget* parent, const QString& text, const QString& action,
                           MessageKind kind) override;
    void message_with_reason(QWidget* parent, const QString& text, const QString& reason,
                             MessageKind kind) override;
    Answer confirm(QWidget* parent, const QString& text, Buttons buttons, bool warning) override;
    FileAnswer open_file(QWidget* parent, const FileRequest& request) override;
    FileAnswer save_file(QWidget* parent, const FileRequest& request) override;
    void beep(int hertz, int milliseconds) override;
    bool print_setup(QWidget* parent, QPrinter& printer, bool& selection) override;
};

} // namespace tgm
