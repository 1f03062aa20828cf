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

} // namespace tgm
