#include "ports/pci.h"

#include "ports/port_names.h"
#include "ports/timer.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tgm {

struct PCI::Device {
    int fd = -1;
    // The terminal settings the port had before it was opened, given back when it is closed.
    termios previous{};
    bool restore = false;
};

namespace {

// termios constants of the speed table; 0 where termios has no such speed.
const speed_t kTermiosSpeeds[PCI::kSpeedCount] = {
    B75, B110, B300, B600, B1200, B2400, B4800, B9600, 0, B19200, B38400, 0, B57600, B115200};

struct TermiosSetting {
    speed_t speed = 0;
    tcflag_t cflag = 0;
    tcflag_t iflag = 0;
    bool refused = false; // formed, but no Linux port accepts it
};

// Step 1 of open: the setting from the stored values, before the old port is touched.
bool form_setting(int8_t baud, int8_t size, int8_t parity, int8_t stop, TermiosSetting& out) {
    if (baud < 0 || baud >= PCI::kSpeedCount || size < 0 || size >= PCI::kSizeCount || parity < 0 ||
        parity > 4 || stop < 0 || stop > 2)
        return false;
    out.speed = kTermiosSpeeds[baud];
    static const tcflag_t sizes[PCI::kSizeCount] = {0, CS5, CS6, CS7, CS8};
    out.cflag = CLOCAL | CREAD | sizes[size];
    // Four data bits, and one and a half stop bits with anything but five data bits, are
    // what a port refuses; two stop bits with five data bits as well.
    if (size == 0 || out.speed == 0 || (stop == 1 && size != 1) || (stop == 2 && size == 1))
        out.refused = true;
    if (stop != 0)
        out.cflag |= CSTOPB;
    switch (parity) {
    case 1: out.cflag |= PARENB | PARODD; break;
    case 2: out.cflag |= PARENB; break;
    case 3: out.cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: out.cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // Parity errors are checked, never marked: PARMRK would double every 0xFF byte.
    if (parity != 0)
        out.iflag |= INPCK;
    return true;
}

bool apply_setting(int fd, const TermiosSetting& setting) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return false;
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | PARMRK | INPCK);
    tio.c_iflag |= setting.iflag;
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    tio.c_cflag |= setting.cflag;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, setting.speed) != 0 || ::cfsetospeed(&tio, setting.speed) != 0)
        return false;
    if (::tcsetattr(fd, TCSANOW, &tio) == 0)
        return true;
    // A pseudo-terminal takes the setting but drops the parity bits, which the C library then
    // reports as EINVAL; speed and data bits tell whether the setting really was refused.
    termios now{};
    return errno == EINVAL && ::tcgetattr(fd, &now) == 0 && ::cfgetospeed(&now) == setting.speed &&
           (now.c_cflag & CSIZE) == (tio.c_cflag & CSIZE);
}

} // namespace

PCI::PCI() = default;
PCI::~PCI() { close(); }

OpenResult PCI::open() {
    TermiosSetting setting;
    if (!form_setting(baud_index_, size_index_, parity_, stop_bits_, setting))
        return OpenResult::bad_setting;
    close();
    if (port_ < 0)
        return OpenResult::negative_port;
    const std::string device = port_device_path(port_);
    if (device.empty())
        return OpenResult::unavailable;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenResult::unavailable;
    // Exclusive use: another program or another PCI holding the line makes it "in use". The
    // lock keeps out programs that lock too (and root); TIOCEXCL, while the port is open, the
    // terminal programs and modem probers that do not. The descriptor stays non-blocking, so
    // that a byte another reader took first cannot hold a read past its time-out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !::isatty(fd)) {
        ::close(fd);
        return OpenResult::unavailable;
    }
    termios previous{};
    const bool restore = ::tcgetattr(fd, &previous) == 0;
    if (setting.refused || !apply_setting(fd, setting)) {
        if (restore)
            (void)::tcsetattr(fd, TCSANOW, &previous);
        ::close(fd);
        return OpenResult::setting_refused;
    }
    (void)::ioctl(fd, TIOCEXCL);
    device_ = std::make_unique<Device>(Device{fd, previous, restore});
    // DTR high, RTS low; a pseudo-terminal refuses both requests, which does not matter.
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &dtr);
    (void)::ioctl(fd, TIOCMBIC, &rts);
    ::tcflush(fd, TCIFLUSH);
    is_open_ = true;
    return OpenResult::ok;
}

void PCI::close() {
    if (is_open_) {
        (void)::ioctl(device_->fd, TIOCNXCL);
        if (device_->restore) {
            // What is still queued goes first (bounded), then the old settings.
            drain_output();
            (void)::tcsetattr(device_->fd, TCSANOW, &device_->previous);
        }
        ::close(device_->fd);
        device_.reset();
        is_open_ = false;
    }
}

void PCI::set_read_timeout(uint32_t ms) { read_total_constant_ = ms; }

ByteSlice PCI::wait_slice(uint32_t ms, uint8_t& byte) {
    pollfd pfd{device_->fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(ms));
    if (ready < 0)
        return errno == EINTR ? ByteSlice::again : ByteSlice::failed;
    if (ready == 0)
        return ByteSlice::none;
    if ((pfd.revents & POLLIN) == 0)
        return ByteSlice::failed; // hang-up or error without data
    const ssize_t n = ::read(device_->fd, &byte, 1);
    if (n == 1)
        return ByteSlice::byte;
    // EAGAIN: another reader took the byte that poll reported.
    return n < 0 && (errno == EINTR || errno == EAGAIN) ? ByteSlice::again : ByteSlice::failed;
}

int32_t PCI::write(const uint8_t* bytes, int32_t count) {
    if (!is_open_ || count <= 0)
        return count < 0 ? 0 : count;
    // The write may take write_multiplier_ ms per byte before it gives up; the descriptor is
    // non-blocking, so that a line that takes nothing cannot hold the caller forever.
    TIMER timer(static_cast<int32_t>(write_multiplier_ * static_cast<uint32_t>(count)),
                system_clock());
    int32_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(device_->fd, bytes + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int32_t>(n);
            continue;
        }
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            break;
        if (timer.expired() || cancelled())
            break;
        pollfd pfd{device_->fd, POLLOUT, 0};
        (void)::poll(&pfd, 1, 10);
    }
    return done;
}

void PCI::drain_output() {
    if (!is_open_)
        return;
    // Polled rather than one tcdrain, which no time-out bounds on an adapter that stalls.
    const bool emptied = wait_for_output_queue(
        [this](int64_t& bytes) {
            int queued = 0;
            if (::ioctl(device_->fd, TIOCOUTQ, &queued) != 0)
                return false;
            bytes = queued;
            return true;
        },
        [this](int32_t bytes) { return line_ms(bytes); }, cancel_flag_);
    // The queue is empty: what is left is the last byte in the shift register.
    if (emptied)
        (void)::tcdrain(device_->fd);
}

void PCI::purge_input() {
    if (is_open_)
        ::tcflush(device_->fd, TCIFLUSH);
}

} // namespace tgm
