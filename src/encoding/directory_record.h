#pragma once
// The 98-byte directory record of the 853, 960 and newest units: a compression type word and
// the 16 channel records. An all-zero record means the unit holds no tables.
#include "encoding/channel_record.h"
#include "encoding/directory.h"

#include <array>
#include <cstdint>

namespace tgm {

class DirectoryRecord {
public:
    static constexpr int32_t kSize = 2 + ChannelRecord::kAreaSize;

    DirectoryRecord() { clear(); }

    uint8_t* bytes() { return bytes_.data(); }
    const uint8_t* bytes() const { return bytes_.data(); }
    void clear() { bytes_.fill(0); }

    // Records from an image's directory under a type.
    void store(const Directory& dir, int32_t type);
    // The newest units' form: under type 3 each record also carries its table's method.
    void store(const ExtDirectory& dir, uint8_t type);

    int16_t type_word() const;
    // The 853 and 960 units look at the type word's low byte only.
    uint8_t type_byte() const { return bytes_[0]; }
    void read_directory(Directory& dir) const;
    // The newest units' reading: erased flash (-1) stands for type 0, types 0 to 3 stand, and
    // under type 3 the method of each table comes from the lowest channel that names it and
    // must be 0, 1 or 9. Returns 0, or kUnknownCompression for anything else.
    int32_t read_directory(ExtDirectory& dir, uint8_t& type) const;

private:
    uint8_t* area() { return bytes_.data() + 2; }
    const uint8_t* area() const { return bytes_.data() + 2; }

    std::array<uint8_t, kSize> bytes_;
};

} // namespace tgm
