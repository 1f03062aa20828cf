// The table editor's grid: selection, cell editing, the point buttons and following the cursor.
#include "editor/edit_tab_form.h"

#include "editor/edit_dlg.h"
#include "editor/graph_image.h"
#include "editor/point_grid_model.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "forms/residual.h"
#include "render/gui_text.h"
#include "support/cp1251.h"
#include "support/message_sink.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
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
    const QScopedValueRollback<bool> quiet(moving_row_, true);
    StringGrid1->setCurrentIndex(grid_model_->index(std::clamp(row, 1, rows) - 1, column));
}

void TEditTabForm::record_change(FORMA before) {
    FORMA* t = table();
    if (!t || before.equals(*t))
        return;
    undo_[static_cast<std::size_t>(current_)].push_back(std::move(before));
    redo_[static_cast<std::size_t>(current_)].clear();
}

void TEditTabForm::update_undo_buttons() {
    const bool open = table() != nullptr && current_ < static_cast<int32_t>(undo_.size());
    undo_action_->setEnabled(open && !undo_[static_cast<std::size_t>(current_)].empty());
    redo_action_->setEnabled(open && !redo_[static_cast<std::size_t>(current_)].empty());
}

namespace {

// One step of the current table's history: the table as it is goes onto `to`.
bool step_back(FORMA& t, std::vector<FORMA>& from, std::vector<FORMA>& to) {
    if (from.empty())
        return false;
    to.push_back(t);
    t = std::move(from.back());
    from.pop_back();
    return true;
}

} // namespace

void TEditTabForm::UndoButtonClick() {
    FORMA* t = table();
    if (t && current_ < static_cast<int32_t>(undo_.size()) &&
        step_back(*t, undo_[static_cast<std::size_t>(current_)],
                  redo_[static_cast<std::size_t>(current_)]))
        show_table();
}

void TEditTabForm::RedoButtonClick() {
    FORMA* t = table();
    if (t && current_ < static_cast<int32_t>(redo_.size()) &&
        step_back(*t, redo_[static_cast<std::size_t>(current_)],
                  undo_[static_cast<std::size_t>(current_)]))
        show_table();
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
    FORMA before = *t;
    if (column == 0)
        t->set_level_text(point, text);
    else
        t->set_volume_text(point, text);
    record_change(std::move(before));
    show_table();
}

void TEditTabForm::SNewButtonClick() {
    FORMA* t = table();
    if (!t)
        return;
    FORMA before = *t;
    t->add_point("0", "0");
    record_change(std::move(before));
    show_table();
    select_row(t->point_count());
}

void TEditTabForm::SInsButtonClick() {
    FORMA* t = table();
    const int row = selected_row();
    if (!t || row < 1)
        return;
    FORMA before = *t;
    t->insert_point(row - 1, "0", "0");
    record_change(std::move(before));
    show_table();
}

void TEditTabForm::SDelButtonClick() {
    FORMA* t = table();
    const int row = selected_row();
    if (!t || row < 1)
        return;
    FORMA before = *t;
    t->delete_point(row - 1);
    record_change(std::move(before));
    show_table();
}

void TEditTabForm::corrButtonClick() {
    FORMA* t = table();
    if (!t)
        return;
    FORMA before = *t;
    int32_t corrected = 0;
    const bool ran = correct_residual_area(*t, kResidualMaxAttempts, &corrected);
    record_change(std::move(before));
    show_table();
    if (!ran)
        show_message(cp("Коррекция не выполнена: объём не читается как целое число "
                        "или поиск не сошёлся"),
                     MessageKind::warning);
    else if (corrected == 0)
        show_message(cp("Коррекция не потребовалась"), MessageKind::information);
    else
        show_message(cp("Исправлено уровней: ") + std::to_string(corrected),
                     MessageKind::information);
}

void TEditTabForm::grid_row_changed(int row) {
    FORMA* t = table();
    if (!graph_ || !graph_->valid() || !t || row < 1 || row > t->point_count())
        return;
    double level = row - 1;
    if (!t->has(kLevelIsIndex)) {
        if (!decimal_of_text(t->level_text(row - 1), level))
            return;
        if (t->form_type == kFormF1)
            level /= 100; // tenths of a millimetre to centimetres
    }
    graph_->move_cursor(static_cast<int32_t>(level));
    Image1->update();
    update_range_controls();
    show_cursor_level();
}

bool TEditTabForm::fixed_cell_click(QEvent* event) {
    FORMA* t = table();
    if (!t || !t->has(kLevelIsIndex))
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex at = StringGrid1->indexAt(mouse->position().toPoint());
    if (!at.isValid() || at.column() != 0 || mouse->button() != Qt::LeftButton)
        return false;
    StringGrid1->setFocus();
    StringGrid1->setCurrentIndex(grid_model_->index(at.row(), 1));
    if (event->type() == QEvent::MouseButtonDblClick)
        edit_cell(at.row() + 1, 1);
    return true;
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
    const QScopedValueRollback<bool> quiet(moving_row_, true);
    const int visible =
        StringGrid1->viewport()->height() / StringGrid1->verticalHeader()->defaultSectionSize();
    if (n > visible) // the selected row in the middle
        StringGrid1->verticalScrollBar()->setValue(std::max(selected_row() - visible / 2, 1) - 1);
}

void TEditTabForm::keyPressEvent(QKeyEvent* event) {
    // Whatever control has the focus passes these keys on to the window.
    if (event->matches(QKeySequence::Undo)) {
        UndoButtonClick();
        return;
    }
    if (event->matches(QKeySequence::Redo) ||
        (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier)) {
        RedoButtonClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TEditTabForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StringGrid1->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        return fixed_cell_click(event);
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
