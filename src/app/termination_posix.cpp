#include "app/termination.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tgm {
namespace {

// A signal handler may only write a byte; the event loop does the rest.
int signal_pipe[2] = {-1, -1};

void on_signal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signal_pipe[1], &c, 1);
}

} // namespace

void close_windows_on_termination(QObject* owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char c = 0;
        [[maybe_unused]] const ssize_t n = ::read(signal_pipe[0], &c, 1);
        QApplication::closeAllWindows();
    });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(s, &action, nullptr);
}

} // namespace tgm
