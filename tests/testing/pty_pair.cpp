#include "testing/pty_pair.h"

#include "ports/port_names.h"
#include "ports/timer.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace tgm::test {

PtyPair::PtyPair() {
    termios tio{};
    ::cfmakeraw(&tio);
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, &tio, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
    port_ = port_of_path(path_);
}

PtyPair::~PtyPair() {
    ::close(master_);
    ::close(slave_);
}

Bytes PtyPair::read(std::size_t n, int timeout_ms) {
    Bytes out;
    TIMER timer(timeout_ms, system_clock());
    while (out.size() < n && !timer.expired()) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, 10) > 0 && (pfd.revents & POLLIN)) {
            uint8_t buffer[4096];
            const ssize_t k = ::read(master_, buffer, std::min(sizeof buffer, n - out.size()));
            if (k > 0)
                out.insert(out.end(), buffer, buffer + k);
        }
    }
    return out;
}

Bytes PtyPair::drain(int quiet_ms) {
    Bytes out;
    for (;;) {
        Bytes more = read(4096, quiet_ms);
        if (more.empty())
            return out;
        out.insert(out.end(), more.begin(), more.end());
    }
}

void PtyPair::write(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t k = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (k <= 0)
            throw std::runtime_error("write to the pseudo-terminal failed");
        done += static_cast<std::size_t>(k);
    }
}

EnvGuard::EnvGuard(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        had_ = true;
        old_ = old;
    }
    ::setenv(name, value.c_str(), 1);
}

EnvGuard::~EnvGuard() {
    if (had_)
        ::setenv(name_.c_str(), old_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

} // namespace tgm::test
