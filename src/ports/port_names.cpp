#include "ports/port_names.h"

#include <cstdlib>

namespace tgm {

bool is_table_port(int32_t port) { return port >= 0 && port < kEnumeratedPorts; }

bool is_port_digits(const std::string& text) {
    if (text.empty() || text.size() > 6)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int32_t port_of_argument(const std::string& text) {
    // A number is one of the table's; a pseudo-terminal is reached by its path alone, so that
    // no number opens someone else's terminal.
    if (is_port_digits(text)) {
        const int32_t port = std::atoi(text.c_str());
        return is_table_port(port) ? port : -1;
    }
    return port_of_path(text);
}

} // namespace tgm
