#pragma once
// The options that go before a command talking to the unit, and the port they choose.
#include <cstdint>
#include <string>

namespace tgm::cli {

struct LinkOptions {
    bool port_given = false;
    std::string port; // as given: a port number or a device path
    bool traffic = false;
    bool trace = false;

    bool any() const { return port_given || traffic || trace; }
};

// Help lines of the options.
extern const char kLinkOptionsHelp[];

// The options read from the command line before the command.
LinkOptions& link_options();
// Reads --port P, --traffic and --trace from argv[1] on. Returns the index of the command, or
// -1 after printing a usage error.
int parse_link_options(int argc, char** argv, LinkOptions& options);

// The port an operation opens: --port, or the port of tgm.cfg. A path that does not exist is a
// port that does not open (-1). Returns kOk, or kUsage after saying why when the number or the
// existing path names no port of the port table.
int resolve_port(const LinkOptions& options, int32_t& port);

} // namespace tgm::cli
