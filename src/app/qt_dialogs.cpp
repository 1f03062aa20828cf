#include "app/qt_dialogs.h"

#include "app/gui_text.h"
#include "support/syscfg.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tgm {
namespace {

// The texts use "\r" as a line break, as the boxes of the original platform show it.
QString shown(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString box_title() { return qs(config().title()); }

TUiDialogs::FileAnswer run_file_dialog(QWidget* parent, const TUiDialogs::FileRequest& request,
                                       bool save);

} // namespace

void TQtDialogs::message(QWidget* parent, const QString& text, MessageKind kind) {
    const QMessageBox::Icon icon = kind == MessageKind::error     ? QMessageBox::Critical
                                   : kind == MessageKind::warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    QMessageBox box(icon, box_title(), shown(text), QMessageBox::Ok, parent);
    box.exec();
}

TUiDialogs::Answer TQtDialogs::confirm(QWidget* parent, const QString& text, Buttons buttons,
                                       bool warning) {
    QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    if (buttons == Buttons::yes_no)
        set = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == Buttons::ok_cancel)
        set = QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Question, box_title(),
                    shown(text), set, parent);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::yes;
    case QMessageBox::No: return Answer::no;
    case QMessageBox::Ok: return Answer::ok;
    default: return Answer::cancel;
    }
}

TUiDialogs::FileAnswer TQtDialogs::open_file(QWidget* parent, const FileRequest& request) {
    if (request.folder_only) {
        const QString folder =
            QFileDialog::getExistingDirectory(parent, request.title, request.folder);
        FileAnswer answer;
        answer.accepted = !folder.isEmpty();
        answer.file_name = folder + QStringLiteral("/") + request.file_name;
        return answer;
    }
    return run_file_dialog(parent, request, false);
}

TUiDialogs::FileAnswer TQtDialogs::save_file(QWidget* parent, const FileRequest& request) {
    return run_file_dialog(parent, request, true);
}

void TQtDialogs::beep(int, int) { QApplication::beep(); }

namespace {

TUiDialogs::FileAnswer run_file_dialog(QWidget* parent, const TUiDialogs::FileRequest& request,
                                       bool save) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The windows ask their own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.filters);
    if (request.filter_index >= 1 && request.filter_index <= request.filters.size())
        dialog.selectNameFilter(request.filters[request.filter_index - 1]);
    if (!request.file_name.isEmpty())
        dialog.selectFile(request.file_name);
    TUiDialogs::FileAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.accepted = true;
    answer.file_name = dialog.selectedFiles().constFirst();
    answer.filter_index = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (answer.filter_index < 1)
        answer.filter_index = 1;
    return answer;
}

} // namespace
} // namespace tgm
