#pragma once
// The link settings kept in tgm.cfg.
#include <cstdint>

namespace tgm {

struct CHANPAR {
    int32_t port = 0; // zero-based serial port number
    // Kept in the file and read back; nothing else uses them.
    int32_t reserved_1 = 9;
    int32_t reserved_2 = 4000;
    uint8_t reserved_3 = 0;
};

} // namespace tgm
