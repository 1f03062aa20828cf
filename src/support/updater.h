#pragma once
// The hand-over to the external updater: find it, run its check, and let it replace this
// program when it asks to.
#include <string>

namespace tgm {

class UPDATER {
public:
    // The exit status by which the updater asks to be started again to replace this program
    // (-9 as an 8-bit status).
    static constexpr int kReplaceRequest = 247;

    enum class Outcome {
        finished,       // the check ended; nothing more to do
        start_failed,   // "update c - " was shown
        replace,        // the replacement run started: this program must end at once
        replace_failed, // "update r - " was shown
    };

    // Looks, from the current folder, at update.ini's "manager" folder and then at the current
    // folder itself for an executable whose name begins with "tgmupd".
    bool find_updater();
    bool found() const { return found_; }
    // The manager folder and the file name, or the bare file name when found here.
    const std::string& path() const { return path_; }

    // Runs the updater with this process's id, "c" and `exe_path`, and waits for it.
    Outcome run_update(const std::string& exe_path) const;

private:
    std::string path_;
    bool found_ = false;
};

// The first executable file in `folder` whose name begins with "tgmupd", in byte order of
// the names; "" when there is none.
std::string first_updater_in(const std::string& folder);

// The one updater record of the program.
UPDATER& updater();
// Ends the program at once with exit code 0, without any shut-down, for the updater.
[[noreturn]] void terminate_for_update();

} // namespace tgm
