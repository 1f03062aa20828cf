#include "ports/port_access.h"

#include "ports/port_names.h"
#include "support/cp1251.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tgm {
namespace {

std::string group_name(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->gr_name;
    return std::to_string(gid);
}

} // namespace

PortAccess port_access(int32_t port) {
    PortAccess access;
    const std::string path = port_device_path(port);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return access;
    // Effective ids, as open() uses them; root is never denied.
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0 || errno != EACCES)
        return access;
    char resolved[PATH_MAX];
    access.denied = true;
    access.device = ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
    access.group = group_name(st.st_gid);
    access.group_may = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    return access;
}

std::string denied_description(const PortAccess& access) {
    return cp("нет доступа (группа ") + utf8_to_cp1251(access.group) + ")";
}

std::string missing_device_note(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) == 0)
        return {};
    return cp("устройство ") + utf8_to_cp1251(path) + cp(" не найдено");
}

std::string port_access_note(int32_t port) {
    if (std::string missing = missing_device_note(port_device_path(port)); !missing.empty())
        return missing;
    const PortAccess access = port_access(port);
    if (!access.denied)
        return {};
    const std::string device = utf8_to_cp1251(access.device);
    const std::string group = utf8_to_cp1251(access.group);
    // Joining the group helps only where the group may use the device.
    if (access.group_may)
        return cp("Нет доступа к ") + device + cp(": пользователь не входит в группу ") + group;
    return cp("Нет доступа к ") + device + cp(": права устройства закрывают его и для группы ") +
           group;
}

} // namespace tgm
