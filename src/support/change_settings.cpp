#include "support/change_settings.h"

#include "support/atomic_file.h"

#include <fstream>

namespace tgm {

std::string ChangeSettings::file(const std::string& folder) { return folder + "tgm-changes.cfg"; }

ChangeSettings ChangeSettings::load(const std::string& folder) {
    ChangeSettings settings;
    std::ifstream in(file(folder));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (value != "0" && value != "1")
            continue;
        if (key == "backup")
            settings.backup = value == "1";
        else if (key == "verify")
            settings.verify = value == "1";
    }
    return settings;
}

bool ChangeSettings::save(const std::string& folder) const {
    return write_file_replacing(file(folder), std::string("backup=") + (backup ? "1" : "0") +
                                                  "\nverify=" + (verify ? "1" : "0") + "\n");
}

} // namespace tgm
