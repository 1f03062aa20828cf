// tgm-cli: the form-file and unit commands without windows.
#include "change_options.h"
#include "cli_common.h"
#include "cli_platform.h"
#include "commands.h"
#include "link_options.h"

#include "support/tappinfo.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Command {
    const char* name;
    const char* arguments;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"info", "FILE", tgm::cli::cmd_info},
    {"dump", "FILE [--crc]", tgm::cli::cmd_dump},
    {"convert", "IN OUT", tgm::cli::cmd_convert},
    {"ports", "", tgm::cli::cmd_ports},
    {"read", "OUT", tgm::cli::cmd_read},
    {"write", "IN [--backup PATH] [--verify] [--protocol OUT.pdf] [--no-journal]",
     tgm::cli::cmd_write},
    {"clear", "[--backup PATH] [--no-journal]", tgm::cli::cmd_clear},
    {"compare", "IN", tgm::cli::cmd_compare},
    {"console", "[--key C]...", tgm::cli::cmd_console},
    {"graph",
     "FILE OUT.png [--channel N] [--size WxH] [--mode ddV|dV] [--center L --width W] "
     "[--against FILE]",
     tgm::cli::cmd_graph},
    {"pdf", "IN OUT.pdf", tgm::cli::cmd_pdf},
};

int usage(FILE* out) {
    // GNU's layout, which help2man turns into the manual page's synopsis.
    const char* lead = "Usage:";
    for (const Command& c : kCommands) {
        std::fprintf(out, "%s tgm-cli %s%s%s%s\n", lead,
                     tgm::cli::takes_link_options(c.run) ? "[options] " : "", c.name,
                     *c.arguments ? " " : "", c.arguments);
        lead = "  or: ";
    }
    std::fprintf(out, "%s tgm-cli --help | --version\n\n", lead);
    std::fputs("Calibration tables, form files and the secondary unit's tables without windows.\n"
               "Output is UTF-8; exit codes: 0 success, 1 the operation failed, 2 usage error or\n"
               "unreadable input, 3 compare found differences, 130 cancelled by Ctrl+C.\n\n",
               out);
    std::fputs(tgm::cli::kLinkOptionsHelp, out);
    std::fputs("\n", out);
    std::fputs(tgm::cli::kTableOptionsHelp, out);
    std::fputs(tgm::cli::kChangeOptionsHelp, out);
    return tgm::cli::kUsage;
}

} // namespace

int main(int argc, char** argv) {
    tgm::cli::prepare_output();
    tgm::cli::LinkOptions& options = tgm::cli::link_options();
    const int first = tgm::cli::parse_link_options(argc, argv, options);
    if (first < 0)
        return tgm::cli::kUsage;
    if (first >= argc)
        return usage(stderr);
    if (std::strcmp(argv[first], "--help") == 0 || std::strcmp(argv[first], "-h") == 0) {
        usage(stdout);
        return tgm::cli::kOk;
    }
    if (std::strcmp(argv[first], "--version") == 0) {
        std::printf("tgm-cli %s\n", tgm::TAppInfo().version_text().c_str());
        return tgm::cli::kOk;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[first], c.name) != 0)
            continue;
        if (options.any() && !tgm::cli::takes_link_options(c.run))
            return tgm::cli::usage_error(
                "tgm-cli: --port, --traffic and --trace go with read, write, "
                "clear and compare (console: --port)",
                std::string("команда ") + c.name + " не работает с БВ и их не принимает");
        int args = argc - first;
        if (tgm::cli::reads_table_file(c.run) &&
            (args = tgm::cli::take_table_options(args, argv + first)) < 0)
            return tgm::cli::kUsage;
        return c.run(args, argv + first);
    }
    std::fprintf(stderr, "tgm-cli: unknown command '%s'\n", argv[first]);
    // What is accepted in its place.
    std::string accepted =
        "перед командой допустимы --port P, --traffic, --trace; --help, --version";
    if (std::strncmp(argv[first], "--", 2) != 0) {
        accepted = "команды:";
        for (const Command& c : kCommands)
            accepted += std::string(&c == kCommands ? " " : ", ") + c.name;
    }
    std::fprintf(stderr, "%s\n", accepted.c_str());
    return usage(stderr);
}
