#include "changes/table_backup.h"

#include "forms/form_kind.h"
#include "project/eproject.h"
#include "support/cp1251.h"
#include "support/platform.h"
#include "support/system_error_text.h"

#include <cerrno>
#include <sys/stat.h>

namespace tgm {
namespace {

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string backup_file_name(const std::string& version_text, std::time_t now) {
    std::string unit;
    for (char c : version_text) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '.' || c == '-';
        unit += plain ? c : '_';
    }
    const auto first = unit.find_first_not_of('_');
    unit = first == std::string::npos ? std::string("unit")
                                      : unit.substr(first, unit.find_last_not_of('_') - first + 1);
    const std::tm when = local_time(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &when);
    return unit + '_' + stamp + ".fs";
}

std::string backup_target(const std::string& given, const std::string& home,
                          const std::string& version_text, std::time_t now) {
    std::string folder;
    if (given.empty())
        folder = home + "BACKUP/";
    else if (is_path_separator(given.back()))
        folder = given;
    else if (is_folder(given))
        folder = given + '/';
    else
        return form_file_name(given, kFormFs); // the name the form file is saved under
    const std::string name = backup_file_name(version_text, now);
    std::string path = folder + name;
    // Two changes within a second keep both copies.
    for (int n = 2; path_taken(path); ++n)
        path = folder + name.substr(0, name.size() - 3) + '_' + std::to_string(n) + ".fs";
    return path;
}

bool save_backup(const GROUPTAB& tables, const std::string& path, std::string& why) {
    const auto slash = last_path_separator(path);
    if (slash != std::string::npos && slash > 0) {
        const std::string folder = path.substr(0, slash);
        if (!is_folder(folder) && !make_folder(folder)) {
            why = cp("Копия таблиц системы не сохранена: не создаётся каталог ") +
                  utf8_to_cp1251(folder) + " (" + system_error_text(errno) + ")";
            return false;
        }
    }
    EPROJECT copy;
    copy.take_group(tables, cp("Система"));
    if (!copy.save_form(path)) {
        why = cp("Копия таблиц системы не сохранена: ") + utf8_to_cp1251(path);
        return false;
    }
    return true;
}

} // namespace tgm
