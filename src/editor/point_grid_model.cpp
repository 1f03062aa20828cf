#include "editor/point_grid_model.h"

#include "forms/form_kind.h"
#include "forms/forma.h"
#include "forms/number_text.h"
#include "render/gui_text.h"
#include "render/vgraf.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <string>

namespace tgm {
namespace {

bool outside(int32_t value, int32_t low, int32_t high) { return value < low || value > high; }

// The start value and the first step are 15-bit and non-negative in both layouts; after them
// come signed bytes (second differences) or signed words (first differences).
bool unit_refuses(int32_t mode, int32_t i, int32_t value) {
    if (i == 0 || (i == 1 && mode == VGRAF::kSecondDiff))
        return outside(value, 0, 32767);
    return mode == VGRAF::kSecondDiff ? outside(value, -128, 127) : outside(value, -32768, 32767);
}

// Marks follow the conversion of the table's own kind, so that the cell that keeps a table from
// converting is the one framed.
bool volume_converts(int kind, std::string_view text) {
    int32_t litres = 0;
    if (kind == kFormFs1 || kind == kFormFs31)
        return litres_of_cubic_text(text, litres);
    return integer_of_text(text, litres);
}

QString text_of(std::string_view text) { return qs(std::string(text)); }

} // namespace

PointGridModel::PointGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void PointGridModel::show_table(const FORMA* table, const VGRAF* graph, bool control) {
    beginResetModel();
    table_ = table;
    graph_ = graph;
    control_ = control;
    endResetModel();
}

int PointGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->point_count();
}

int PointGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

bool PointGridModel::levels_are_indices() const { return table_ && table_->has(kLevelIsIndex); }

bool PointGridModel::differences_shown() const {
    return levels_are_indices() && control_ && graph_ && graph_->valid() &&
           graph_->differences().count() == table_->point_count();
}

bool PointGridModel::marked(int point, int column) const {
    const int32_t n = table_->point_count();
    if (levels_are_indices() && graph_ && graph_->valid()) {
        if (!differences_shown())
            return false;
        const int32_t mode = graph_->diff_mode();
        const PARTAB& d = graph_->differences();
        if (mode == VGRAF::kSecondDiff) {
            // Column 1 carries the second difference centred on the row's point; column 2 the
            // start value and the first step.
            if (column == 1 && point >= 1 && point <= n - 2)
                return unit_refuses(mode, point + 1, d.point(point + 1));
            if (column == 2 && point <= 1)
                return unit_refuses(mode, point, d.point(point));
            return false;
        }
        return column == 1 && unit_refuses(mode, point, d.point(point));
    }
    if (column == 1)
        return !volume_converts(table_->form_type, table_->volume_text(point));
    int32_t level = 0;
    return column == 0 && !levels_are_indices() &&
           !integer_of_text(table_->level_text(point), level);
}

QVariant PointGridModel::data(const QModelIndex& index, int role) const {
    if (!table_ || !index.isValid() || index.row() >= table_->point_count())
        return QVariant();
    const int point = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == 0)
            return text_of(table_->level_text(point));
        if (column == 1)
            return text_of(table_->volume_text(point));
        return differences_shown() ? QString::number(graph_->differences().point(point))
                                   : QString();
    case Qt::BackgroundRole:
        if (column == 0 && levels_are_indices())
            return QBrush(QGuiApplication::palette().color(QPalette::Window));
        return QVariant();
    case Qt::ForegroundRole:
        if (column == 0 && levels_are_indices()) // not greyed as a disabled cell would be
            return QBrush(QGuiApplication::palette().color(QPalette::WindowText));
        return QVariant();
    case kRedFrameRole: return marked(point, column);
    default: return QVariant();
    }
}

QVariant PointGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !table_)
        return QVariant();
    if (section == 0)
        return qs(table_->level_caption);
    if (section == 1)
        return qs(table_->volume_caption);
    return QString();
}

Qt::ItemFlags PointGridModel::flags(const QModelIndex& index) const {
    // Index levels form a fixed column: shown, never current, so the keys pass it by (the
    // window sends clicks on it to the row's volume).
    if (index.column() == 0 && levels_are_indices())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace tgm
