#include "testing/engine_port.h"

#include "ports/clock.h"
#include "sim/fd_wire.h"

#include <chrono>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace tgm::test {

EnginePort::EnginePort(SimUnit& unit) : unit_(unit), heard_before_(unit.bytes_received()) {
    // A socket pair hands every byte over at once, which a terminal does not.
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0 ||
        ::openpty(&speed_master_, &speed_slave_, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("cannot make the unit's line");
    tool_fd_ = fds[0];
    unit_fd_ = fds[1];
    ::fcntl(tool_fd_, F_SETFL, ::fcntl(tool_fd_, F_GETFL) | O_NONBLOCK);
    thread_ = std::thread([this] {
        FdWire wire(unit_fd_, speed_slave_);
        unit_.serve(wire, stop_);
    });
}

EnginePort::~EnginePort() {
    stop_ = true;
    thread_.join();
    for (int fd : {tool_fd_, unit_fd_, speed_master_, speed_slave_})
        ::close(fd);
}

OpenResult EnginePort::open_with(int32_t, LineSetting setting) {
    const int8_t baud_index = setting.baud_index;
    termios tio{};
    ::tcgetattr(speed_slave_, &tio);
    const speed_t speed = baud_index == 7 ? B9600 : baud_index == 9 ? B19200 : B1200;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(speed_slave_, TCSANOW, &tio);
    open_ = true;
    discard();
    return OpenResult::ok;
}

void EnginePort::wait_for_unit() const {
    // The count first: once it is complete, the unit's wait can only be a later one.
    while (unit_.bytes_received() - heard_before_ != written_ || !unit_.waiting_for_input())
        std::this_thread::sleep_for(std::chrono::microseconds(50));
}

bool EnginePort::take(uint8_t& byte) { return ::read(tool_fd_, &byte, 1) == 1; }

void EnginePort::discard() {
    wait_for_unit();
    uint8_t byte = 0;
    while (take(byte)) {
    }
}

uint8_t EnginePort::read_byte(ReadResult& status) {
    status = ReadResult::failed;
    uint8_t byte = 0;
    if (!open_)
        return 0;
    if (!take(byte)) {
        wait_for_unit();
        if (!take(byte)) {
            link_clock().sleep_ms(timeout_);
            status = ReadResult::timed_out;
            return 0;
        }
    }
    status = ReadResult::byte;
    return byte;
}

int32_t EnginePort::write(const uint8_t* bytes, int32_t count) {
    if (count <= 0)
        return 0;
    if (!open_)
        return count;
    for (int32_t done = 0; done < count;) {
        const ssize_t n = ::write(tool_fd_, bytes + done, static_cast<size_t>(count - done));
        if (n > 0)
            done += static_cast<int32_t>(n);
        else
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    written_ += count;
    return count;
}

// What the line carries after a real purge: everything the unit had sent by then.
void EnginePort::purge_input() {
    if (open_)
        discard();
}

std::unique_ptr<SimUnit> make_engine(const SimConfig& config) {
    std::string error;
    auto unit = make_sim_unit(config, error);
    if (!unit)
        throw std::runtime_error(error);
    return unit;
}

} // namespace tgm::test
