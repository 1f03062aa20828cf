// tgm-cli ports: the serial ports that open now (and those denied to this user), one per line:
// NUMBER<TAB>DEVICE<TAB>DESCRIPTION.
#include "commands.h"

#include "ports/port_listing.h"

#include <cstdio>
#include <cstring>

namespace tgm::cli {

int cmd_ports(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("Usage: tgm-cli ports\n"
                    "Lists the serial ports that can be opened now: number, device, "
                    "description.\nPorts that this user may not open are listed with the "
                    "description \"нет доступа\" and the device's group.\n");
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "tgm-cli ports: unexpected argument %s\nUsage: tgm-cli ports\n",
                     argv[1]);
        return 2;
    }
    tgm::TPortCollection ports;
    ports.enumerate();
    std::fputs(tgm::port_listing(ports).c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace tgm::cli
