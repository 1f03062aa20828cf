#include "app/import_dlg.h"

#include "app/spreadsheet_mapping_dialog.h"
#include "app/string_grid.h"
#include "app/ui_dialogs.h"
#include "app/window_place.h"
#include "editor/edit_dlg.h"
#include "editor/edit_tab_form.h"
#include "forms/csv_reader.h"
#include "forms/form_kind.h"
#include "render/gui_text.h"
#include "support/syscfg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tgm {
namespace {

QPushButton* button(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TImportDlg::TImportDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TImportDlg"));
    setWindowTitle(QString::fromUtf8("Импорт формы"));

    QStringList captions;
    for (const char* c : {"Канал", "Контроль", "Заголовок"})
        captions << QString::fromUtf8(c);
    TabGrid = make_string_grid(this, {41, 73, 223}, captions, QAbstractItemView::SelectItems);
    TabGrid->hide();
    TabGrid->installEventFilter(this);
    connect(TabGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == 2)
            edit_header(row + 1);
    });

    OkButton = button("OkButton", "OK", this);
    CancelButton = button("CancelButton", "Cancel", this);
    EditButton = button("EditButton", "Редактор таблиц", this);
    SaveButton = button("SaveButton", "Сохранить форму", this);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
    connect(EditButton, &QPushButton::clicked, this, &TImportDlg::EditButtonClick);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {OkButton, CancelButton, EditButton, SaveButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(TabGrid, 0, Qt::AlignTop);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TImportDlg::run_import() {
    UiDialogs::FileRequest request;
    request.folder = file_text(config().syspar().forms_folder());
    request.filters = qt_filters(QString::fromUtf8("Формы (fs*, f1)|*.FS*;*.F1"));
    const UiDialogs::FileAnswer answer = ui_dialogs().open_file(parentWidget(), request);
    return answer.accepted && import_file(file_bytes(answer.file_name));
}

bool TImportDlg::import_file(const std::string& file_name) {
    resampled_ = 0;
    if (!project_.open_form(file_name))
        return false;
    // Files with levels by row number go straight in, but only when every table converts: a
    // table that does not would enter the project as other data.
    project_.update_control();
    if (project_.table_form() && project_.all_writable())
        return true;
    return exec() == QDialog::Accepted;
}

bool TImportDlg::run_csv_import() {
    UiDialogs::FileRequest request;
    request.folder = file_text(config().syspar().forms_folder());
    request.filters = qt_filters(QStringLiteral("CSV, TSV, XLSX, ODS|*.CSV;*.TSV;*.XLSX;*.ODS"));
    const UiDialogs::FileAnswer answer = ui_dialogs().open_file(parentWidget(), request);
    if (!answer.accepted)
        return false;
    CsvImport read;
    const std::string file_name = file_bytes(answer.file_name);
    CsvSource source;
    if (!open_csv_file(file_name, source))
        return false;
    if (source.own_layout) {
        if (!take_csv_tables(source, read))
            return false;
    } else {
        // A lab's table: its columns and units are confirmed before anything is imported.
        SpreadsheetMappingDialog mapping(source, parentWidget());
        if (mapping.exec() != QDialog::Accepted)
            return false;
        read = mapping.tables();
    }
    project_.open_tables(read.tables, file_name);
    resampled_ = read.resampled;
    return exec() == QDialog::Accepted;
}

void TImportDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    show_project();
    // The grid shown for the first time makes the dialog grow: take the final size first.
    layout()->activate();
    centre_on_screen(this);
}

void TImportDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        show_project();
}

void TImportDlg::show_project() {
    setWindowTitle(QString::fromUtf8("Импорт ") + name_text(project_.name()));
    TabGrid->setRowCount(project_.count());
    for (int k = 0; k < project_.count(); ++k) {
        const QString texts[] = {QString::number(k + 1), QString(), qs(project_.header(k))};
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* item = grid_cell(TabGrid, k, c, 2);
            item->setText(texts[c]);
            // The fixed columns never take the current cell, so Enter always edits the header;
            // their text keeps the normal colour.
            if (c < 2) {
                item->setFlags(Qt::NoItemFlags);
                item->setForeground(TabGrid->palette().windowText());
            }
        }
        TabGrid->item(k, 2)->setToolTip(texts[2]);
        // The table is not what the file listed point by point: say so where the user looks.
        const bool resampled = (resampled_ >> k) & 1u;
        if (resampled)
            TabGrid->item(k, 0)->setText(texts[0] + QStringLiteral(" ≈"));
        TabGrid->item(k, 0)->setToolTip(
            resampled ? QString::fromUtf8("Пересчитана на каждый сантиметр уровня, как форма .f1")
                      : QString());
    }
    TabGrid->setCurrentCell(0, 2);
    update_control_column();
    TabGrid->show();
}

void TImportDlg::update_control_column() {
    project_.update_control();
    for (int k = 0; k < project_.count(); ++k)
        TabGrid->item(k, 1)->setText(qs(project_.control_text(k)));
    OkButton->setEnabled(project_.all_writable());
}

void TImportDlg::edit_header(int row) {
    if (row < 1 || row > project_.count() || !edit_dlg_)
        return;
    const int k = row - 1;
    edit_dlg_->place_over_cell(TabGrid, row, 2);
    edit_dlg_->set_text(qs(project_.header(k)));
    if (edit_dlg_->exec() == QDialog::Accepted) {
        project_.set_header(k, cps(edit_dlg_->get_text()));
    }
    show_project(); // back from the cell editor as on every activation
}

bool TImportDlg::SaveButtonClick() {
    UiDialogs::FileRequest request;
    // A CSV file's tables are saved as a form, never over the CSV file itself.
    const std::string& name = project_.name();
    const bool form = form_type_of_file(name) != kFormNone;
    request.file_name = file_text(form ? name : form_file_name(name, project_.tables().kind()));
    request.filters = qt_filters(QStringLiteral("|*.FS*;*.F1"));
    const UiDialogs::FileAnswer answer = ui_dialogs().save_file(this, request);
    const bool saved = answer.accepted && project_.save_form(file_bytes(answer.file_name));
    show_project(); // back from the save dialog as on every activation
    return saved;
}

void TImportDlg::EditButtonClick() {
    if (!tab_editor_ || project_.count() < 1)
        return;
    // The dialog stays up under the editor: hiding it would end its exec() with Rejected, and
    // the user's OK would then import nothing.
    FDATA copy = project_.tables();
    tab_editor_->open_tables(name_text(project_.name()), copy, false, TabGrid->currentRow());
    tab_editor_->exec();
    project_.take_edited(copy);
    show_project();
}

void TImportDlg::done(int result) {
    if (project_.modified()) {
        switch (ui_dialogs().confirm(this, QString::fromUtf8("Сохранить форму?"),
                                     UiDialogs::Buttons::yes_no_cancel, false)) {
        case UiDialogs::Answer::yes:
            if (!SaveButtonClick())
                return;
            break;
        case UiDialogs::Answer::no: break;
        default: return;
        }
    }
    QDialog::done(result);
}

bool TImportDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && TabGrid->currentColumn() == 2) {
            edit_header(TabGrid->currentRow() + 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tgm
