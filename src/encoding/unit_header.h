#pragma once
// The fixed-size header of the older K units (drivers 2 to 10). Only the channel flags and the
// 96-byte record area are the tool's; every other byte is the unit's and goes back unchanged.
#include "encoding/directory.h"
#include "support/data.h"

#include <cstdint>

namespace tgm {

struct HeaderLayout {
    int32_t size;    // H: bytes in the header
    int32_t records; // R: offset of the record area
    bool word_flags; // 16-bit flags (all but the 621 driver) instead of byte flags
    int32_t reserve; // flash kept back besides the header
};

// Layout of a header driver, or nullptr for a driver number without a header.
const HeaderLayout* header_layout(int32_t driver);

class UnitHeader : public DATA {
public:
    // Bit of a channel flag that says the channel has a table.
    static constexpr uint8_t kTableFlag = 0x04;
    static constexpr int32_t kFlagsOffset = 2;

    // A zeroed header of the layout's size, ready to receive the unit's.
    explicit UnitHeader(const HeaderLayout& layout);

    const HeaderLayout& layout() const { return layout_; }
    bool has_table_flag(int32_t channel) const;
    void read_directory(Directory& dir) const;
    // Rebuilds the records from the directory and sets the table flag exactly on the channels
    // whose record names a table.
    void store_directory(const Directory& dir);
    // Clears every table flag and the record area.
    void clear_tables();

private:
    // The flag bit lives in the first (low) byte of a word flag.
    int32_t flag_offset(int32_t channel) const {
        return kFlagsOffset + (layout_.word_flags ? 2 * channel : channel);
    }

    HeaderLayout layout_;
};

} // namespace tgm
