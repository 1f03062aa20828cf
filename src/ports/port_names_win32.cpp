#include "ports/port_names.h"

#include "support/cp1251.h"
#include "support/win32_text.h"

#include <cstdlib>
// windows.h first: the others build on it.
#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

namespace tgm {

// COM1 to COM64, as the port list tries them.
const int32_t kEnumeratedPorts = 64;

std::string port_table_text() {
    return cp("Порт задаётся номером (0–63: COM1–COM64), именем COMn или \\\\.\\COMn");
}

std::string device_dir() { return "\\\\.\\"; }

std::string port_device_path(int32_t port) {
    if (port < 0)
        return {};
    // From COM10 on only the device-namespace form opens; past 255 the name is the number.
    if (port <= 8)
        return "COM" + std::to_string(port + 1);
    if (port <= 255)
        return "\\\\.\\COM" + std::to_string(port + 1);
    return "\\\\.\\X" + std::to_string(port);
}

int32_t port_of_path(const std::string& path) {
    std::string name = path;
    if (name.size() > 4 && (name.compare(0, 4, "\\\\.\\") == 0 || name.compare(0, 4, "//./") == 0))
        name.erase(0, 4);
    if (name.size() < 4 || (name[0] != 'C' && name[0] != 'c') ||
        (name[1] != 'O' && name[1] != 'o') || (name[2] != 'M' && name[2] != 'm'))
        return -1;
    const std::string digits = name.substr(3);
    if (!is_port_digits(digits))
        return -1;
    const int32_t port = std::atoi(digits.c_str()) - 1;
    return is_table_port(port) ? port : -1;
}

std::string port_description(int32_t port) {
    // The adapter's name as the device manager shows it ("USB Serial Port (COM5)").
    const std::wstring wanted = wide("COM" + std::to_string(port + 1));
    const HDEVINFO devices =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return {};
    std::string description;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; description.empty() && ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key =
            ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t name[32] = {};
        DWORD size = sizeof name - sizeof(wchar_t);
        const bool named =
            ::RegQueryValueExW(key, L"PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name),
                               &size) == ERROR_SUCCESS;
        ::RegCloseKey(key);
        if (!named || _wcsicmp(name, wanted.c_str()) != 0)
            continue;
        wchar_t friendly[256] = {};
        if (::SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE*>(friendly),
                                                sizeof friendly - sizeof(wchar_t), nullptr))
            description = utf8_to_cp1251(utf8_of(friendly));
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return description;
}

} // namespace tgm
