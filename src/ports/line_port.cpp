#include "ports/line_port.h"

#include "ports/pci.h"

#include <mutex>

namespace tgm {
namespace {

std::mutex factory_mutex;

PortFactory& installed_factory() {
    static PortFactory factory;
    return factory;
}

} // namespace

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
