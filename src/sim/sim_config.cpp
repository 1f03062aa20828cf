#include "sim/sim_config.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

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

// "COMMAND:NUMBER", the command 0..255 and the number up to `high`.
bool parse_pair(const char* text, int64_t high, int32_t& command, int32_t& number) {
    const char* colon = text != nullptr ? std::strchr(text, ':') : nullptr;
    if (colon == nullptr)
        return false;
    const std::string left(text, colon);
    int64_t c = 0, n = 0;
    if (!parse_number(left.c_str(), 0, 255, c) || !parse_number(colon + 1, 0, high, n))
        return false;
    command = static_cast<int32_t>(c);
    number = static_cast<int32_t>(n);
    return true;
}

// "COMMAND:STATUS" with both parts 0..255, into a map of command to status.
bool parse_pair(const char* text, std::map<int32_t, int32_t>& statuses) {
    int32_t command = 0, status = 0;
    if (!parse_pair(text, 255, command, status))
        return false;
    statuses[command] = status;
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
           "                          version command (default 6362); generations the tool\n"
           "                          has no driver for keep the 621 header layout\n"
           "  --transport 9600|19200  V unit in transport mode: addressed framing only\n"
           "  --handshake 1234|5577   handshake word of guarded exchanges (default 1234)\n"
           "  --state FILE            load the unit's flash from FILE and save it there\n"
           "  --link PATH             make PATH a symbolic link to the pseudo-terminal\n"
           "  --real-time             take requests and pace answers as a 9600 Bd (K) or\n"
           "                          19200 Bd (V) line carries them\n"
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
           "  --status-at-start CMD:S guarded K command CMD refused with status S at its\n"
           "                          first step, before the handshake; repeatable\n"
           "  --short-to CMD          V: the answer to CMD lacks its last byte\n"
           "  --silent                answer nothing\n"
           "  --silent-to CMD         leave command CMD unanswered\n"
           "  --corrupt               every answer carries a wrong checksum or CRC\n"
           "  --corrupt-to CMD        the answer to CMD carries a wrong checksum or CRC\n"
           "  --foreign-address       addressed framing: answer from address 1\n"
           "  --cut-to CMD:N          every answer to CMD stops after N bytes (K: of the\n"
           "                          exchange, V: of each answer frame)\n"
           "  --silent-after-image    answer nothing more once table data (the image or a\n"
           "                          table's block) has been stored: a write interrupted\n"
           "                          before its header or directory\n"
           "  --trickle-to CMD        V: the answer to CMD comes as a long answer, one byte a\n"
           "                          block\n"
           "  --wrong-point           store the image or the first table's block with its\n"
           "                          last byte changed: one point reads back wrong\n"
           "  --help                  this text\n";
}

namespace {

// The line under a refused value: the option as the usage text shows it, with what it takes
// ("--transport 9600|19200"), and what was given.
std::string value_reason(const std::string& option, const char* value) {
    const std::string usage = sim_usage();
    std::string takes = option;
    // The word after the option in its line of the usage text.
    if (const auto at = usage.find("  " + option + " "); at != std::string::npos) {
        const auto form = at + 3 + option.size();
        takes += " " + usage.substr(form, usage.find_first_of(" \n", form) - form);
    }
    return "takes " + takes +
           (value ? "; given \"" + std::string(value) + "\"" : "; no value given");
}

} // namespace

int parse_sim_options(int argc, char** argv, SimConfig& config, std::string& message) {
    // Options that take a number in a range.
    struct NumberOption {
        const char* name;
        int64_t low;
        int64_t high;
        std::function<void(int64_t)> set;
    };
    SimFaults& faults = config.faults;
    // clang-format off
    const NumberOption numbers[] = {
        {"--flash", 0, 0xFFFFFFFFLL, [&](int64_t v) { config.flash_size = v; }},
        {"--types", 0, 0xFFFF, [&](int64_t v) { config.type_count = static_cast<int32_t>(v); }},
        {"--fault-status", 0, 255, [&](int64_t v) { faults.fault_status = static_cast<int32_t>(v); }},
        {"--fault-word", 0, 0xFFFF, [&](int64_t v) { faults.fault_word = static_cast<uint16_t>(v); }},
        {"--silent-to", 0, 255, [&](int64_t v) { faults.silent_to = static_cast<int32_t>(v); }},
        {"--corrupt-to", 0, 255, [&](int64_t v) { faults.corrupt_to = static_cast<int32_t>(v); }},
        {"--short-to", 0, 255, [&](int64_t v) { faults.short_to = static_cast<int32_t>(v); }},
        {"--trickle-to", 0, 255, [&](int64_t v) { faults.trickle_to = static_cast<int32_t>(v); }},
    };
    // Options that take a text, with the check it must pass.
    struct TextOption {
        const char* name;
        std::function<bool(const std::string&)> set;
    };
    const TextOption texts[] = {
        {"--protocol", [&](const std::string& v) { config.protocol = v[0]; return v == "k" || v == "v"; }},
        {"--firmware", [&](const std::string& v) { config.firmware = v; return true; }},
        {"--transport", [&](const std::string& v) {
             config.transport = v == "9600" ? 9600 : v == "19200" ? 19200 : 0;
             return config.transport != 0;
         }},
        {"--handshake", [&](const std::string& v) {
             config.handshake = v == "5577" ? 0x5577 : 0x1234;
             return v == "1234" || v == "5577";
         }},
        {"--state", [&](const std::string& v) { config.state_file = v; return true; }},
        {"--link", [&](const std::string& v) { config.link_path = v; return true; }},
        {"--init-polls", [&](const std::string& v) {
             int64_t n = -1; // never
             if (v != "never" && !parse_number(v.c_str(), 0, 1000000, n))
                 return false;
             faults.init_polls = static_cast<int32_t>(n);
             return true;
         }},
        {"--status", [&](const std::string& v) { return parse_pair(v.c_str(), faults.status_to); }},
        {"--status-at-start",
         [&](const std::string& v) { return parse_pair(v.c_str(), faults.status_at_start); }},
        {"--cut-to",
         [&](const std::string& v) {
             return parse_pair(v.c_str(), 0xFFFF, faults.cut_to, faults.cut_after);
         }},
    };
    // clang-format on
    // Switches.
    const std::pair<const char*, bool*> switches[] = {
        {"--real-time", &config.real_time},
        {"--silent", &faults.silent},
        {"--corrupt", &faults.corrupt},
        {"--foreign-address", &faults.foreign_address},
        {"--silent-after-image", &faults.silent_after_image},
        {"--wrong-point", &faults.wrong_point},
    };

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--help" || option == "-h") {
            message = sim_usage();
            return 1;
        }
        bool known = false;
        bool ok = true;
        for (const auto& [name, flag] : switches)
            if (option == name) {
                *flag = true;
                known = true;
            }
        for (const NumberOption& o : numbers) {
            int64_t number = 0;
            if (option == o.name) {
                known = true;
                ok = parse_number(value, o.low, o.high, number);
                if (ok)
                    o.set(number);
                ++i;
            }
        }
        for (const TextOption& o : texts)
            if (option == o.name) {
                known = true;
                ok = value != nullptr && *value != '\0' && o.set(value);
                ++i;
            }
        if (!known) {
            message = "unknown option " + option;
            return 2;
        }
        if (!ok) {
            message = "bad or missing value for " + option + "\n" + value_reason(option, value);
            return 2;
        }
    }
    if (config.transport != 0 && config.protocol != 'v') {
        message = "--transport needs --protocol v";
        return 2;
    }
    return 0;
}

} // namespace tgm
