#pragma once
// Test answers for the windows' dialogs and boxes, and a running program on a private home.
#include "app/gui_message_sink.h"
#include "app/import_dlg.h"
#include "app/prj_form.h"
#include "app/ui_dialogs.h"
#include "editor/edit_dlg.h"
#include "editor/edit_tab_form.h"
#include "testing/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace tgm::test {

// Answers from queues; an empty queue answers Cancel. Everything asked is recorded.
class ScriptedDialogs : public UiDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void message(QWidget* parent, const QString& text, MessageKind kind) override;
    // Recorded as a message; the next of `actions_chosen` answers it (none left: "OK").
    bool message_or_action(QWidget* parent, const QString& text, const QString& action,
                           MessageKind kind) override;
    void message_with_reason(QWidget* parent, const QString& text, const QString& reason,
                             MessageKind kind) override;
    Answer confirm(QWidget* parent, const QString& text, Buttons buttons, bool warning) override;
    FileAnswer open_file(QWidget* parent, const FileRequest& request) override;
    FileAnswer save_file(QWidget* parent, const FileRequest& request) override;
    void beep(int hertz, int milliseconds) override;
    // Prints into prints.front()'s PDF file; none left: cancelled.
    bool print_setup(QWidget* parent, QPrinter& printer, bool& selection) override;

    static FileAnswer chosen(const std::string& file_name, int filter_index = 1);

    std::deque<Answer> answers;
    std::deque<FileAnswer> files;
    struct PrintAnswer {
        std::string pdf_file;
        bool selection = false;
    };
    std::deque<PrintAnswer> prints;
    std::deque<bool> actions_chosen;
    // The extra button of each message that had one, in order.
    std::vector<QString> actions;
    std::vector<QString> messages;
    std::vector<MessageKind> message_kinds;
    // The reason under each message; empty for a message without one.
    std::vector<QString> message_reasons;
    std::vector<QString> questions;
    std::vector<Buttons> question_buttons;
    // Called as each question is asked, before it is answered.
    std::function<void()> on_confirm;
    std::vector<FileRequest> requests;
    int beeps = 0;

private:
    GuiMessageSink sink_;
    UiDialogs* previous_dialogs_;
    MessageSink* previous_sink_;
};

// Runs `act` on the modal window once it is up (the caller then starts it).
void when_modal(std::function<void(QWidget*)> act);

// Records whether a modal dialog comes up, and rejects it when it does. The caller processes
// events before it looks, so that the check cannot outlive the test and meet a later dialog.
void unless_modal(bool& shown);

// The program as main() builds it, on its own TGM_HOME.
class Program {
public:
    explicit Program(const std::vector<std::string>& params = {}, const std::string& ini = "");
    ~Program();

    QAction* action(const char* name) const;
    QTableWidget* grid() const;
    QTableWidget* import_grid() const;
    QString cell(int row, int column) const; // row counted from 1, as the window does

    TempDir home;
    ScriptedDialogs dialogs;
    std::unique_ptr<TPrjForm> main;
    TImportDlg* import = nullptr;
    TEditDlg* edit = nullptr;
    TEditTabForm* tab_editor = nullptr;
};

// The port number that the program's tgm.cfg holds; -1 when it is too short.
int32_t port_in_cfg(const Program& p);

// A form file of the kind of its extension, with the given headers, each table with `points`
// points.
std::string write_fs(const std::string& path, const std::vector<std::string>& headers,
                     int points = 3);

} // namespace tgm::test
