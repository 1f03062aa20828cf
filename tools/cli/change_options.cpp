#include "change_options.h"

#include <cstring>

namespace tgm::cli {

bool parse_change_options(int argc, char** argv, bool verify, ChangeCommandOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--backup") == 0) {
            if (i + 1 >= argc)
                return false;
            options.backup = true;
            options.backup_path = argv[++i];
        } else if (verify && std::strcmp(a, "--verify") == 0) {
            options.verify = true;
        } else if (std::strcmp(a, "--no-journal") == 0) {
            options.journal = false;
        } else if (std::strncmp(a, "--", 2) == 0) {
            return false;
        } else {
            options.arguments.emplace_back(a);
        }
    }
    return true;
}

} // namespace tgm::cli
