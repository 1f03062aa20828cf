#include "ports/port_listing.h"

#include "support/cp1251.h"

namespace tgm {

std::string port_listing(const TPortCollection& ports) {
    std::string text;
    for (int32_t i = 0; i < ports.count(); ++i) {
        const TPort& port = *ports.port_at(i);
        text += std::to_string(port.port) + '\t' + port.name + '\t' +
                cp1251_to_utf8(port.description) + '\n';
    }
    return text;
}

} // namespace tgm
