#include "encoding/arj_tab.h"

#include "encoding/block_codec.h"

namespace tgm {

void TArjTab::pack_table(uint8_t*& cursor, const PARTAB& table) {
    if (!has_layout()) {
        add_failure();
        return;
    }
    const BlockResult block = pack_body(compression_type_, cursor, table);
    if (!block.passed)
        add_failure();
    cursor += block.size;
}

int32_t TArjTab::unpack_table(std::span<const uint8_t>& cursor, PARTAB& table) const {
    const int32_t used = has_layout() ? unpack_body(compression_type_, cursor, table) : -1;
    if (used < 0)
        return kUnknownCompression;
    cursor = cursor.subspan(static_cast<std::size_t>(used));
    return 0;
}

int32_t TArjTab::packed_size() const {
    const Directory& dir = directory();
    if (!has_layout() || !dir.holdable())
        return 0;
    int32_t total = 0;
    for (int32_t i = 0; i < dir.table_count; ++i)
        total += body_size(compression_type_, dir.point_counts[i]);
    return total;
}

} // namespace tgm
