// The main window's table commands and the in-place header editor.
#include "app/prj_form.h"

#include "app/import_dlg.h"
#include "app/ui_dialogs.h"
#include "editor/edit_dlg.h"
#include "editor/edit_tab_form.h"
#include "render/gui_text.h"

#include <QDialog>
#include <QTableWidget>

namespace tgm {

void TPrjForm::set_table_editor(TEditTabForm* editor) {
    tab_editor_ = editor;
    if (!editor)
        return;
    editor->set_close_question([](QWidget* parent, const QString& text) {
        switch (ui_dialogs().confirm(parent, text, UiDialogs::Buttons::yes_no_cancel, false)) {
        case UiDialogs::Answer::yes: return TEditTabForm::CloseAnswer::yes;
        case UiDialogs::Answer::no: return TEditTabForm::CloseAnswer::no;
        default: return TEditTabForm::CloseAnswer::cancel;
        }
    });
}

void TPrjForm::edit_header() {
    const int r = current_row();
    if (r < 1 || r > project_.count())
        return;
    const int k = r - 1;
    TEditDlg editor(this);
    editor.place_over_cell(TabGrid, r, 4);
    editor.set_text(qs(project_.header(k)));
    if (editor.exec() == QDialog::Accepted) {
        project_.set_header(k, cps(editor.get_text()));
        fill_row(k);
    }
}

void TPrjForm::NTabAddNewClick() {
    project_.add_table();
    refresh(-1);
}

void TPrjForm::NTabInsertNewClick() {
    const int r = current_row();
    if (r < 1)
        return;
    project_.insert_table(r - 1);
    refresh(r);
}

void TPrjForm::NTabInsertEmptyClick() {
    const int r = current_row();
    if (r < 1)
        return;
    project_.insert_gap(r - 1);
    refresh(r);
}

void TPrjForm::NTabCopyClick() {
    if (current_row() < 1)
        return;
    project_.copy_table(current_row() - 1);
    named("NTabPaste")->setEnabled(true);
}

void TPrjForm::NTabCutClick() {
    const int r = current_row();
    if (r < 1)
        return;
    project_.copy_table(r - 1);
    named("NTabPaste")->setEnabled(true);
    project_.delete_table(r - 1);
    refresh(r);
}

void TPrjForm::NTabPasteClick() {
    const int r = current_row();
    if (r < 1)
        return;
    project_.paste_table(r - 1);
    refresh(r);
}

// Adding and inserting rebuild the project's own tables from numbers: a table that does not
// convert is named before the user goes through the import for nothing.
void TPrjForm::NTabAddFClick() {
    if (!project_.check_conversion())
        return;
    if (import_dlg_ && import_dlg_->run_import())
        project_.add_tables(import_dlg_->project());
    refresh(-1);
}

void TPrjForm::NTabInsertFClick() {
    const int r = current_row();
    if (!project_.check_conversion())
        return;
    if (import_dlg_ && import_dlg_->run_import())
        project_.insert_tables(r - 1, import_dlg_->project());
    refresh(r);
}

void TPrjForm::NTabDeleteClick() {
    const int r = current_row();
    if (r < 1)
        return;
    // A table's channel is its place: the user learns that the later tables move up.
    const int count = project_.count();
    QString what = u("Канал %1").arg(r);
    if (r + 1 == count)
        what += u(". Таблица канала %1 станет таблицей канала %2; каналы сохраняет "
                  "«Вставить пропуск».")
                    .arg(r + 1)
                    .arg(r);
    else if (r < count)
        what += u(". Таблицы каналов %1–%2 сдвинутся на один канал вверх; каналы сохраняет "
                  "«Вставить пропуск».")
                    .arg(r + 1)
                    .arg(count);
    else
        what += QLatin1Char('.');
    if (ui_dialogs().confirm(this, u("Удалить таблицу?") + QLatin1Char('\n') + what,
                             UiDialogs::Buttons::ok_cancel, false) != UiDialogs::Answer::ok)
        return;
    project_.delete_table(r - 1);
    refresh(r);
}

void TPrjForm::NTabEditClick() { edit_tables(current_row()); }

void TPrjForm::edit_tables(int r) {
    if (!tab_editor_ || project_.count() < 1)
        return;
    hide();
    FDATA copy = project_.tables();
    tab_editor_->open_tables(name_text(project_.name()), copy, true, r - 1,
                             marks_.held() ? &marks_.unit_tables() : nullptr, u("система"));
    tab_editor_->exec();
    show();
    project_.take_edited(copy);
    refresh(r);
}

} // namespace tgm
