#include "encoding/arj_tab.h"
#include "encoding/trp_tab.h"
#include "encoding/wtrp_tab.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tgm;
using tgm::test::bytes;
using tgm::test::group;
using tgm::test::line;
using tgm::test::table;

namespace {

using Bytes = std::vector<uint8_t>;

// A plain TTrpTab of a type, ready to pack.
TTrpTab plain(uint8_t type) { return TTrpTab(type, ExtDirectory{}); }

GROUPTAB sentinel() { return group({table({1, 2, 3})}); }

// The sender's image received block by block under a type.
int32_t receive_blocks(const TTrpTab& sent, uint8_t type, GROUPTAB& out) {
    ExtDirectory dir;
    sent.store_directory(dir);
    TTrpTab tab(type, dir);
    return tgm::test::copy_blocks(sent, tab) ? tab.unpack(out) : -1;
}

} // namespace

TEST(TrpTab, TypeThreeBlocksCarryAHeader) {
    TTrpTab tab = plain(3);
    tab.pack(group({table({100, 150, 210})}));
    EXPECT_EQ(bytes(tab.image(), tab.image_size()),
              (Bytes{0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0x64, 0x00, 0x32, 0x00, 0x0A}));

    TWTrpTab raw;
    raw.set_mode(3);
    raw.pack(group({table({70000, 70001})}));
    EXPECT_EQ(raw.directory().methods[0], 9);
    EXPECT_EQ(bytes(raw.image(), raw.image_size()), (Bytes{9, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0x70, 0x11,
                                                           0x01, 0x00, 0x71, 0x11, 0x01, 0x00}));
    EXPECT_EQ(raw.failures(), 0);
}

TEST(TrpTab, BlockOffsetsFollowEachTablesMethod) {
    PARTAB falling(100);
    for (int32_t i = 0; i < 100; ++i)
        falling.point(i) = 20000 - 7 * i;
    TWTrpTab tab;
    tab.set_mode(2);
    tab.pack(group({line(100), falling}));
    EXPECT_EQ(tab.directory().methods[0], 0);
    EXPECT_EQ(tab.directory().methods[1], 1);
    EXPECT_EQ(tab.block_size(0), 112);
    EXPECT_EQ(tab.block_offset(1), 112);
    EXPECT_EQ(tab.packed_size(), 322);
    EXPECT_EQ(tab.image_size(), 322);
    EXPECT_EQ(tab.image()[112], 1) << "second block's method word";

    GROUPTAB back;
    ASSERT_EQ(receive_blocks(tab, 3, back), 0);
    EXPECT_TRUE(back.equals(group({line(100), falling})));
}

TEST(TrpTab, PlainTrpTabUsesMethodZeroForEveryTable) {
    TTrpTab tab = plain(3);
    tab.pack(group({line(3), table({100, 90, 80})}));
    EXPECT_EQ(tab.directory().methods[1], 0);
    EXPECT_EQ(tab.failures(), 1); // the falling table does not fit second differences
}

TEST(TrpTab, TypesZeroAndOneAreTheOlderUnitsBlocks) {
    const GROUPTAB g = group({line(30), {}, table({5, 9, 12, 14}), line(30)});
    for (uint8_t type : {uint8_t{0}, uint8_t{1}}) {
        TTrpTab trp = plain(type);
        TArjTab arj(type);
        trp.pack(g);
        arj.pack(g);
        EXPECT_EQ(bytes(trp.image(), trp.image_size()), bytes(arj.image(), arj.image_size()));
        EXPECT_EQ(std::memcmp(&trp.directory().dir, &arj.directory(), sizeof(Directory)), 0);
        GROUPTAB back;
        ASSERT_EQ(receive_blocks(trp, type, back), 0);
        EXPECT_TRUE(back.equals(g));
    }
}

TEST(TrpTab, TypesWithoutLayoutStoreNothing) {
    for (uint8_t type : {uint8_t{2}, uint8_t{4}, uint8_t{200}}) {
        TTrpTab tab = plain(type);
        tab.pack(group({line(3), line(4)}));
        EXPECT_EQ(tab.image_size(), 0) << "type " << int(type);
        EXPECT_EQ(tab.failures(), 2) << "nothing was stored for either table";
        GROUPTAB back = sentinel();
        EXPECT_EQ(tab.unpack(back), kUnknownCompression);
        EXPECT_TRUE(back.equals(sentinel()));
    }
    TTrpTab none;
    EXPECT_EQ(none.compression_type(), 4);
    none.pack(group({{}}));
    EXPECT_EQ(none.failures(), 0);
    GROUPTAB back = sentinel();
    EXPECT_EQ(none.unpack(back), 0);
    EXPECT_EQ(back.count(), 0);
}

TEST(TrpTab, UndecodableTypeThreeBlocksAreRefused) {
    TWTrpTab sent;
    sent.set_mode(3);
    sent.pack(group({line(5), table({100, 90, 80}), table({70000, 1})}));
    ASSERT_EQ(sent.failures(), 0);
    EXPECT_EQ(std::vector<int>(sent.directory().methods, sent.directory().methods + 3),
              (std::vector<int>{0, 1, 9}));
    ExtDirectory dir;
    sent.store_directory(dir);
    const Bytes image = bytes(sent.image(), sent.image_size());

    const auto decode = [](const ExtDirectory& d, const Bytes& img) {
        TTrpTab tab(3, d);
        std::memcpy(tab.image(), img.data(), std::min<std::size_t>(img.size(), tab.image_size()));
        tab.set_size(std::min<int32_t>(tab.image_size(), static_cast<int32_t>(img.size())));
        GROUPTAB back = sentinel();
        const int32_t code = tab.unpack(back);
        EXPECT_TRUE(code == 0 || back.equals(sentinel()));
        return code;
    };
    ASSERT_EQ(decode(dir, image), 0);

    // The block header names another method than the directory that sized the block.
    Bytes swapped = image;
    swapped[static_cast<std::size_t>(sent.block_offset(1))] = 0;
    EXPECT_EQ(decode(dir, swapped), kUnknownCompression);

    // The directory names a method without a layout.
    ExtDirectory unknown = dir;
    unknown.methods[2] = 5;
    EXPECT_EQ(decode(unknown, image), kUnknownCompression);

    // A second-difference block of one point.
    ExtDirectory one = dir;
    one.dir.point_counts[0] = 1;
    EXPECT_EQ(decode(one, image), kUnknownCompression);

    // The image ends inside the last block.
    EXPECT_EQ(decode(dir, Bytes(image.begin(), image.end() - 1)), kUnknownCompression);
}

TEST(TrpTab, BlockArithmeticStaysInsideTheDirectory) {
    TTrpTab tab = plain(3);
    EXPECT_EQ(tab.block_size(-1), 0);
    EXPECT_EQ(tab.block_size(16), 0);
    EXPECT_EQ(tab.block_offset(100), tab.block_offset(16));

    ExtDirectory huge{};
    huge.dir.table_count = 16;
    for (int32_t& n : huge.dir.point_counts)
        n = 0x7FFFFFFF;
    TTrpTab big(3, huge);
    EXPECT_EQ(big.image_size(), 0);
    huge.dir.table_count = 1;
    huge.dir.point_counts[0] = 65535;
    huge.methods[0] = 9;
    TTrpTab largest(3, huge);
    EXPECT_EQ(largest.image_size(), 10 + 4 * 65535);
}
