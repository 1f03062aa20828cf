#include "encoding/channel_record.h"

#include "encoding/byte_order.h"

#include <cstring>

namespace tgm {

ChannelRecord ChannelRecord::read(const uint8_t* p) {
    return {le::get16s(p), le::get16u(p + 2), le::get16u(p + 4)};
}

void ChannelRecord::write(uint8_t* p) const {
    le::put16(p, table);
    le::put16(p + 2, method);
    le::put16(p + 4, point_count);
}

void write_channel_records(uint8_t* area, const Directory& dir, const uint8_t* methods) {
    std::memset(area, 0, ChannelRecord::kAreaSize);
    if (dir.table_count == 0)
        return;
    for (int32_t k = 0; k < kDirectoryChannels; ++k) {
        const int32_t d = dir.channel_map[k];
        // Only numbers 1 to 16 name a table a record can describe; the channel stays empty.
        if (d < 1 || d > kDirectoryChannels)
            continue;
        ChannelRecord record;
        record.table = static_cast<int16_t>(d);
        record.method = methods ? methods[d - 1] : 0;
        record.point_count = static_cast<uint16_t>(dir.point_counts[d - 1]);
        record.write(area + k * ChannelRecord::kSize);
    }
}

void read_channel_records(const uint8_t* area, Directory& dir) {
    dir.clear();
    ChannelRecord records[kDirectoryChannels];
    for (int32_t k = 0; k < kDirectoryChannels; ++k) {
        records[k] = ChannelRecord::read(area + k * ChannelRecord::kSize);
        dir.channel_map[k] = records[k].table;
    }
    for (int32_t d = 1; d <= kDirectoryChannels; ++d) {
        for (const ChannelRecord& record : records) {
            if (record.table == d) {
                dir.point_counts[d - 1] = record.point_count;
                dir.table_count = d;
                break;
            }
        }
    }
}

} // namespace tgm
