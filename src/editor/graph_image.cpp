#include "editor/graph_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tgm {
namespace {

QImage blank_image(QSize size) {
    // Never empty: a painter cannot start on a null image.
    QImage image(std::max(size.width(), 1), std::max(size.height(), 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

GraphImage::GraphImage(QWidget* parent) : QWidget(parent), image_(blank_image(QSize(600, 450))) {
    setObjectName(QStringLiteral("Image1"));
    setToolTip(QString::fromUtf8("График"));
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The whole image is drawn on every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void GraphImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (image_.size() == size())
        return;
    image_ = blank_image(size());
    emit resized();
}

void GraphImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit pressed(event->position().toPoint().x(), event->position().toPoint().y());
}

void GraphImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit moved(at.x(), at.y(), (event->buttons() & Qt::LeftButton) != 0);
}

void GraphImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit released(event->position().toPoint().x(), event->position().toPoint().y());
}

void GraphImage::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit left();
}

} // namespace tgm
