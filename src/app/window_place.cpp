#include "app/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tgm {

void centre_on_screen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void centre_on(QWidget* window, const QWidget* owner) {
    if (!owner)
        return;
    const QRect o = owner->frameGeometry();
    const QRect own = window->frameGeometry();
    window->move(o.x() + o.width() / 2 - own.width() / 2,
                 o.y() + o.height() / 2 - own.height() / 2);
}

} // namespace tgm
