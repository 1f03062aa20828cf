#pragma once
// Draws the editor's grid cells and a red frame around each cell that its model marks.
#include <QStyledItemDelegate>

namespace tgm {

class RedFrameDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit RedFrameDelegate(int mark_role, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int mark_role_;
};

} // namespace tgm
