#pragma once
// The file dialogs, message boxes, confirmation boxes and beeps of the windows all go through
// this one interface, so that window tests can answer them.
#include "support/message_sink.h"

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace tgm {

class UiDialogs {
public:
    // write_cancel: "Записать" (answered ok) and "Отмена"; delete_cancel: "Удалить" and
    // "Отмена". "Отмена" is the default of both: a stray Enter changes no unit.
    enum class Buttons { yes_no_cancel, yes_no, ok_cancel, write_cancel, delete_cancel };
    enum class Answer { yes, no, ok, cancel };

    struct FileRequest {
        QString title;  // empty: the dialog's own
        QString folder; // initial folder; empty: the current one
        QString file_name;
        QStringList filters;      // Qt form, see qt_filters
        int filter_index = 1;     // counted from 1
        bool folder_only = false; // a folder is chosen, returned as folder + "/*.*"
    };
    struct FileAnswer {
        bool accepted = false;
        QString file_name;
        int filter_index = 1;
    };

    virtual ~UiDialogs() = default;
    virtual void message(QWidget* parent, const QString& text,
                         MessageKind kind = MessageKind::information) = 0;
    // A message with one more button, `action`, beside its "OK"; true when the user chose it.
    virtual bool message_or_action(QWidget* parent, const QString& text, const QString& action,
                                   MessageKind kind) = 0;
    // A message with its reason shown under it, apart from the message's own text; a set of
    // dialogs without a place of its own for it shows the reason as the message's next line.
    virtual void message_with_reason(QWidget* parent, const QString& text, const QString& reason,
                                     MessageKind kind) {
        message(parent, reason.isEmpty() ? text : text + QLatin1Char('\r') + reason, kind);
    }
    virtual Answer confirm(QWidget* parent, const QString& text, Buttons buttons, bool warning) = 0;
    virtual FileAnswer open_file(QWidget* parent, const FileRequest& request) = 0;
    virtual FileAnswer save_file(QWidget* parent, const FileRequest& request) = 0;
    virtual void beep(int hertz, int milliseconds) = 0;
    // The system's print dialog for `printer`, which it sets up. `selection` is whether the user
    // chose to print the selection (the selected table) rather than everything. False: cancelled.
    virtual bool print_setup(QWidget* parent, QPrinter& printer, bool& selection) = 0;
};

// The dialogs in use: Qt's own unless another set is installed.
UiDialogs& ui_dialogs();
// Installs a set (nullptr restores Qt's); returns the previous one.
UiDialogs* set_ui_dialogs(UiDialogs* dialogs);

// "Описание|*.FS;*.F1|..." -> {"Описание (*.[Ff][Ss] *.[Ff]1)", ...}: extensions match in
// either letter case. An empty description becomes the patterns as written ("*.FS *.F1").
QStringList qt_filters(const QString& filter_text);

} // namespace tgm
