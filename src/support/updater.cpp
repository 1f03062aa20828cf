#include "support/updater.h"

#include "support/cp1251.h"
#include "support/message_sink.h"
#include "support/platform.h"
#include "support/updater_process.h"
#include "support/xitext.h"

#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace tgm {
namespace {

constexpr const char* kPrefix = "tgmupd";

} // namespace

std::string first_updater_in(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::string();
    std::string best;
    const std::string prefix_dir =
        folder.empty() || is_path_separator(folder.back()) ? folder : folder + "/";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, std::strlen(kPrefix), kPrefix) != 0)
            continue;
        if ((best.empty() || name < best) && is_updater_file(prefix_dir + name))
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
            path_ = (is_path_separator(manager.back()) ? manager : manager + "/") + name;
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
    const UpdaterCheck check = run_updater_check(path_, exe_path);
    if (check.error != 0) {
        show_message(cp("update c - ") + std::to_string(check.error));
        return Outcome::start_failed;
    }
    if (!check.replace)
        return Outcome::finished;
    if (const std::string why = start_updater_replace(path_, exe_path); !why.empty()) {
        show_message(cp("update r - ") + why);
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
