#pragma once
// Starting the updater, which differs between POSIX (posix_spawn, waitpid) and Windows
// (CreateProcess, ShellExecute): updater_process_posix.cpp and updater_process_win32.cpp.
#include <string>

namespace tgm {

// Whether the file at `path` can be the updater (a regular file; on POSIX an executable one).
bool is_updater_file(const std::string& path);

struct UpdaterCheck {
    int error = 0;        // the runtime's error number when the updater did not start
    bool replace = false; // it ended with the request to replace this program (-9)
};
// Runs the updater with this process's id, "c" and `exe_path`, and waits for it.
UpdaterCheck run_updater_check(const std::string& path, const std::string& exe_path);
// Starts the updater with this process's id, "r" and `exe_path` without waiting; empty on
// success, else the system's message (code page 1251).
std::string start_updater_replace(const std::string& path, const std::string& exe_path);

} // namespace tgm
