#pragma once
// The options of the commands that change the unit, which follow the command's arguments as
// `dump FILE --crc` does: --backup PATH, --verify, --protocol OUT.pdf, --no-journal.
#include <string>
#include <vector>

namespace tgm::cli {

// Help lines of the options.
extern const char kChangeOptionsHelp[];

struct ChangeCommandOptions {
    std::vector<std::string> arguments; // what is not an option
    bool backup = false;
    std::string backup_path;
    bool verify = false;
    std::string protocol; // the write protocol's PDF file; empty: none
    bool journal = true;
    // After a false parse: the option refused and what the command takes (UTF-8).
    std::string problem;
};

// Reads argv[1] on; `write` whether the command is write, whose own options --verify and
// --protocol are. False on an unknown option or --backup or --protocol without its file.
bool parse_change_options(int argc, char** argv, bool write, ChangeCommandOptions& options);
// The line under the command's usage error: the option refused, or the arguments given
// against `expected` (UTF-8).
std::string change_usage_reason(const ChangeCommandOptions& options, const char* expected);
// A --backup or --protocol that names the input file, by any path or link, would replace it:
// the usage error's reason (UTF-8), or empty.
std::string input_replaced(const ChangeCommandOptions& options);

} // namespace tgm::cli
