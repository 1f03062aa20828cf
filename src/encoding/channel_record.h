#pragma once
// The unit's per-channel record: which distinct table a channel carries, that table's method
// and point count. Sixteen of them, 96 bytes, make the record area of a header or directory
// record.
#include "encoding/directory.h"

#include <cstdint>

namespace tgm {

struct ChannelRecord {
    static constexpr int32_t kSize = 6;
    static constexpr int32_t kAreaSize = kSize * kDirectoryChannels;

    int16_t table = 0;        // distinct table number (1-based); 0: no table
    uint16_t method = 0;      // only for the newest units under type 3
    uint16_t point_count = 0; // low 16 bits of the table's point count

    static ChannelRecord read(const uint8_t* p);
    void write(uint8_t* p) const;
};

// Fills the 96-byte area from a directory. `methods` (per distinct table) goes into the
// records only when given; otherwise the method words stay 0.
void write_channel_records(uint8_t* area, const Directory& dir, const uint8_t* methods = nullptr);

// Rebuilds a directory from the 96-byte area. The table count ends as the highest table number
// from 1 to 16 that a record names, so erased flash (0xFF everywhere) reads as no tables.
void read_channel_records(const uint8_t* area, Directory& dir);

} // namespace tgm
