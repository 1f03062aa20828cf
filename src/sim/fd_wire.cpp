#include "sim/fd_wire.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tgm {

FdWire::FdWire(int data_fd, int speed_fd) : data_fd_(data_fd), speed_fd_(speed_fd) {
    const int flags = ::fcntl(data_fd_, F_GETFL);
    (void)::fcntl(data_fd_, F_SETFL, flags | O_NONBLOCK);
}

int FdWire::read(uint8_t& byte) {
    const ssize_t n = ::read(data_fd_, &byte, 1);
    if (n == 1)
        return 1;
    // EIO: nobody holds the pseudo-terminal's other end, which is a quiet line, not a fault.
    return n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO ? -1 : 0;
}

void FdWire::wait_readable(int ms) {
    pollfd pfd{data_fd_, POLLIN, 0};
    (void)::poll(&pfd, 1, ms);
}

long FdWire::write(const uint8_t* bytes, std::size_t count) {
    const ssize_t n = ::write(data_fd_, bytes, count);
    if (n >= 0)
        return static_cast<long>(n);
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

void FdWire::wait_writable(int ms) {
    pollfd pfd{data_fd_, POLLOUT, 0};
    (void)::poll(&pfd, 1, ms);
}

int32_t FdWire::speed() const {
    termios tio{};
    if (::tcgetattr(speed_fd_, &tio) != 0)
        return 0;
    switch (::cfgetospeed(&tio)) {
    case B9600: return 9600;
    case B19200: return 19200;
    default: return -1;
    }
}

} // namespace tgm
