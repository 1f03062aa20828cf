#pragma once
// The program's table grids: a caption row, rows of 18 px, fixed column widths and room for
// 16 rows without scrolling.
#include <QAbstractItemView>
#include <QStringList>
#include <vector>

class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace tgm {

QTableWidget* make_string_grid(QWidget* parent, const std::vector<int>& widths,
                               const QStringList& captions,
                               QAbstractItemView::SelectionBehavior selection);
// The item at a row (counted from 0) and column, created when missing; the first
// `fixed_columns` columns get the colour of the caption row.
QTableWidgetItem* grid_cell(QTableWidget* grid, int row, int column, int fixed_columns);

} // namespace tgm
