#include "testing/scripted_port.h"

#include "ports/clock.h"

namespace tgm::test {

int ScriptedPort::open_with(int32_t port, int8_t baud_index, int8_t parity, int8_t size_index,
                            int8_t stop_bits) {
    settings_.push_back({port, baud_index, parity, size_index, stop_bits});
    open_ = !records_.empty();
    // Opening discards what the line held, as a real port's open does.
    released_.clear();
    return open_ ? 0 : 1;
}

uint8_t ScriptedPort::read_byte(int& status) {
    status = 1;
    if (!open_)
        return 0;
    if (released_.empty()) {
        link_clock().sleep_ms(timeout_);
        status = 2;
        return 0;
    }
    const uint8_t byte = released_.front();
    released_.pop_front();
    status = 0;
    return byte;
}

int32_t ScriptedPort::write(const uint8_t* bytes, int32_t count) {
    if (count <= 0)
        return 0;
    if (!open_)
        return count;
    written_.emplace_back(bytes, bytes + count);
    const std::size_t i = written_.size() - 1;
    if (i < records_.size())
        released_.insert(released_.end(), records_[i].begin(), records_[i].end());
    return count;
}

void ScriptedPort::purge_input() {
    if (open_)
        released_.clear();
}

PortOnEveryNumber::PortOnEveryNumber(std::shared_ptr<LinePort> port)
    : previous_(set_port_factory([port](int32_t) { return port; })) {}

PortOnEveryNumber::~PortOnEveryNumber() { set_port_factory(std::move(previous_)); }

} // namespace tgm::test
