// tgm-cli: the form-file and unit commands without windows.
#include "cli_common.h"
#include "commands.h"

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
    {"graph", "FILE OUT.png [--channel N] [--size WxH] [--mode ddV|dV] [--center L --width W]", tgm::cli::cmd_graph},
};

int usage(FILE* out) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : kCommands)
        std::fprintf(out, "  tgm-cli %s%s%s\n", c.name, *c.arguments ? " " : "", c.arguments);
    return tgm::cli::kUsage;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage(stderr);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(stdout);
        return tgm::cli::kOk;
    }
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0)
            return c.run(argc - 1, argv + 1);
    std::fprintf(stderr, "tgm-cli: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
