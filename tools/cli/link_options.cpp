#include "link_options.h"

#include "cli_common.h"

#include "ports/port_names.h"
#include "support/file_locations.h"
#include "support/syscfg.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace tgm::cli {

const char kLinkOptionsHelp[] =
    "options of read, write, clear, compare and console (before the command):\n"
    "  --port P    the port: a number as `tgm-cli ports` prints it, or a device path\n"
    "              (default: the port of tgm.cfg)\n"
    "  --traffic   keep the line's traffic, shown with --trace after a failure\n"
    "  --trace     print the operation's event-log line on stderr\n"
    "console takes --port only; each --key C sends the key C, none reads the display\n";

LinkOptions& link_options() {
    static LinkOptions options;
    return options;
}

int parse_link_options(int argc, char** argv, LinkOptions& options) {
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--traffic") == 0) {
            options.traffic = true;
        } else if (std::strcmp(option, "--trace") == 0) {
            options.trace = true;
        } else if (std::strcmp(option, "--port") == 0 && i + 1 < argc) {
            options.port_given = true;
            options.port = argv[++i];
        } else if (std::strcmp(option, "--port") == 0) {
            // The table's last number is the system's: 95 on Linux, 63 (COM64) on Windows.
            const std::string accepted = "номер порта 0–" + std::to_string(kEnumeratedPorts - 1) +
                                         " (tgm-cli ports) или путь к устройству";
            usage_error("tgm-cli: --port needs a port number or a device path",
                        value_reason("--port", accepted.c_str(), nullptr));
            return -1;
        } else {
            break; // --help, or an unknown option: the caller's to judge
        }
    }
    return i;
}

int resolve_port(const LinkOptions& options, int32_t& port) {
    if (!options.port_given) {
        config().start_config({}, home_folder(), default_forms_folder());
        port = config().chanpar().port;
        // tgm.cfg is written in place: a save cut off can leave any number here. Only the
        // table's numbers are taken: a pseudo-terminal is reached by its path alone.
        if (is_table_port(port))
            return kOk;
        std::fprintf(stderr,
                     "tgm-cli: the port %d of tgm.cfg is not a port of the port table "
                     "(see tgm-cli ports)\n",
                     static_cast<int>(port));
        print_error(port_table_text());
        return kUsage;
    }
    const std::string& text = options.port;
    struct stat st {};
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    // A path has a slash; anything else that is not a file here is a mistyped number.
    if (!digits && text.find('/') != std::string::npos && ::stat(text.c_str(), &st) != 0) {
        // Nothing there: the port does not open, as an unplugged adapter does not, and the
        // reason is said under "Порт занят".
        port = -1;
        return kOk;
    }
    // A name that is no file here may still name a port (on Windows "COM5").
    port = port_of_argument(text);
    if (port >= 0)
        return kOk;
    std::fprintf(stderr, "tgm-cli: %s is not a port of the port table (see tgm-cli ports)\n",
                 text.c_str());
    print_error(port_table_text());
    return kUsage;
}

} // namespace tgm::cli
