#include "app/string_grid.h"

#include <QHeaderView>
#include <QTableWidget>

namespace tgm {
namespace {
constexpr int kRowHeight = 18;
} // namespace

QTableWidget* make_string_grid(QWidget* parent, const std::vector<int>& widths,
                               const QStringList& captions,
                               QAbstractItemView::SelectionBehavior selection) {
    auto* grid = new QTableWidget(0, static_cast<int>(widths.size()), parent);
    grid->setObjectName(QStringLiteral("TabGrid"));
    // The column widths were made for a small, narrow face; a condensed 8 pt one fits them.
    QFont font = grid->font();
    font.setPointSize(8);
    font.setStretch(QFont::SemiCondensed);
    grid->setFont(font);
    grid->horizontalHeader()->setFont(font);
    grid->setSelectionBehavior(selection);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->horizontalHeader()->setFixedHeight(kRowHeight);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int width = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        grid->setColumnWidth(static_cast<int>(c), widths[c]);
        width += widths[c];
    }
    const int frame = 2 * grid->frameWidth();
    grid->setFixedSize(width + frame, 17 * kRowHeight + frame);
    grid->setHorizontalHeaderLabels(captions);
    return grid;
}

QTableWidgetItem* grid_cell(QTableWidget* grid, int row, int column, int fixed_columns) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        if (column < fixed_columns)
            item->setBackground(grid->palette().window());
        grid->setItem(row, column, item);
    }
    return item;
}

} // namespace tgm
