// tgm-cli: the form-file and unit commands without windows.
#include "cli_common.h"
#include "commands.h"
#include "link_options.h"

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    const char* arguments;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"info", "FILE", tgm::cli::cmd_info},
    {"dump", "FILE", tgm::cli::cmd_dump},
    {"convert", "IN OUT", tgm::cli::cmd_convert},
    {"ports", "", tgm::cli::cmd_ports},
    {"read", "OUT", tgm::cli::cmd_read},
    {"write", "IN", tgm::cli::cmd_write},
    {"clear", "", tgm::cli::cmd_clear},
    {"compare", "IN", tgm::cli::cmd_compare},
    {"console", "[--key C]...", tgm::cli::cmd_console},
    {"graph", "FILE OUT.png [--channel N] [--size WxH] [--mode ddV|dV] [--center L --width W]", tgm::cli::cmd_graph},
};

int usage(FILE* out) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : kCommands)
        std::fprintf(out, "  tgm-cli %s%s%s%s\n", tgm::cli::takes_link_options(c.run) ? "[options] " : "",
                     c.name, *c.arguments ? " " : "", c.arguments);
    std::fputs(tgm::cli::kLinkOptionsHelp, out);
    return tgm::cli::kUsage;
}

} // namespace

int main(int argc, char** argv) {
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
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[first], c.name) != 0)
            continue;
        if (options.any() && !tgm::cli::takes_link_options(c.run))
            return tgm::cli::usage_error("tgm-cli: --port, --traffic and --trace go with read, write, "
                                         "clear and compare (console: --port)");
        return c.run(argc - first, argv + first);
    }
    std::fprintf(stderr, "tgm-cli: unknown command '%s'\n", argv[first]);
    return usage(stderr);
}
