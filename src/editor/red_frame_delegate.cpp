#include "editor/red_frame_delegate.h"

#include <QPainter>

namespace tgm {

RedFrameDelegate::RedFrameDelegate(int mark_role, QObject* parent)
    : QStyledItemDelegate(parent), mark_role_(mark_role) {}

void RedFrameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.data(mark_role_).toBool())
        return;
    painter->save();
    painter->setPen(QPen(Qt::red, 0));
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

} // namespace tgm
