#include "encoding/ftab.h"

#include <cstring>

namespace tgm {

void FTAB::reset() {
    failures_ = 0;
    failed_channels_ = 0;
    directory_.clear();
    set_size(0);
}

void FTAB::load_directory(const Directory& dir) {
    directory_ = dir;
    fill_zero(packed_size());
}

int32_t FTAB::convert_from(const FTAB& other) {
    GROUPTAB group;
    if (const int32_t code = other.unpack(group); code != 0)
        return code;
    pack(group);
    return 0;
}

bool FTAB::same_as(const FTAB& other) const {
    return std::memcmp(&directory_, &other.directory_, sizeof(Directory)) == 0 && equals(other);
}

void FTAB::pack(const GROUPTAB& group) {
    reset();
    directory_.number_tables(group);
    // A table the records cannot count could never be read back: no image at all.
    failures_ = directory_.oversize_tables();
    failed_channels_ = directory_.oversize_channels();
    if (failures_ > 0)
        return;
    set_size(packed_size());
    uint8_t* cursor = bytes();
    for (int32_t d = 1; d <= directory_.table_count; ++d) {
        const int32_t before = failures_;
        pack_table(cursor, group.item(directory_.first_channel(d)));
        if (failures_ > before)
            failed_channels_ |= directory_.channels_of(d);
    }
}

int32_t FTAB::unpack(GROUPTAB& group) const {
    std::span<const uint8_t> cursor(bytes(), static_cast<std::size_t>(size()));
    return directory_.spread(group,
                             [&](int32_t, PARTAB& table) { return unpack_table(cursor, table); });
}

} // namespace tgm
