#include "sim_config.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tgm {
namespace {

bool parse_number(const char* text, int64_t low, int64_t high, int64_t& out) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 0);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return false;
    out = value;
    return true;
}

// "COMMAND:STATUS" with both parts 0..255.
bool parse_pair(const char* text, int32_t& command, int32_t& status) {
    const char* colon = text != nullptr ? std::strchr(text, ':') : nullptr;
    if (colon == nullptr)
        return false;
    const std::string left(text, colon);
    int64_t c = 0, s = 0;
    if (!parse_number(left.c_str(), 0, 255, c) || !parse_number(colon + 1, 0, 255, s))
        return false;
    command = static_cast<int32_t>(c);
    status = static_cast<int32_t>(s);
    return true;
}

} // namespace

const char* sim_usage() {
    return "Usage: tgm-sim [options]\n"
           "Opens a pseudo-terminal, prints its path and answers on it as a secondary unit\n"
           "until it is stopped (Ctrl+C).\n"
           "\n"
           "  --protocol k|v          protocol spoken (default k)\n"
           "  --firmware VERSION      firmware generation: a version number such as 6341,\n"
           "                          8510, 9616, 1000 or 10000; 621 for the unit that answers\n"
           "                          code 15 with status 0; 5x0 for the unit without the\n"
           "                          version command (default 6362)\n"
           "  --transport 9600|19200  V unit in transport mode: addressed framing only\n"
           "  --handshake 1234|5577   handshake word of guarded exchanges (default 1234)\n"
           "  --state FILE            load the unit's flash from FILE and save it there\n"
           "  --link PATH             make PATH a symbolic link to the pseudo-terminal\n"
           "  --real-time             pace answers as on a 9600 Bd (K) or 19200 Bd (V) line\n"
           "  --flash BYTES           flash size reported by code 2\n"
           "  --types N               compression types accepted (code 8, request 24);\n"
           "                          0: the command is rejected with 12\n"
           "\n"
           "Faults:\n"
           "  --init-polls N|never    readiness stays \"initialising\" for N polls, or forever\n"
           "  --fault-status S        state byte (K) or readiness request (V) answered with S\n"
           "  --fault-word W          V readiness answer carries fault word W\n"
           "  --status CMD:S          command CMD answered with status or result code S\n"
           "                          (guarded K commands: at the transfer); repeatable\n"
           "  --silent                answer nothing\n"
           "  --silent-to CMD         leave command CMD unanswered\n"
           "  --corrupt               every answer carries a wrong checksum or CRC\n"
           "  --corrupt-to CMD        the answer to CMD carries a wrong checksum or CRC\n"
           "  --foreign-address       addressed framing: answer from address 1\n"
           "  --help                  this text\n";
}

int parse_sim_options(int argc, char** argv, SIMCONFIG& config, std::string& message) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int64_t number = 0;
        bool takes_value = true;
        bool ok = true;
        if (option == "--help" || option == "-h") {
            message = sim_usage();
            return 1;
        } else if (option == "--protocol") {
            ok = value != nullptr && (std::strcmp(value, "k") == 0 || std::strcmp(value, "v") == 0);
            if (ok)
                config.protocol = value[0];
        } else if (option == "--firmware") {
            ok = value != nullptr && *value != '\0';
            if (ok)
                config.firmware = value;
        } else if (option == "--transport") {
            ok = value != nullptr && parse_number(value, 9600, 19200, number) &&
                 (number == 9600 || number == 19200);
            if (ok)
                config.transport = static_cast<int32_t>(number);
        } else if (option == "--handshake") {
            ok = value != nullptr && (std::strcmp(value, "1234") == 0 || std::strcmp(value, "5577") == 0);
            if (ok)
                config.handshake = std::strcmp(value, "1234") == 0 ? 0x1234 : 0x5577;
        } else if (option == "--state") {
            ok = value != nullptr && *value != '\0';
            if (ok)
                config.state_file = value;
        } else if (option == "--link") {
            ok = value != nullptr && *value != '\0';
            if (ok)
                config.link_path = value;
        } else if (option == "--flash") {
            ok = parse_number(value, 0, 0xFFFFFFFFLL, number);
            if (ok)
                config.flash_size = number;
        } else if (option == "--types") {
            ok = parse_number(value, 0, 0xFFFF, number);
            if (ok)
                config.type_count = static_cast<int32_t>(number);
        } else if (option == "--init-polls") {
            if (value != nullptr && std::strcmp(value, "never") == 0)
                config.faults.init_polls = -1;
            else if ((ok = parse_number(value, 0, 1000000, number)))
                config.faults.init_polls = static_cast<int32_t>(number);
        } else if (option == "--fault-status") {
            ok = parse_number(value, 0, 255, number);
            if (ok)
                config.faults.fault_status = static_cast<int32_t>(number);
        } else if (option == "--fault-word") {
            ok = parse_number(value, 0, 0xFFFF, number);
            if (ok)
                config.faults.fault_word = static_cast<uint16_t>(number);
        } else if (option == "--status") {
            int32_t command = 0, status = 0;
            ok = parse_pair(value, command, status);
            if (ok)
                config.faults.status_to[command] = status;
        } else if (option == "--silent-to") {
            ok = parse_number(value, 0, 255, number);
            if (ok)
                config.faults.silent_to = static_cast<int32_t>(number);
        } else if (option == "--corrupt-to") {
            ok = parse_number(value, 0, 255, number);
            if (ok)
                config.faults.corrupt_to = static_cast<int32_t>(number);
        } else {
            takes_value = false;
            if (option == "--real-time")
                config.real_time = true;
            else if (option == "--silent")
                config.faults.silent = true;
            else if (option == "--corrupt")
                config.faults.corrupt = true;
            else if (option == "--foreign-address")
                config.faults.foreign_address = true;
            else {
                message = "unknown option " + option;
                return 2;
            }
        }
        if (!ok) {
            message = "bad or missing value for " + option;
            return 2;
        }
        if (takes_value)
            ++i;
    }
    if (config.transport != 0 && config.protocol != 'v') {
        message = "--transport needs --protocol v";
        return 2;
    }
    return 0;
}

} // namespace tgm
