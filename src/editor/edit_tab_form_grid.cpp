// The table editor's grid: selection, cell editing, the point buttons and following the cursor.
#include "editor/edit_tab_form.h"

#include "editor/edit_dlg.h"
#include "editor/point_grid_model.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "forms/residual.h"
#include "render/gui_text.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace tgm {

int TEditTabForm::selected_row() const {
    const QModelIndex at = StringGrid1->currentIndex();
    return at.isValid() ? at.row() + 1 : 0;
}

void TEditTabForm::select_row(int row) {
    const int rows = grid_model_->rowCount();
    if (rows < 1)
        return;
    const QModelIndex at = StringGrid1->currentIndex();
    const int column = at.isValid() ? at.column() : 1;
    StringGrid1->setCurrentIndex(grid_model_->index(std::clamp(row, 1, rows) - 1, column));
}

void TEditTabForm::edit_cell(int row, int column) {
    FORMA* t = table();
    if (!t || row < 1 || row > t->point_count())
        return;
    if (column != 1 && !(column == 0 && !t->has(kLevelIsIndex)))
        return;
    const int32_t point = row - 1;
    TEditDlg editor(this);
    // Over the cell, in screen coordinates, as the header editors sit.
    const QRect cell = StringGrid1->visualRect(grid_model_->index(point, column));
    editor.setGeometry(QRect(StringGrid1->viewport()->mapToGlobal(cell.topLeft()), cell.size()));
    editor.set_text(qs(std::string(column == 0 ? t->level_text(point) : t->volume_text(point))));
    if (editor.exec() != QDialog::Accepted)
        return;
    // As typed: the marks and the control text show whether it converts.
    const std::string text = cps(editor.get_text());
    if (column == 0)
        t->set_level_text(point, text);
    else
        t->set_volume_text(point, text);
    show_table();
}

void TEditTabForm::SNewButtonClick() {
    FORMA* t = table();
    if (!t)
        return;
    t->add_point("0", "0");
    show_table();
    select_row(t->point_count());
}

void TEditTabForm::SInsButtonClick() {
    FORMA* t = table();
    const int row = selected_row();
    if (!t || row < 1)
        return;
    t->insert_point(row - 1, "0", "0");
    show_table();
}

void TEditTabForm::SDelButtonClick() {
    FORMA* t = table();
    const int row = selected_row();
    if (!t || row < 1)
        return;
    t->delete_point(row - 1);
    show_table();
}

void TEditTabForm::corrButtonClick() {
    FORMA* t = table();
    if (!t)
        return;
    correct_residual_area(*t);
    show_table();
}

void TEditTabForm::follow_cursor() {
    FORMA* t = table();
    if (!graph_ || !t || graph_->cursor_level() == -1)
        return;
    double cursor = graph_->cursor_level();
    if (t->form_type == kFormF1)
        cursor *= 100; // centimetres to tenths of a millimetre
    const int32_t n = t->point_count();
    int row = 1;
    for (int32_t i = 0; i < n; ++i) {
        double level = 0;
        if (!decimal_of_text(t->level_text(i), level) || !(level < cursor))
            break;
        ++row;
    }
    select_row(std::clamp(row, 1, std::max(n, 1)));
    const int visible =
        StringGrid1->viewport()->height() / StringGrid1->verticalHeader()->defaultSectionSize();
    if (n > visible) // the selected row in the middle
        StringGrid1->verticalScrollBar()->setValue(std::max(selected_row() - visible / 2, 1) - 1);
}

bool TEditTabForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            edit_cell(selected_row(), StringGrid1->currentIndex().column());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tgm
