#include "ports/port_names.h"

#include "support/cp1251.h"

#include <climits>
#include <cstdlib>
#include <fstream>

namespace tgm {
namespace {

std::string real_path(const std::string& path) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr)
        return {};
    return buffer;
}

std::string first_line(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

std::string base_name(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parent_dir(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

const int32_t kEnumeratedPorts = 96;

std::string port_table_text() {
    return cp("Порт задаётся номером из таблицы портов (0–31 ttyS0–ttyS31, 32–63 "
              "ttyUSB0–ttyUSB31, 64–95 ttyACM0–ttyACM31) или путём к устройству");
}

std::string device_dir() {
    const char* dir = std::getenv("TGM_DEV_DIR");
    return dir != nullptr && *dir != '\0' ? std::string(dir) : std::string("/dev");
}

std::string port_device_path(int32_t port) {
    static const char* const families[] = {"ttyS", "ttyUSB", "ttyACM"};
    if (port < 0)
        return {};
    if (port < kEnumeratedPorts)
        return device_dir() + "/" + families[port / 32] + std::to_string(port % 32);
    if (port >= kFirstPtyPort)
        return device_dir() + "/pts/" + std::to_string(port - kFirstPtyPort);
    return {};
}

int32_t port_of_path(const std::string& path) {
    const std::string target = real_path(path);
    if (target.empty())
        return -1;
    for (int32_t port = 0; port < kEnumeratedPorts; ++port)
        if (real_path(port_device_path(port)) == target)
            return port;
    // A pseudo-terminal: ".../pts/<n>" that the table names as 256 + n.
    const std::string name = base_name(target);
    if (base_name(parent_dir(target)) == "pts" && is_port_digits(name)) {
        const int32_t port = kFirstPtyPort + std::atoi(name.c_str());
        if (real_path(port_device_path(port)) == target)
            return port;
    }
    return -1;
}

std::string port_description(int32_t port) {
    const std::string device = real_path(port_device_path(port));
    if (device.empty())
        return {};
    // The tty's device in sysfs; a USB adapter's maker and product lie a few levels up.
    std::string dir = real_path("/sys/class/tty/" + base_name(device) + "/device");
    for (int level = 0; level < 4 && !dir.empty() && dir != "/sys"; ++level) {
        const std::string product = first_line(dir + "/product");
        if (!product.empty()) {
            // sysfs speaks UTF-8; inside the program texts are code page 1251.
            const std::string maker = first_line(dir + "/manufacturer");
            return utf8_to_cp1251(maker.empty() ? product : maker + " " + product);
        }
        dir = parent_dir(dir);
    }
    return {};
}

} // namespace tgm
