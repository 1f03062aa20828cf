#include "change_options.h"

#include "cli_common.h"

#include "support/platform.h"

#include <cstring>

namespace tgm::cli {

const char kChangeOptionsHelp[] =
    "\n"
    "options of write and clear (after the command's arguments):\n"
    "  --backup PATH  read the unit's tables first and save them as a .fs form file: PATH\n"
    "                 ending in / or an existing folder receives VERSION_DATE_TIME.fs\n"
    "  --verify       write: read the tables back and compare them, channel by channel\n"
    "  --protocol OUT.pdf  write: the write's protocol, one A4 page to sign, as a PDF file\n"
    "                 (after a failed write or check too); only then does write start Qt\n"
    "  --no-journal   append no line to REPORT/journal.csv\n";

bool parse_change_options(int argc, char** argv, bool write, ChangeCommandOptions& options) {
    const std::string accepted = write ? "--backup PATH, --verify, --protocol OUT.pdf, --no-journal"
                                       : "--backup PATH, --no-journal";
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--backup") == 0) {
            if (i + 1 >= argc) {
                options.problem = "--backup: нужен путь файла или папки копии";
                return false;
            }
            options.backup = true;
            options.backup_path = argv[++i];
        } else if (write && std::strcmp(a, "--verify") == 0) {
            options.verify = true;
        } else if (write && std::strcmp(a, "--protocol") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                options.problem = "--protocol: нужен путь файла PDF";
                return false;
            }
            options.protocol = argv[++i];
        } else if (std::strcmp(a, "--no-journal") == 0) {
            options.journal = false;
        } else if (std::strncmp(a, "--", 2) == 0) {
            options.problem = std::string(a) + ": неизвестный параметр; допустимы " + accepted;
            return false;
        } else {
            options.arguments.emplace_back(a);
        }
    }
    return true;
}

std::string change_usage_reason(const ChangeCommandOptions& options, const char* expected) {
    return options.problem.empty() ? arguments_reason(expected, options.arguments)
                                   : options.problem;
}

std::string input_replaced(const ChangeCommandOptions& options) {
    if (options.arguments.size() != 1)
        return std::string();
    const std::string& in = options.arguments[0];
    if (options.backup && same_file(options.backup_path, in))
        return "--backup: " + options.backup_path + " — это файл IN; копия заменила бы его";
    if (!options.protocol.empty() && same_file(options.protocol, in))
        return "--protocol: " + options.protocol + " — это файл IN; протокол заменил бы его";
    return std::string();
}

} // namespace tgm::cli
