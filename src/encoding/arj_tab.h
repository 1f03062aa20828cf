#pragma once
// The image of every K unit but the newest: all tables as second differences (type 0) or all
// as first differences (type 1), block after block.
#include "encoding/ftab.h"

namespace tgm {

class TArjTab : public FTAB {
public:
    // The type comes from a single byte of the unit's record and is sign-extended.
    explicit TArjTab(uint8_t type) : compression_type_(static_cast<int8_t>(type)) {}

    void pack_table(uint8_t*& cursor, const PARTAB& table) override;
    int32_t unpack_table(std::span<const uint8_t>& cursor, PARTAB& table) const override;
    int32_t packed_size() const override;

    int32_t compression_type() const { return compression_type_; }

private:
    // Only types 0 and 1 have a block layout; under any other nothing can be stored.
    bool has_layout() const { return compression_type_ == 0 || compression_type_ == 1; }

    int32_t compression_type_;
};

} // namespace tgm
