#pragma once
// What a firmware generation does, asked by the unit's version code: where it keeps its tables
// and how much room they have, whether it must end its initialisation first, which compression
// types it takes, and what makes written tables active. The version table says which
// generation a version is; this is the one place that says what each generation does.
#include "encoding/unit_header.h"

#include <cstdint>

namespace tgm {

struct Generation {
    // Where the tables' directory lives: a fixed-size header of the older units, or the
    // 98-byte directory record; none for a version without a table driver.
    enum class Store { none, header, record };
    // What limits the packed image: the flash size less the header and its reserve (asked with
    // a 16-bit answer), a fixed size, the whole flash (asked with a 32-bit answer), or only the
    // largest transfer.
    enum class Room { none, header_flash, fixed, flash_size };

    int32_t code = -1; // the version code, as its low byte: -1 for a unit never identified
    int32_t driver = 0;
    Store store = Store::none;
    const HeaderLayout* header = nullptr; // Store::header only
    Room room = Room::none;
    int32_t fixed_room = 0;   // Room::fixed: bytes the image may take
    bool waits_ready = false; // tables move only once the state byte's bit 0x40 is set
    bool asks_types = false;  // asks which compression types the unit takes (command 8)
    int32_t types = 0;        // compression types its driver writes, from type 0 up
    bool restarts = false;    // takes the finishing command and restarts by itself
    bool power_cycle = false; // must be switched off and on before written tables count
};

// The generation of a version code (the link's version_code; only its low byte counts, as a
// signed byte).
Generation generation_of(int32_t version_code);

// The low byte of a version code as a signed byte; -1 for a unit never identified.
inline int32_t unit_code(int32_t version_code) { return static_cast<int8_t>(version_code & 0xFF); }

} // namespace tgm
