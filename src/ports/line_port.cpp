#include "ports/line_port.h"

#include "ports/pci.h"
#include "ports/timer.h"

#include <mutex>

namespace tgm {
namespace {

std::mutex factory_mutex;

PortFactory& installed_factory() {
    static PortFactory factory;
    return factory;
}

} // namespace

LinePort::Quiet LinePort::wait_until_quiet(uint32_t quiet_ms, uint32_t cap_ms, int64_t cap_bytes,
                                           const std::atomic<bool>* cancel) {
    int64_t dropped = 0;
    set_read_timeout(quiet_ms);
    const TIMER cap(static_cast<int32_t>(cap_ms));
    for (;;) {
        if (cancel != nullptr && cancel->load())
            return Quiet::cancelled;
        ReadResult status = ReadResult::failed;
        (void)read_byte(status);
        if (status == ReadResult::timed_out)
            return Quiet::reached;
        if (status != ReadResult::byte)
            return Quiet::failed;
        if (++dropped > cap_bytes || cap.expired())
            return Quiet::never;
    }
}

std::shared_ptr<LinePort> make_line_port(int32_t port) {
    PortFactory factory;
    {
        std::lock_guard<std::mutex> lock(factory_mutex);
        factory = installed_factory();
    }
    if (factory)
        return factory(port);
    return std::make_shared<PCI>();
}

PortFactory set_port_factory(PortFactory factory) {
    std::lock_guard<std::mutex> lock(factory_mutex);
    PortFactory previous = std::move(installed_factory());
    installed_factory() = std::move(factory);
    return previous;
}

} // namespace tgm
