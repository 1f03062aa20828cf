#pragma once
// What the simulated unit is told: protocol, firmware, mode, state file and faults.
#include <cstdint>
#include <map>
#include <string>

namespace tgm {

struct SimFaults {
    int32_t init_polls = 0;    // readiness polls answered "initialising"; -1: never ready
    int32_t fault_status = -1; // status (K state byte) or result code (V readiness) answered
    uint16_t fault_word = 0;   // V readiness fault word
    std::map<int32_t, int32_t> status_to; // command -> status or result code answered to it
    // Guarded K command -> status answered to the first step, before any handshake.
    std::map<int32_t, int32_t> status_at_start;
    int32_t short_to = -1;           // V: the answer to this command lacks its last byte
    bool silent = false;             // answers nothing at all
    int32_t silent_to = -1;          // command left unanswered
    bool corrupt = false;            // every answer's checksum or CRC is wrong
    int32_t corrupt_to = -1;         // command whose answer carries a wrong checksum or CRC
    bool foreign_address = false;    // addressed framing: answers from address 1
    int32_t cut_to = -1;             // command whose answers stop short ...
    int32_t cut_after = 0;           // ... after this many bytes (K: of an exchange, V: of a frame)
    bool silent_after_image = false; // answers nothing more once table data has been stored
    int32_t trickle_to = -1;         // V: the long answer to this command comes a byte a block
    bool wrong_point = false;        // stores one point wrong: the top of a table
};

struct SimConfig {
    char protocol = 'k';
    std::string firmware = "6362";
    int32_t transport = 0;       // 0 normal framing; 9600 or 19200: addressed framing only
    uint16_t handshake = 0x1234; // or 0x5577
    std::string state_file;
    std::string link_path;
    bool real_time = false;
    int64_t flash_size = -1; // -1: the generation's own
    int32_t type_count = -1; // -1: the generation's own; 0: command rejected
    SimFaults faults;
};

// Parses tgm-sim's options (argv[0] is the program). Returns 0 and fills config, 1 when help
// was asked for (the text is in message), 2 on a usage error (message says why).
int parse_sim_options(int argc, char** argv, SimConfig& config, std::string& message);
const char* sim_usage();

} // namespace tgm
