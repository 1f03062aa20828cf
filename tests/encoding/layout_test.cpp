#include "encoding/channel_record.h"
#include "encoding/directory_record.h"
#include "encoding/unit_header.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tgm;
using tgm::test::bytes;

namespace {

using Bytes = std::vector<uint8_t>;

// Channels 1 and 3 share table 1 (300 points), channel 2 carries table 2 (70000 points, which
// only the low 16 bits can carry), channel 4 is a gap.
Directory sample() {
    Directory d{};
    d.table_count = 2;
    d.point_counts[0] = 300;
    d.point_counts[1] = 70000;
    d.channel_map[0] = 1;
    d.channel_map[1] = 2;
    d.channel_map[2] = 1;
    return d;
}

Bytes record_bytes(const DirectoryRecord& r, int32_t channel) {
    return bytes(r.bytes() + 2 + 6 * channel, 6);
}

} // namespace

TEST(ChannelRecord, ByteLayout) {
    uint8_t p[6];
    ChannelRecord{2, 9, 0x1234}.write(p);
    EXPECT_EQ(bytes(p, 6), (Bytes{0x02, 0x00, 0x09, 0x00, 0x34, 0x12}));
    const uint8_t erased[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const ChannelRecord r = ChannelRecord::read(erased);
    EXPECT_EQ(r.table, -1);
    EXPECT_EQ(r.method, 0xFFFF);
    EXPECT_EQ(r.point_count, 0xFFFF);
}

TEST(DirectoryRecord, RecordsFromADirectory) {
    DirectoryRecord r;
    std::memset(r.bytes(), 0xAA, DirectoryRecord::kSize);
    r.store(sample(), 1);
    EXPECT_EQ(r.type_word(), 1);
    EXPECT_EQ(record_bytes(r, 0), (Bytes{1, 0, 0, 0, 0x2C, 0x01}));
    EXPECT_EQ(record_bytes(r, 1), (Bytes{2, 0, 0, 0, 0x70, 0x11}));
    EXPECT_EQ(record_bytes(r, 2), (Bytes{1, 0, 0, 0, 0x2C, 0x01}));
    for (int32_t k = 3; k < 16; ++k)
        EXPECT_EQ(record_bytes(r, k), Bytes(6, 0)) << "channel " << k + 1;

    // Methods go into the records only under type 3.
    ExtDirectory ext{};
    ext.dir = sample();
    ext.methods[0] = 9;
    ext.methods[1] = 1;
    r.store(ext, 3);
    EXPECT_EQ(record_bytes(r, 1), (Bytes{2, 0, 1, 0, 0x70, 0x11}));
    EXPECT_EQ(record_bytes(r, 2), (Bytes{1, 0, 9, 0, 0x2C, 0x01}));
    r.store(ext, 1);
    EXPECT_EQ(record_bytes(r, 2), (Bytes{1, 0, 0, 0, 0x2C, 0x01}));

    // A directory without tables is the all-zero record apart from the type.
    Directory none{};
    none.channel_map[4] = 1;
    r.store(none, 0);
    EXPECT_EQ(bytes(r.bytes(), DirectoryRecord::kSize), Bytes(DirectoryRecord::kSize, 0));
}

TEST(DirectoryRecord, DirectoryFromRecords) {
    DirectoryRecord r;
    // Channel 2 names table 3 with 40 points, channels 5 and 6 table 1 with 10 and (ignored) 11.
    ChannelRecord{3, 0, 40}.write(r.bytes() + 2 + 6 * 1);
    ChannelRecord{1, 0, 10}.write(r.bytes() + 2 + 6 * 4);
    ChannelRecord{1, 0, 11}.write(r.bytes() + 2 + 6 * 5);
    Directory d;
    r.read_directory(d);
    EXPECT_EQ(d.table_count, 3); // the highest number present
    EXPECT_EQ(std::vector<int32_t>(d.point_counts, d.point_counts + 4),
              (std::vector<int32_t>{10, 0, 40, 0}));
    EXPECT_EQ(std::vector<int32_t>(d.channel_map, d.channel_map + 7),
              (std::vector<int32_t>{0, 3, 0, 0, 1, 1, 0}));

    // What a directory wrote reads back as that directory, counts cut to 16 bits.
    r.store(sample(), 0);
    r.read_directory(d);
    Directory expected = sample();
    expected.point_counts[1] = 70000 & 0xFFFF;
    EXPECT_EQ(std::memcmp(&d, &expected, sizeof(Directory)), 0);
}

TEST(DirectoryRecord, ErasedFlashHoldsNoTables) {
    DirectoryRecord r;
    std::memset(r.bytes(), 0xFF, DirectoryRecord::kSize);
    Directory d;
    r.read_directory(d);
    EXPECT_EQ(d.table_count, 0);
    EXPECT_EQ(r.type_byte(), 0xFF);

    ExtDirectory ext;
    uint8_t type = 99;
    EXPECT_EQ(r.read_directory(ext, type), 0);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(ext.dir.table_count, 0);
}

TEST(DirectoryRecord, NewestUnitsTypeAndMethodWords) {
    DirectoryRecord r;
    ExtDirectory ext;
    uint8_t type = 0;
    for (int16_t word : {int16_t{0}, int16_t{1}, int16_t{2}, int16_t{3}}) {
        r.bytes()[0] = static_cast<uint8_t>(word);
        EXPECT_EQ(r.read_directory(ext, type), 0);
        EXPECT_EQ(type, word);
    }
    for (uint16_t word : {uint16_t{4}, uint16_t{0xFFFE}, uint16_t{0x0100}}) {
        r.bytes()[0] = static_cast<uint8_t>(word);
        r.bytes()[1] = static_cast<uint8_t>(word >> 8);
        EXPECT_EQ(r.read_directory(ext, type), kUnknownCompression) << word;
    }
    // The 853 and 960 units see only the low byte.
    EXPECT_EQ(r.type_byte(), 0);

    // Type 3: the lowest channel naming a table gives its method; later ones are not read.
    r.clear();
    r.bytes()[0] = 3;
    ChannelRecord{2, 9, 5}.write(r.bytes() + 2 + 6 * 3);
    ChannelRecord{1, 1, 5}.write(r.bytes() + 2 + 6 * 4);
    ChannelRecord{2, 7, 5}.write(r.bytes() + 2 + 6 * 6);
    ASSERT_EQ(r.read_directory(ext, type), 0);
    EXPECT_EQ(ext.methods[0], 1);
    EXPECT_EQ(ext.methods[1], 9);
    EXPECT_EQ(ext.dir.table_count, 2);

    ChannelRecord{2, 7, 5}.write(r.bytes() + 2 + 6 * 0);
    EXPECT_EQ(r.read_directory(ext, type), kUnknownCompression);
    // Method words mean nothing under the other types.
    r.bytes()[0] = 1;
    EXPECT_EQ(r.read_directory(ext, type), 0);
    EXPECT_EQ(ext.methods[1], 0);
}

TEST(UnitHeader, LayoutsOfTheHeaderDrivers) {
    const HeaderLayout* l621 = header_layout(2);
    ASSERT_NE(l621, nullptr);
    EXPECT_EQ(l621->size, 274);
    EXPECT_EQ(l621->records, 178);
    EXPECT_FALSE(l621->word_flags);
    EXPECT_EQ(l621->size + l621->reserve, 962);
    const HeaderLayout* l852 = header_layout(10);
    ASSERT_NE(l852, nullptr);
    EXPECT_EQ(l852->size + l852->reserve, 2576);
    EXPECT_EQ(header_layout(1), nullptr);
    EXPECT_EQ(header_layout(11), nullptr);
    for (int32_t driver = 2; driver <= 10; ++driver) {
        const HeaderLayout* l = header_layout(driver);
        ASSERT_NE(l, nullptr);
        EXPECT_TRUE(l->word_flags == (driver != 2));
        EXPECT_LE(2 + 32, l->records) << "flags overlap the records, driver " << driver;
        EXPECT_LE(l->records + 96, l->size) << "records leave the header, driver " << driver;
    }
}

TEST(UnitHeader, StoringAndClearingTouchOnlyFlagsAndRecords) {
    for (int32_t driver : {2, 5}) {
        const HeaderLayout& layout = *header_layout(driver);
        UnitHeader header(layout);
        for (int32_t i = 0; i < header.size(); ++i)
            header.bytes()[i] = static_cast<uint8_t>(i * 7 + 1);
        const UnitHeader before = header;
        const int32_t stride = layout.word_flags ? 2 : 1;

        header.store_directory(sample());
        for (int32_t k = 0; k < 16; ++k)
            EXPECT_EQ(header.has_table_flag(k), k < 3)
                << "driver " << driver << " channel " << k + 1;
        Directory d;
        header.read_directory(d);
        EXPECT_EQ(d.table_count, 2);
        EXPECT_EQ(d.channel_map[2], 1);

        for (int32_t i = 0; i < header.size(); ++i) {
            const bool flag = i >= 2 && i < 2 + 16 * stride && (i - 2) % stride == 0;
            const bool record = i >= layout.records && i < layout.records + 96;
            if (flag) {
                EXPECT_EQ(header.bytes()[i] & ~0x04, before.bytes()[i] & ~0x04) << "byte " << i;
            } else if (!record) {
                EXPECT_EQ(header.bytes()[i], before.bytes()[i])
                    << "driver " << driver << " byte " << i;
            }
        }

        header.clear_tables();
        for (int32_t k = 0; k < 16; ++k)
            EXPECT_FALSE(header.has_table_flag(k));
        EXPECT_EQ(bytes(header.bytes() + layout.records, 96), Bytes(96, 0));
        header.read_directory(d);
        EXPECT_EQ(d.table_count, 0);
    }
}
