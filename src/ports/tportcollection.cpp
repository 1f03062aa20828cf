#include "ports/tportcollection.h"

#include "ports/pci.h"
#include "ports/port_access.h"
#include "ports/port_names.h"

namespace tgm {

void TPortCollection::add_port(int32_t port, const std::string& name,
                               const std::string& description) {
    for (int32_t i = 0; i < count(); ++i)
        if (port_at(i)->port == port)
            return;
    add(new TPort(port, name, description));
}

void TPortCollection::enumerate() {
    clear();
    // Pseudo-terminals are never tried: opening someone else's terminal changes its settings.
    for (int32_t port = 0; port < kEnumeratedPorts; ++port) {
        PCI probe;
        probe.open_with(port, kKLine);
        if (probe.is_open()) {
            probe.close();
            add_port(port, port_device_path(port), port_description(port));
            continue;
        }
        // Listed all the same, so that the user learns what keeps it closed.
        const PortAccess access = port_access(port);
        if (access.denied)
            add_port(port, port_device_path(port), denied_description(access));
    }
}

void TPortCollection::free_item(int32_t index) { delete port_at(index); }

} // namespace tgm
