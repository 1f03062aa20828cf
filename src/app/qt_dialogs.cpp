#include "app/qt_dialogs.h"

#include "render/gui_text.h"
#include "support/syscfg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTreeView>

namespace tgm {
namespace {

// The texts use "\r" as a line break, as the boxes of the original platform show it.
QString shown(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString box_title() { return qs(config().title()); }

QMessageBox::Icon icon_of(MessageKind kind) {
    return kind == MessageKind::error     ? QMessageBox::Critical
           : kind == MessageKind::warning ? QMessageBox::Warning
                                          : QMessageBox::Information;
}

UiDialogs::FileAnswer run_file_dialog(QWidget* parent, const UiDialogs::FileRequest& request,
                                      bool save);

} // namespace

void QtDialogs::message(QWidget* parent, const QString& text, MessageKind kind) {
    message_with_reason(parent, text, QString(), kind);
}

void QtDialogs::message_with_reason(QWidget* parent, const QString& text, const QString& reason,
                                    MessageKind kind) {
    QMessageBox box(icon_of(kind), box_title(), shown(text), QMessageBox::Ok, parent);
    // Under the message, in the box's smaller informative text.
    if (!reason.isEmpty())
        box.setInformativeText(shown(reason));
    box.exec();
}

bool QtDialogs::message_or_action(QWidget* parent, const QString& text, const QString& action,
                                  MessageKind kind) {
    QMessageBox box(icon_of(kind), box_title(), shown(text), QMessageBox::Ok, parent);
    QPushButton* act = box.addButton(action, QMessageBox::ActionRole);
    act->setObjectName(QStringLiteral("act"));
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == act;
}

UiDialogs::Answer QtDialogs::confirm(QWidget* parent, const QString& text, Buttons buttons,
                                     bool warning) {
    if (buttons == Buttons::write_cancel || buttons == Buttons::delete_cancel) {
        QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Question, box_title(),
                        shown(text), QMessageBox::NoButton, parent);
        QPushButton* act = box.addButton(
            QString::fromUtf8(buttons == Buttons::delete_cancel ? "Удалить" : "Записать"),
            QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QString::fromUtf8("Отмена"), QMessageBox::RejectRole);
        act->setObjectName(QStringLiteral("act"));
        cancel->setObjectName(QStringLiteral("cancel"));
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == act ? Answer::ok : Answer::cancel;
    }
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

UiDialogs::FileAnswer QtDialogs::open_file(QWidget* parent, const FileRequest& request) {
    return run_file_dialog(parent, request, false);
}

UiDialogs::FileAnswer QtDialogs::save_file(QWidget* parent, const FileRequest& request) {
    return run_file_dialog(parent, request, true);
}

void QtDialogs::beep(int, int) { QApplication::beep(); }

bool QtDialogs::print_setup(QWidget* parent, QPrinter& printer, bool& selection) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    selection = dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

namespace {

UiDialogs::FileAnswer run_file_dialog(QWidget* parent, const UiDialogs::FileRequest& request,
                                      bool save) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    // Qt's own dialog on every desktop: it speaks the program's language, keeps the filters'
    // either-case rule and opens at the size below.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // "Форма fs31", not the pattern that lets it match either letter case.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.folder_only) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    }
    // The windows ask their own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setViewMode(QFileDialog::Detail);
    if (!request.filters.isEmpty())
        dialog.setNameFilters(request.filters);
    if (request.filter_index >= 1 && request.filter_index <= request.filters.size())
        dialog.selectNameFilter(request.filters[request.filter_index - 1]);
    if (!request.file_name.isEmpty() && !request.folder_only)
        dialog.selectFile(request.file_name);
    // Size, type and date as wide as their texts, the name taking the rest of a wide dialog.
    if (auto* details = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    dialog.resize(dialog.sizeHint().expandedTo(QSize(900, 520)));
    UiDialogs::FileAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.accepted = true;
    // Qt gives "/" on every system; a Windows user reads and types "\".
    answer.file_name = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    if (request.folder_only)
        answer.file_name += QStringLiteral("/") + request.file_name;
    // With the patterns hidden the dialog may name the filter by its description alone.
    const QString chosen = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < request.filters.size(); ++i)
        if (request.filters[i] == chosen ||
            request.filters[i].startsWith(chosen + QStringLiteral(" (")))
            answer.filter_index = static_cast<int>(i) + 1;
    return answer;
}

} // namespace
} // namespace tgm
