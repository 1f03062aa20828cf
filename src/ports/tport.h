#pragma once
// One port found on the machine: its number, its device path and what the system knows of it.
#include <cstdint>
#include <string>

namespace tgm {

class TPort {
public:
    TPort(int32_t port, std::string name, std::string description = {})
        : port(port), name(std::move(name)), description(std::move(description)) {}

    int32_t port;
    std::string name;        // the device path, which is what the user recognises here
    std::string description; // e.g. a USB adapter's product name; may be empty
};

} // namespace tgm
