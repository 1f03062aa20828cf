#pragma once
// The directory of a packed image: how many points each distinct table has and which distinct
// table each channel carries. Drivers copy it as a block, so the layout is fixed and unpadded.
#include "model/grouptab.h"

#include <cstdint>
#include <functional>

namespace tgm {

// Code of an image or directory that cannot be decoded.
inline constexpr int32_t kUnknownCompression = 84;
// The unit's records keep point counts in 16 bits.
inline constexpr int32_t kMaxTablePoints = 65535;
inline constexpr int32_t kDirectoryChannels = 16;

struct Directory {
    // Entry i: points of distinct table i+1; 0 beyond table_count.
    int32_t point_counts[kDirectoryChannels];
    // Entry k: distinct table (1-based) that channel k+1 carries; 0 for none.
    int32_t channel_map[kDirectoryChannels];
    int32_t table_count;

    void clear();
    // Numbers the group's non-empty tables by first appearance, equal tables sharing a number.
    void number_tables(const GROUPTAB& group);
    // Distinct tables whose point count a unit's records cannot carry.
    int32_t oversize_tables() const;
    // Lowest channel that carries distinct table d (1-based), or -1.
    int32_t first_channel(int32_t d) const;
    // Every channel that carries distinct table d (1-based): bit k for channel k+1.
    uint32_t channels_of(int32_t d) const;
    // The channels whose tables oversize_tables counts, as channels_of gives them.
    uint32_t oversize_channels() const;
    // Whether a unit could hold this directory: at most 16 tables of 0 to 65535 points, and
    // every channel names one of them or none. Anything else came from a damaged record.
    bool holdable() const;

    // Decodes distinct table i (0-based) into a table already resized to its point count;
    // returns 0 or an error code.
    using TableDecoder = std::function<int32_t(int32_t i, PARTAB& table)>;
    // Rebuilds the group channel by channel: gaps up to the highest mapped channel and each
    // distinct table copied into every channel that carries it. The group is touched only when
    // every table decoded, so a failure leaves it as it was. Returns 0 or the decoder's code.
    int32_t spread(GROUPTAB& group, const TableDecoder& decode) const;
};
static_assert(sizeof(Directory) == 132, "drivers copy the directory as 132 bytes");

// The directory of the newest units: a method byte per distinct table before the plain one.
struct ExtDirectory {
    uint8_t methods[kDirectoryChannels];
    Directory dir;
};
static_assert(sizeof(ExtDirectory) == 148, "drivers copy the extended directory as 148 bytes");

} // namespace tgm
