#pragma once
// What a firmware generation looks like from the line: how it answers the version questions,
// where it keeps its tables, how much flash it reports and how its console looks.
#include "sim/sim_config.h"

#include <cstdint>
#include <string>

namespace tgm {

struct SimPersona {
    char protocol = 'k';
    int32_t transport_speed = 0; // 0, or the speed of addressed framing
    int32_t version = 0;         // the version number after the tool's folding, 0 for 5x0
    bool answers_abort = false;  // the 621 unit: code 15 gives status 0, code 14 is simple
    bool has_version_command = true;
    uint8_t version_bytes[3] = {0, 0, 0};
    int32_t driver = 0;
    bool uses_record = false;  // the 98-byte directory record instead of a header
    int32_t header_size = 0;   // H
    int32_t record_offset = 0; // R
    bool word_flags = false;   // channel flags as 16-bit words
    uint32_t flash_size = 0;
    int32_t type_count = 0;    // 0: command 8 / request 24 rejected with 12
    bool checks_ready = false; // the state byte's bit 0x40 matters to this generation
    int32_t display_kind = 2;

    int32_t line_speed() const;     // Bd the unit listens at
    int32_t display_length() const; // bytes of a console answer: rows * width + 1
};

// False (with the reason) when the firmware text names no generation that can be simulated.
bool make_persona(const SimConfig& config, SimPersona& out, std::string& error);

} // namespace tgm
