#include "support/file_locations.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tgm {
namespace {

std::string with_slash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string program_folder() {
    const std::string path = program_path();
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string config_folder() {
    std::string base = env("XDG_CONFIG_HOME");
    if (base.empty())
        base = with_slash(env("HOME")) + ".config";
    return with_slash(with_slash(base) + "tgm");
}

} // namespace

std::string program_path() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

bool portable_build() { return TGM_PORTABLE_BUILD != 0; }

std::string home_folder() { return home_folder(portable_build()); }

std::string home_folder(bool portable) {
    const std::string forced = env("TGM_HOME");
    if (!forced.empty())
        return with_slash(forced);
    const std::string own = portable ? program_folder() : std::string();
    if (!own.empty() && ::access(own.c_str(), W_OK) == 0)
        return own;
    const std::string folder = config_folder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

std::string default_forms_folder() {
    const std::string home = home_folder();
    if (env("TGM_HOME").empty() && home == config_folder())
        return with_slash(env("HOME"));
    return home;
}

} // namespace tgm
