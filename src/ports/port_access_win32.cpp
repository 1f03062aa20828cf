#include "ports/port_access.h"

namespace tgm {

// Windows has no device groups: a port that does not open is absent or in use, and the link's
// "Порт занят" says all there is.
PortAccess port_access(int32_t) { return {}; }

std::string denied_description(const PortAccess&) { return {}; }

std::string port_access_note(int32_t) { return {}; }

std::string missing_device_note(const std::string&) { return {}; }

} // namespace tgm
