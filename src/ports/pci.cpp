#include "ports/pci.h"

#include "ports/port_names.h"
#include "ports/timer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tgm {

const int32_t PCI::kSpeeds[kSpeedCount] = {75,   110,   300,   600,   1200,  2400,  4800,
                                           9600, 14400, 19200, 38400, 56000, 57600, 115200};
const int32_t PCI::kDataBits[kSizeCount] = {4, 5, 6, 7, 8};

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

PCI::~PCI() { close(); }

OpenResult PCI::open_with(int32_t port, LineSetting setting) {
    port_ = port;
    baud_index_ = setting.baud_index;
    parity_ = setting.parity;
    size_index_ = setting.size_index;
    stop_bits_ = setting.stop_bits;
    return open();
}

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
    previous_ = previous;
    restore_ = restore;
    // DTR high, RTS low; a pseudo-terminal refuses both requests, which does not matter.
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &dtr);
    (void)::ioctl(fd, TIOCMBIC, &rts);
    ::tcflush(fd, TCIFLUSH);
    fd_ = fd;
    is_open_ = true;
    return OpenResult::ok;
}

void PCI::close() {
    if (is_open_) {
        (void)::ioctl(fd_, TIOCNXCL);
        if (restore_) {
            // What is still queued goes first (bounded), then the old settings.
            drain_output();
            (void)::tcsetattr(fd_, TCSANOW, &previous_);
        }
        ::close(fd_);
        fd_ = -1;
        is_open_ = false;
    }
}

void PCI::set_read_timeout(uint32_t ms) { read_total_constant_ = ms; }

bool PCI::cancelled() const {
    return cancel_flag_ != nullptr && cancel_flag_->load(std::memory_order_relaxed);
}

uint8_t PCI::read_byte(ReadResult& status) {
    status = ReadResult::failed;
    if (!is_open_)
        return 0;
    // The wait for a byte is real time, whatever clock the link runs on.
    const TIMER timer(0, system_clock());
    // Time the tool itself did not run (a slice of the wait that ended far past its end: a
    // virtual machine paused, a machine that stalled) says nothing about the line, and the
    // unit may have been held up with it; it is waited again, up to a second for one byte.
    uint64_t allowed = read_total_constant_;
    uint32_t held_up = 0;
    for (;;) {
        if (cancelled())
            return 0;
        const uint32_t waited = timer.elapsed();
        const uint32_t left =
            waited >= allowed ? 0 : static_cast<uint32_t>(std::min<uint64_t>(allowed - waited, 50));
        pollfd pfd{fd_, POLLIN, 0};
        // In slices, so that a cancellation ends the wait within 50 ms.
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return 0;
        if (ready == 0) {
            const uint32_t slept = timer.elapsed() - waited;
            if (slept > left + kHeldUpMs && held_up < kHeldUpCapMs) {
                // The time over, and at least a slice more from now: the unit comes back too.
                const uint64_t fresh = std::min<uint64_t>(
                    std::max<uint64_t>(allowed + (slept - left), waited + slept + left),
                    allowed + (kHeldUpCapMs - held_up));
                held_up += static_cast<uint32_t>(fresh - allowed);
                allowed = fresh;
                continue;
            }
            if (waited + slept >= allowed) {
                status = ReadResult::timed_out;
                return 0;
            }
            continue;
        }
        if ((pfd.revents & POLLIN) == 0)
            return 0; // hang-up or error without data
        uint8_t byte = 0;
        const ssize_t n = ::read(fd_, &byte, 1);
        if (n == 1) {
            status = ReadResult::byte;
            return byte;
        }
        // EAGAIN: another reader took the byte that poll reported; wait on for the rest of the
        // time-out.
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            if (timer.elapsed() >= allowed) {
                status = ReadResult::timed_out;
                return 0;
            }
            continue;
        }
        return 0;
    }
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
        const ssize_t n = ::write(fd_, bytes + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int32_t>(n);
            continue;
        }
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            break;
        if (timer.expired() || cancelled())
            break;
        pollfd pfd{fd_, POLLOUT, 0};
        (void)::poll(&pfd, 1, 10);
    }
    return done;
}

uint32_t PCI::line_ms(int32_t bytes) const {
    if (bytes <= 0 || baud_index_ < 0 || baud_index_ >= kSpeedCount)
        return 0;
    return static_cast<uint32_t>((int64_t{bytes} * 11 * 1000 + kSpeeds[baud_index_] - 1) /
                                 kSpeeds[baud_index_]);
}

void PCI::drain_output() {
    if (!is_open_)
        return;
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0)
        return;
    // Polled rather than one tcdrain, which no time-out bounds on an adapter that stalls.
    TIMER timer(static_cast<int32_t>(2 * line_ms(queued) + 1000), system_clock());
    while (queued > 0 && !timer.expired() && !cancelled()) {
        system_clock().sleep_ms(std::clamp<uint32_t>(line_ms(queued), 1, 10));
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0)
            return;
    }
    // The queue is empty: what is left is the last byte in the shift register.
    if (queued == 0)
        (void)::tcdrain(fd_);
}

void PCI::purge_input() {
    if (is_open_)
        ::tcflush(fd_, TCIFLUSH);
}

} // namespace tgm
