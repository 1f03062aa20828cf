#include "ports/numbered_port.h"

namespace tgm {

NumberedPort::~NumberedPort() { close(); }

OpenResult NumberedPort::open_with(int32_t port, LineSetting setting) {
    // Reopening the same number keeps the port object, as a PCI keeps its time-outs.
    if (!port_ || port != number_) {
        close();
        port_ = make_line_port(port);
        number_ = port;
        port_->set_read_timeout(read_timeout_);
        port_->set_cancel_flag(cancel_flag_);
    }
    return port_->open_with(port, setting);
}

void NumberedPort::close() {
    if (port_)
        port_->close();
}

bool NumberedPort::is_open() const { return port_ && port_->is_open(); }

void NumberedPort::set_read_timeout(uint32_t ms) {
    read_timeout_ = ms;
    if (port_)
        port_->set_read_timeout(ms);
}

uint8_t NumberedPort::read_byte(ReadResult& status) {
    if (!port_) {
        status = ReadResult::failed;
        return 0;
    }
    return port_->read_byte(status);
}

int32_t NumberedPort::write(const uint8_t* bytes, int32_t count) {
    if (!port_)
        return count < 0 ? 0 : count;
    return port_->write(bytes, count);
}

void NumberedPort::purge_input() {
    if (port_)
        port_->purge_input();
}

void NumberedPort::drain_output() {
    if (port_)
        port_->drain_output();
}

uint32_t NumberedPort::line_ms(int32_t bytes) const { return port_ ? port_->line_ms(bytes) : 0; }

void NumberedPort::set_cancel_flag(const std::atomic<bool>* flag) {
    cancel_flag_ = flag;
    if (port_)
        port_->set_cancel_flag(flag);
}

} // namespace tgm
