#include "support/updater.h"

#include "support/cp1251.h"
#include "support/message_sink.h"
#include "support/xitext.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tgm {
namespace {

constexpr const char* kPrefix = "tgmupd";

bool is_executable_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

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

std::string first_updater_in(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::string();
    std::string best;
    const std::string prefix_dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, std::strlen(kPrefix), kPrefix) != 0)
            continue;
        if ((best.empty() || name < best) && is_executable_file(prefix_dir + name))
            best = name;
    }
    ::closedir(dir);
    return best;
}

bool UPDATER::find_updater() {
    found_ = false;
    path_.clear();
    XITEXT ini;
    if (!ini.load("update.ini"))
        return false;
    std::string manager;
    while (ini.next_line())
        if (ini.split() && ini.key() == "manager")
            manager = ini.value();
    if (!manager.empty()) {
        const std::string name = first_updater_in(manager);
        if (!name.empty()) {
            path_ = (manager.back() == '/' ? manager : manager + "/") + name;
            found_ = true;
        }
    }
    if (!found_) {
        const std::string name = first_updater_in(".");
        if (!name.empty()) {
            path_ = name;
            found_ = true;
        }
    }
    return found_;
}

UPDATER::Outcome UPDATER::run_update(const std::string& exe_path) const {
    pid_t child = 0;
    if (const int error = spawn(path_, "c", exe_path, child); error != 0) {
        show_message(cp("update c - ") + std::to_string(error));
        return Outcome::start_failed;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Only a normal exit carries the request; a death by signal does not.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != kReplaceRequest)
        return Outcome::finished;
    if (const int error = spawn(path_, "r", exe_path, child); error != 0) {
        // The system's message is UTF-8 once the locale is set; the core holds code page 1251.
        show_message(cp("update r - ") + utf8_to_cp1251(std::strerror(error)));
        return Outcome::replace_failed;
    }
    return Outcome::replace;
}

UPDATER& updater() {
    static UPDATER instance;
    return instance;
}

void terminate_for_update() { ::_exit(0); }

} // namespace tgm
