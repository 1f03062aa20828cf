#include "testing/scripted_port.h"

#include "ports/clock.h"

namespace tgm::test {

OpenResult ScriptedPort::open_with(int32_t port, LineSetting setting) {
    settings_.push_back({port, setting});
    open_ = !records_.empty();
    // Opening discards what the line held, as a real port's open does.
    released_.clear();
    return open_ ? OpenResult::ok : OpenResult::unavailable;
}

uint8_t ScriptedPort::read_byte(ReadResult& status) {
    status = ReadResult::failed;
    if (!open_)
        return 0;
    if (released_.empty()) {
        link_clock().sleep_ms(timeout_);
        status = ReadResult::timed_out;
        return 0;
    }
    const uint8_t byte = released_.front();
    released_.pop_front();
    status = ReadResult::byte;
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
