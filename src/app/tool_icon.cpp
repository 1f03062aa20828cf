#include "app/tool_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace tgm {
namespace {

// Grey, at a third of the opacity: still legible on the bar, never taken for an active button.
QPixmap faded(const QPixmap& normal) {
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 3);
        }
    }
    QPixmap out = QPixmap::fromImage(image);
    out.setDevicePixelRatio(normal.devicePixelRatio());
    return out;
}

// A plus in the lower right quarter, white-edged to stand out on the page.
void draw_plus(QPixmap& pixmap, int size) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal arm = size * 0.22, width = size * 0.16;
    const QPointF centre(size * 0.70, size * 0.70);
    for (const auto& [pen_width, colour] :
         {std::pair{width + 2.0, QColor(Qt::white)}, std::pair{width, QColor(0x2e, 0x8b, 0x2e)}}) {
        painter.setPen(QPen(colour, pen_width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
        painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
    }
}

} // namespace

QIcon tool_icon(const QString& theme_name, QStyle::StandardPixmap fallback, const QStyle* style,
                int size) {
    const bool themed = QIcon::hasThemeIcon(theme_name);
    const QIcon source = themed ? QIcon::fromTheme(theme_name) : style->standardIcon(fallback);
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) { // and twice the size, for screens that scale
        QPixmap normal = source.pixmap(QSize(size, size), ratio);
        if (!themed && fallback == QStyle::SP_FileIcon)
            draw_plus(normal, size);
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(faded(normal), QIcon::Disabled);
    }
    return icon;
}

} // namespace tgm
