#include "app/termination.h"

#include <QApplication>
#include <QMetaObject>
#include <atomic>
#include <windows.h>

namespace tgm {
namespace {

std::atomic<QObject*> target{nullptr};

// Ctrl+C, Ctrl+Break, the console closed, the session ending: the windows close as the user
// would close them, on the event loop's thread.
BOOL WINAPI on_control(DWORD) {
    if (QObject* owner = target.load())
        QMetaObject::invokeMethod(
            owner, [] { QApplication::closeAllWindows(); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

void close_windows_on_termination(QObject* owner) {
    target.store(owner);
    (void)::SetConsoleCtrlHandler(on_control, TRUE);
}

} // namespace tgm
