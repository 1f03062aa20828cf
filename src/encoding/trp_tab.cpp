#include "encoding/trp_tab.h"

#include "encoding/block_codec.h"
#include "encoding/byte_order.h"

#include <cstring>
#include <span>

namespace tgm {

TTrpTab::TTrpTab(uint8_t type, const ExtDirectory& directory)
    : compression_type_(type), directory_(directory) {
    fill_zero(packed_size());
}

int32_t TTrpTab::choose_method(const PARTAB&) const { return kMethodSecondDiff; }

void TTrpTab::reset() {
    failures_ = 0;
    failed_channels_ = 0;
    std::memset(&directory_, 0, sizeof(directory_));
    set_size(0);
}

int32_t TTrpTab::block_method(int32_t i) const {
    switch (compression_type_) {
    case 0: return kMethodSecondDiff;
    case 1: return kMethodFirstDiff;
    case 3: return directory_.methods[i];
    default: return -1;
    }
}

int32_t TTrpTab::block_size(int32_t i) const {
    if (i < 0 || i >= kDirectoryChannels)
        return 0;
    const int32_t n = directory_.dir.point_counts[i];
    if (n < 0 || n > kMaxTablePoints)
        return 0;
    const int32_t header = compression_type_ == 3 ? kBlockHeaderSize : 0;
    return header + body_size(block_method(i), n);
}

int32_t TTrpTab::block_offset(int32_t i) const {
    int32_t offset = 0;
    for (int32_t j = 0; j < i && j < kDirectoryChannels; ++j)
        offset += block_size(j);
    return offset;
}

int32_t TTrpTab::packed_size() const {
    return directory_.dir.holdable() ? block_offset(directory_.dir.table_count) : 0;
}

void TTrpTab::pack(const GROUPTAB& group) {
    reset();
    Directory& dir = directory_.dir;
    dir.number_tables(group);
    for (int32_t i = 0; i < dir.table_count; ++i)
        directory_.methods[i] =
            static_cast<uint8_t>(choose_method(group.item(dir.first_channel(i + 1))));
    // A table the records cannot count could never be read back: no image at all.
    failures_ = dir.oversize_tables();
    failed_channels_ = dir.oversize_channels();
    if (failures_ > 0)
        return;
    set_size(packed_size());
    for (int32_t i = 0; i < dir.table_count; ++i) {
        const PARTAB& table = group.item(dir.first_channel(i + 1));
        const int32_t method = block_method(i);
        uint8_t* block = bytes() + block_offset(i);
        if (compression_type_ == 3) {
            std::memset(block, 0, kBlockHeaderSize);
            le::put16(block, method);
            le::put16(block + 2, table.count());
            block += kBlockHeaderSize;
        }
        if (method < 0 || !pack_body(method, block, table).passed) {
            ++failures_;
            failed_channels_ |= dir.channels_of(i + 1);
        }
    }
}

int32_t TTrpTab::unpack(GROUPTAB& group) const {
    return directory_.dir.spread(group,
                                 [&](int32_t i, PARTAB& table) { return unpack_block(i, table); });
}

int32_t TTrpTab::unpack_block(int32_t i, PARTAB& table) const {
    const int32_t offset = block_offset(i);
    const int32_t size = block_size(i);
    const int32_t method = block_method(i);
    if (method < 0 || offset + size > image_size())
        return kUnknownCompression;
    std::span<const uint8_t> block(bytes() + offset, static_cast<std::size_t>(size));
    if (compression_type_ == 3) {
        // The block was sized by the directory's method; read by another it would be misread.
        if (block[0] != directory_.methods[i])
            return kUnknownCompression;
        block = block.subspan(kBlockHeaderSize);
    }
    return unpack_body(method, block, table) < 0 ? kUnknownCompression : 0;
}

} // namespace tgm
