#include "support/file_locations.h"

#include "support/platform.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tgm {
namespace {

std::string with_slash(std::string folder) {
    if (folder.empty() || !is_path_separator(folder.back()))
        folder += '/';
    return folder;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string program_folder() {
    const std::string path = program_path();
    const std::size_t slash = last_path_separator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string config_folder() { return user_settings_folder(); }

} // namespace

std::string program_path() { return executable_path(); }

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
        return user_home_folder();
    return home;
}

} // namespace tgm
