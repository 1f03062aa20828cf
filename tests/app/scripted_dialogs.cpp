#include "scripted_dialogs.h"

#include "forms/fdata.h"
#include "forms/form_kind.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/tables.h"

#include <QPrinter>
#include <gtest/gtest.h>

namespace tgm::test {

ScriptedDialogs::ScriptedDialogs()
    : previous_dialogs_(set_ui_dialogs(this)), previous_sink_(set_message_sink(&sink_)) {}

ScriptedDialogs::~ScriptedDialogs() {
    set_message_sink(previous_sink_);
    set_ui_dialogs(previous_dialogs_);
}

void ScriptedDialogs::message(QWidget* parent, const QString& text, MessageKind kind) {
    message_with_reason(parent, text, QString(), kind);
}

void ScriptedDialogs::message_with_reason(QWidget*, const QString& text, const QString& reason,
                                          MessageKind kind) {
    messages.push_back(text);
    message_kinds.push_back(kind);
    message_reasons.push_back(reason);
}

bool ScriptedDialogs::message_or_action(QWidget* parent, const QString& text, const QString& action,
                                        MessageKind kind) {
    message(parent, text, kind);
    actions.push_back(action);
    if (actions_chosen.empty())
        return false;
    const bool chosen = actions_chosen.front();
    actions_chosen.pop_front();
    return chosen;
}

UiDialogs::Answer ScriptedDialogs::confirm(QWidget*, const QString& text, Buttons buttons, bool) {
    questions.push_back(text);
    question_buttons.push_back(buttons);
    if (on_confirm)
        on_confirm();
    if (answers.empty())
        return Answer::cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

UiDialogs::FileAnswer ScriptedDialogs::open_file(QWidget*, const FileRequest& request) {
    requests.push_back(request);
    if (files.empty())
        return FileAnswer();
    const FileAnswer a = files.front();
    files.pop_front();
    return a;
}

UiDialogs::FileAnswer ScriptedDialogs::save_file(QWidget* parent, const FileRequest& request) {
    return open_file(parent, request);
}

void ScriptedDialogs::beep(int, int) { ++beeps; }

bool ScriptedDialogs::print_setup(QWidget*, QPrinter& printer, bool& selection) {
    if (prints.empty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(prints.front().pdf_file));
    selection = prints.front().selection;
    prints.pop_front();
    return true;
}

UiDialogs::FileAnswer ScriptedDialogs::chosen(const std::string& file_name, int filter_index) {
    FileAnswer a;
    a.accepted = true;
    a.file_name = QString::fromStdString(file_name);
    a.filter_index = filter_index;
    return a;
}

void unless_modal(bool& shown) {
    QTimer::singleShot(0, [&shown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->reject();
        }
    });
}

void when_modal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr) << "no modal window came up";
        act(w);
    });
}

int32_t port_in_cfg(const Program& p) {
    const std::string cfg = read_file(p.home.file("tgm.cfg"));
    if (cfg.size() < 11)
        return -1;
    return static_cast<int32_t>(static_cast<uint8_t>(cfg[7]) | static_cast<uint8_t>(cfg[8]) << 8);
}

Program::Program(const std::vector<std::string>& params, const std::string& ini) {
    qputenv("TGM_HOME", QByteArray::fromStdString(home.path()));
    if (!ini.empty())
        write_file(home.file("tgm.ini"), ini);
    main = std::make_unique<TPrjForm>(params);
    import = new TImportDlg(main.get());
    edit = new TEditDlg(main.get());
    tab_editor = new TEditTabForm(main.get());
    main->set_import_dialog(import);
    main->set_table_editor(tab_editor);
    import->set_edit_dlg(edit);
    import->set_table_editor(tab_editor);
}

Program::~Program() {
    main.reset();
    qunsetenv("TGM_HOME");
}

QAction* Program::action(const char* name) const {
    QAction* a = main->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
}

QTableWidget* Program::grid() const {
    return main->findChild<QTableWidget*>(QStringLiteral("TabGrid"));
}

QTableWidget* Program::import_grid() const {
    return import->findChild<QTableWidget*>(QStringLiteral("TabGrid"));
}

QString Program::cell(int row, int column) const {
    const QTableWidgetItem* item = grid()->item(row - 1, column);
    return item ? item->text() : QString();
}

std::string write_fs(const std::string& path, const std::vector<std::string>& headers, int points) {
    GROUPTAB g;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        PARTAB t = line(points, static_cast<int32_t>(k), 100);
        t.set_header(cp(headers[k]));
        g.add_copy(t);
    }
    // Filled in the file's own kind, so the file keeps its name.
    FDATA list;
    list.fill_from_group(g, form_type_of_file(path));
    EXPECT_TRUE(list.save_form_file(path));
    return path;
}

} // namespace tgm::test
