#include "support/updater_process.h"

#include "support/cp1251.h"
#include "support/updater.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tgm {
namespace {

// A bare name must not be looked up in PATH: the updater found here is meant.
std::string spawn_path(const std::string& path) {
    return path.find('/') == std::string::npos ? "./" + path : path;
}

// Starts the updater with the process id, `mode` and the executable; errno-style code or 0.
int spawn(const std::string& path, const char* mode, const std::string& exe_path, pid_t& child) {
    const std::string program = spawn_path(path);
    const std::string pid = std::to_string(::getpid());
    std::vector<char*> argv = {const_cast<char*>(path.c_str()), const_cast<char*>(pid.c_str()),
                               const_cast<char*>(mode), const_cast<char*>(exe_path.c_str()),
                               nullptr};
    return ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
}

} // namespace

bool is_updater_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

UpdaterCheck run_updater_check(const std::string& path, const std::string& exe_path) {
    pid_t child = 0;
    if (const int error = spawn(path, "c", exe_path, child); error != 0)
        return {error, false};
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Only a normal exit carries the request; a death by signal does not.
    return {0, WIFEXITED(status) && WEXITSTATUS(status) == UPDATER::kReplaceRequest};
}

std::string start_updater_replace(const std::string& path, const std::string& exe_path) {
    pid_t child = 0;
    if (const int error = spawn(path, "r", exe_path, child); error != 0)
        // The system's message is UTF-8 once the locale is set; the core holds code page 1251.
        return utf8_to_cp1251(std::strerror(error));
    return {};
}

} // namespace tgm
