#include "encoding/unit_header.h"

#include "encoding/channel_record.h"

#include <cstring>

namespace tgm {
namespace {

constexpr int32_t kFirstHeaderDriver = 2;
constexpr HeaderLayout kLayouts[] = {
    {274, 178, false, 688},   // 2: 621
    {774, 322, true, 224},    // 3: 632
    {808, 356, true, 512},    // 4: 634
    {822, 358, true, 512},    // 5: 6343
    {862, 486, true, 1376},   // 6: 6363
    {1310, 934, true, 1376},  // 7: 640
    {2070, 1622, true, 1440}, // 8: 843
    {750, 422, true, 1440},   // 9: 851
    {976, 646, true, 1600},   // 10: 852
};
constexpr int32_t kLayoutCount = sizeof(kLayouts) / sizeof(kLayouts[0]);

} // namespace

const HeaderLayout* header_layout(int32_t driver) {
    const int32_t i = driver - kFirstHeaderDriver;
    return i >= 0 && i < kLayoutCount ? &kLayouts[i] : nullptr;
}

UnitHeader::UnitHeader(const HeaderLayout& layout) : layout_(layout) { fill_zero(layout.size); }

bool UnitHeader::has_table_flag(int32_t channel) const {
    return (byte_at(flag_offset(channel)) & kTableFlag) != 0;
}

void UnitHeader::read_directory(Directory& dir) const {
    read_channel_records(bytes() + layout_.records, dir);
}

void UnitHeader::store_directory(const Directory& dir) {
    uint8_t* area = bytes() + layout_.records;
    write_channel_records(area, dir);
    for (int32_t k = 0; k < kDirectoryChannels; ++k) {
        uint8_t& flag = bytes()[flag_offset(k)];
        if (ChannelRecord::read(area + k * ChannelRecord::kSize).table != 0)
            flag = static_cast<uint8_t>(flag | kTableFlag);
        else
            flag = static_cast<uint8_t>(flag & ~kTableFlag);
    }
}

void UnitHeader::clear_tables() {
    for (int32_t k = 0; k < kDirectoryChannels; ++k)
        bytes()[flag_offset(k)] &= static_cast<uint8_t>(~kTableFlag);
    std::memset(bytes() + layout_.records, 0, ChannelRecord::kAreaSize);
}

} // namespace tgm
