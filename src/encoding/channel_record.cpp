#include "encoding/channel_record.h"

#include "encoding/byte_order.h"

#include <cstring>

namespace tgm {

CHANNEL_RECORD CHANNEL_RECORD::read(const uint8_t* p) {
    return {le::get16s(p), le::get16u(p + 2), le::get16u(p + 4)};
}

void CHANNEL_RECORD::write(uint8_t* p) const {
    le::put16(p, table);
    le::put16(p + 2, method);
    le::put16(p + 4, point_count);
}

void write_channel_records(uint8_t* area, const DIRECTORY& dir, const uint8_t* methods) {
    std::memset(area, 0, CHANNEL_RECORD::kAreaSize);
    if (dir.table_count == 0)
        return;
    for (int32_t k = 0; k < kDirectoryChannels; ++k) {
        const int32_t d = dir.channel_map[k];
        // Only numbers 1 to 16 name a table a record can describe; the channel stays empty.
        if (d < 1 || d > kDirectoryChannels)
            continue;
        CHANNEL_RECORD record;
        record.table = static_cast<int16_t>(d);
        record.method = methods ? methods[d - 1] : 0;
        record.point_count = static_cast<uint16_t>(dir.point_counts[d - 1]);
        record.write(area + k * CHANNEL_RECORD::kSize);
    }
}

void read_channel_records(const uint8_t* area, DIRECTORY& dir) {
    dir.clear();
    CHANNEL_RECORD records[kDirectoryChannels];
    for (int32_t k = 0; k < kDirectoryChannels; ++k) {
        records[k] = CHANNEL_RECORD::read(area + k * CHANNEL_RECORD::kSize);
        dir.channel_map[k] = records[k].table;
    }
    for (int32_t d = 1; d <= kDirectoryChannels; ++d) {
        for (const CHANNEL_RECORD& record : records) {
            if (record.table == d) {
                dir.point_counts[d - 1] = record.point_count;
                dir.table_count = d;
                break;
            }
        }
    }
}

} // namespace tgm
