#include "support/platform.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tgm {

std::size_t last_path_separator(const std::string& path) { return path.rfind('/'); }

bool is_path_separator(char c) { return c == '/'; }

std::size_t longest_file_name() { return NAME_MAX; }

int plain_open_flags() { return O_CLOEXEC | O_NONBLOCK | O_NOCTTY; }

std::tm local_time(std::time_t now) {
    std::tm when{};
    ::localtime_r(&now, &when);
    return when;
}

bool make_folder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool sync_file(int fd) { return ::fsync(fd) == 0; }

bool read_at(int fd, void* p, std::size_t n, long long offset) {
    return ::pread(fd, p, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
}

bool set_file_mode(int fd, unsigned mode) { return ::fchmod(fd, static_cast<mode_t>(mode)) == 0; }

bool replace_by_rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void sync_folder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Not every file system syncs a folder; the new content is in place either way.
    (void)::fsync(fd);
    ::close(fd);
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool path_taken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool folder_writable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string executable_path() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string with_slash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string user_settings_folder() {
    std::string base = env("XDG_CONFIG_HOME");
    if (base.empty())
        base = with_slash(env("HOME")) + ".config";
    return with_slash(with_slash(base) + "tgm");
}

std::string user_home_folder() { return with_slash(env("HOME")); }

} // namespace tgm
