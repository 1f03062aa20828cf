#pragma once
// The commonest reason a serial port does not open on Linux: the device is there, but the
// user is not in the group that may use it. Ports are reported so, not as "in use".
#include <cstdint>
#include <string>

namespace tgm {

struct PortAccess {
    bool denied = false;    // the device exists, and this process may not read and write it
    bool group_may = false; // the device's group may read and write it
    std::string device;     // the device's path, symlinks resolved (file-system bytes)
    std::string group;      // the device's group name (file-system bytes)
};

// Looks at the device of a port with this process's effective ids, without opening it.
PortAccess port_access(int32_t port);
// How a port list describes a denied port: "нет доступа (группа dialout)"; code page 1251.
std::string denied_description(const PortAccess& access);
// The line shown under "Порт занят" when the port is denied or its device is not there; empty
// otherwise. Code page 1251.
std::string port_access_note(int32_t port);
// "устройство PATH не найдено" when nothing is at `path` (nothing at all, a dangling link or a
// loop of links); empty otherwise. Code page 1251, the path converted from UTF-8.
std::string missing_device_note(const std::string& path);

} // namespace tgm
