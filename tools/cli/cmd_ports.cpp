// tgm-cli ports: the serial ports that open now, one per line:
// NUMBER<TAB>DEVICE<TAB>DESCRIPTION.
#include "commands.h"

#include "link/tportcollection.h"
#include "support/cp1251.h"

#include <cstdio>
#include <cstring>

namespace tgm::cli {

int cmd_ports(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("Usage: tgm-cli ports\n"
                    "Lists the serial ports that can be opened now: number, device, "
                    "description.\n");
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "tgm-cli ports: unexpected argument %s\nUsage: tgm-cli ports\n",
                     argv[1]);
        return 2;
    }
    tgm::TPortCollection ports;
    ports.enumerate();
    for (int32_t i = 0; i < ports.count(); ++i) {
        const tgm::TPort& port = *ports.port_at(i);
        // The device path is the file system's own; the description is a program text.
        std::printf("%d\t%s\t%s\n", port.port, port.name.c_str(),
                    tgm::cp1251_to_utf8(port.description).c_str());
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace tgm::cli
