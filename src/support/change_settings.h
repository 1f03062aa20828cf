#pragma once
// The windows' two switches of a change to the unit, kept across runs in a file of their own
// beside tgm.cfg (whose layout stays as it is; tgm.ini is only ever read).
#include <string>

namespace tgm {

struct ChangeSettings {
    bool backup = true; // "Копия таблиц системы перед записью"
    bool verify = true; // "Проверять запись чтением"

    // The file in `folder` (the settings folder, with its trailing '/').
    static std::string file(const std::string& folder);
    // The defaults where the file is missing or a line does not read.
    static ChangeSettings load(const std::string& folder);
    // Saved atomically; false when it could not be.
    bool save(const std::string& folder) const;
};

} // namespace tgm
