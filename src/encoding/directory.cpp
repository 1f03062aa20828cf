#include "encoding/directory.h"

#include <array>
#include <cstring>

namespace tgm {

void Directory::clear() { std::memset(this, 0, sizeof(*this)); }

void Directory::number_tables(const GROUPTAB& group) {
    clear();
    for (int32_t j = 0; j < group.count() && j < kDirectoryChannels; ++j) {
        const PARTAB& table = group.item(j);
        if (table.count() == 0)
            continue;
        int32_t l = 0;
        while (l < j && !group.item(l).equals(table))
            ++l;
        if (l < j) {
            channel_map[j] = channel_map[l];
        } else {
            point_counts[table_count] = table.count();
            channel_map[j] = ++table_count;
        }
    }
}

int32_t Directory::oversize_tables() const {
    int32_t n = 0;
    for (int32_t i = 0; i < table_count && i < kDirectoryChannels; ++i)
        if (point_counts[i] > kMaxTablePoints)
            ++n;
    return n;
}

int32_t Directory::first_channel(int32_t d) const {
    for (int32_t k = 0; k < kDirectoryChannels; ++k)
        if (channel_map[k] == d)
            return k;
    return -1;
}

uint32_t Directory::channels_of(int32_t d) const {
    uint32_t channels = 0;
    for (int32_t k = 0; k < kDirectoryChannels; ++k)
        if (channel_map[k] == d)
            channels |= 1u << k;
    return channels;
}

uint32_t Directory::oversize_channels() const {
    uint32_t channels = 0;
    for (int32_t i = 0; i < table_count && i < kDirectoryChannels; ++i)
        if (point_counts[i] > kMaxTablePoints)
            channels |= channels_of(i + 1);
    return channels;
}

bool Directory::holdable() const {
    if (table_count < 0 || table_count > kDirectoryChannels)
        return false;
    for (int32_t i = 0; i < table_count; ++i)
        if (point_counts[i] < 0 || point_counts[i] > kMaxTablePoints)
            return false;
    for (int32_t k = 0; k < kDirectoryChannels; ++k)
        if (channel_map[k] < 0 || channel_map[k] > table_count)
            return false;
    return true;
}

int32_t Directory::spread(GROUPTAB& group, const TableDecoder& decode) const {
    if (!holdable())
        return kUnknownCompression;
    std::array<PARTAB, kDirectoryChannels> tables;
    for (int32_t i = 0; i < table_count; ++i) {
        tables[i].resize(point_counts[i]);
        if (const int32_t code = decode(i, tables[i]); code != 0)
            return code;
    }
    int32_t highest = kDirectoryChannels - 1;
    while (highest >= 0 && channel_map[highest] == 0)
        --highest;
    group.reset();
    for (int32_t k = 0; k <= highest; ++k) {
        group.add_empty();
        if (channel_map[k] != 0)
            group.item(k).copy_from(tables[channel_map[k] - 1]);
    }
    return 0;
}

} // namespace tgm
