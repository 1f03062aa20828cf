#include "encoding/arj_tab.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tgm;
using tgm::test::bytes;
using tgm::test::group;
using tgm::test::line;
using tgm::test::points;
using tgm::test::table;

namespace {

using Bytes = std::vector<uint8_t>;

// What a driver does on a read: a fresh image of the type, the directory, then the bytes.
int32_t receive(uint8_t type, const Directory& dir, const Bytes& image, GROUPTAB& out) {
    TArjTab tab(type);
    tab.load_directory(dir);
    if (tab.image_size() != static_cast<int32_t>(image.size()))
        return -1;
    std::copy(image.begin(), image.end(), tab.image());
    return tab.unpack(out);
}

// A group whose content shows whether a failed decode touched it.
GROUPTAB sentinel() { return group({table({1, 2, 3})}); }

} // namespace

TEST(ArjTab, EqualTablesAreStoredOnceWhateverTheirHeaders) {
    PARTAB a = table({100, 150, 210});
    PARTAB b = table({100, 90, 95});
    PARTAB a2 = a;
    a.set_header("one");
    a2.set_header("two");
    TArjTab tab(1);
    tab.pack(group({a, b, a2}));
    const Directory& d = tab.directory();
    EXPECT_EQ(d.table_count, 2);
    EXPECT_EQ(std::vector<int32_t>(d.channel_map, d.channel_map + 4),
              (std::vector<int32_t>{1, 2, 1, 0}));
    EXPECT_EQ(std::vector<int32_t>(d.point_counts, d.point_counts + 3),
              (std::vector<int32_t>{3, 3, 0}));
    EXPECT_EQ(tab.failures(), 0);
    EXPECT_EQ(bytes(tab.image(), tab.image_size()),
              (Bytes{0x64, 0x00, 0x32, 0x00, 0x3C, 0x00, 0x64, 0x00, 0xF6, 0xFF, 0x05, 0x00}));

    GROUPTAB back;
    ASSERT_EQ(tab.unpack(back), 0);
    EXPECT_TRUE(back.equals(group({a, b, a})));
    EXPECT_EQ(back.item(0).header(), "");
}

TEST(ArjTab, GapsBeforeAndAfterTheTables) {
    TArjTab tab(0);
    tab.pack(group({{}, {}, {}, {}, line(5), {}, {}}));
    const Directory& d = tab.directory();
    EXPECT_EQ(std::vector<int32_t>(d.channel_map, d.channel_map + 7),
              (std::vector<int32_t>{0, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(tab.image_size(), 7);

    GROUPTAB back;
    ASSERT_EQ(tab.unpack(back), 0);
    ASSERT_EQ(back.count(), 5); // trailing gaps are not recorded
    for (int32_t k = 0; k < 4; ++k)
        EXPECT_EQ(back.item(k).count(), 0);
    EXPECT_TRUE(back.item(4).equals(line(5)));

    tab.pack(group({{}, {}}));
    EXPECT_EQ(tab.directory().table_count, 0);
    EXPECT_EQ(tab.image_size(), 0);
    back = sentinel();
    ASSERT_EQ(tab.unpack(back), 0);
    EXPECT_EQ(back.count(), 0);
}

TEST(ArjTab, FailuresCountDistinctTablesAndTheImageStaysComplete) {
    const PARTAB bad = table({0, 10, 148}); // second difference 128
    TArjTab tab(0);
    tab.pack(group({bad, line(4), bad}));
    EXPECT_EQ(tab.failures(), 1);
    EXPECT_EQ(tab.image_size(), 5 + 6);
    GROUPTAB back;
    ASSERT_EQ(tab.unpack(back), 0);
    EXPECT_FALSE(back.item(0).equals(bad));

    TArjTab first(1);
    first.pack(group({bad, line(4)}));
    EXPECT_EQ(first.failures(), 0);
    tab.pack(group({line(4)}));
    EXPECT_EQ(tab.failures(), 0) << "pack starts from scratch";
}

TEST(ArjTab, UnknownTypesStoreNothingAndCountEveryTable) {
    for (uint8_t type : {uint8_t{2}, uint8_t{9}, uint8_t{0xFF}}) {
        TArjTab tab(type);
        tab.pack(group({line(3), line(4), line(3)}));
        EXPECT_EQ(tab.image_size(), 0);
        EXPECT_EQ(tab.failures(), 2) << "type " << int(type);
        GROUPTAB back = sentinel();
        EXPECT_EQ(tab.unpack(back), kUnknownCompression);
        EXPECT_TRUE(back.equals(sentinel()));
    }
    EXPECT_EQ(TArjTab(0xFF).compression_type(), -1);
}

TEST(ArjTab, SinglePointTables) {
    // Type 0 cannot describe one point: a packing failure within its 3-byte block.
    TArjTab tab(0);
    tab.pack(group({table({7}), line(3)}));
    EXPECT_EQ(tab.failures(), 1);
    EXPECT_EQ(tab.image_size(), 3 + 5);
    GROUPTAB back = sentinel();
    EXPECT_EQ(tab.unpack(back), kUnknownCompression);
    EXPECT_TRUE(back.equals(sentinel()));

    // Type 1 keeps it.
    TArjTab first(1);
    first.pack(group({table({7}), line(3)}));
    EXPECT_EQ(first.failures(), 0);
    ASSERT_EQ(first.unpack(back), 0);
    EXPECT_TRUE(back.equals(group({table({7}), line(3)})));
}

TEST(ArjTab, TablesLongerThanTheRecordsCountAreRefused) {
    TArjTab tab(1);
    tab.pack(group({line(65535, 0, 0), line(65536, 0, 0), line(3)}));
    EXPECT_EQ(tab.failures(), 1);
    EXPECT_EQ(tab.image_size(), 0);

    tab.pack(group({line(65535, 0, 0)}));
    EXPECT_EQ(tab.failures(), 0);
    EXPECT_EQ(tab.image_size(), 2 * 65535);
}

TEST(ArjTab, DirectoryAndImageTravelApart) {
    const GROUPTAB g = group({line(10), {}, table({5, 6, 8, 11})});
    TArjTab tab(0);
    tab.pack(g);
    Directory dir;
    tab.store_directory(dir);

    TArjTab empty(0);
    empty.load_directory(dir);
    EXPECT_EQ(empty.image_size(), tab.packed_size());
    EXPECT_EQ(bytes(empty.image(), empty.image_size()),
              Bytes(static_cast<std::size_t>(tab.image_size()), 0));

    GROUPTAB back;
    ASSERT_EQ(receive(0, dir, bytes(tab.image(), tab.image_size()), back), 0);
    EXPECT_TRUE(back.equals(g));

    // Read with the other type the sizes disagree with what was sent.
    EXPECT_EQ(receive(1, dir, bytes(tab.image(), tab.image_size()), back), -1);
}

TEST(ArjTab, DamagedDirectoriesAreRefusedWithoutTouchingTheGroup) {
    TArjTab good(1);
    good.pack(group({line(3), line(4, 1)}));
    Directory base;
    good.store_directory(base);
    const Bytes image = bytes(good.image(), good.image_size());

    struct Damage {
        const char* what;
        void (*apply)(Directory&);
    };
    const Damage damages[] = {
        {"table count above 16", [](Directory& d) { d.table_count = 17; }},
        {"negative table count", [](Directory& d) { d.table_count = -1; }},
        {"negative point count", [](Directory& d) { d.point_counts[1] = -4; }},
        {"point count above 65535", [](Directory& d) { d.point_counts[0] = 0x40000000; }},
        {"channel names a missing table", [](Directory& d) { d.channel_map[5] = 3; }},
        {"channel names table -1", [](Directory& d) { d.channel_map[15] = -1; }},
    };
    for (const Damage& damage : damages) {
        Directory dir = base;
        damage.apply(dir);
        TArjTab tab(1);
        tab.load_directory(dir);
        EXPECT_EQ(tab.image_size(), 0) << damage.what;
        GROUPTAB back = sentinel();
        EXPECT_EQ(tab.unpack(back), kUnknownCompression) << damage.what;
        EXPECT_TRUE(back.equals(sentinel())) << damage.what;
    }

    // An image shorter than its directory says.
    TArjTab tab(1);
    tab.load_directory(base);
    tab.set_size(tab.image_size() - 1);
    GROUPTAB back = sentinel();
    EXPECT_EQ(tab.unpack(back), kUnknownCompression);
    EXPECT_TRUE(back.equals(sentinel()));

    // A second-difference directory entry of one point.
    Directory one = base;
    one.table_count = 1;
    one.point_counts[0] = 1;
    one.point_counts[1] = 0;
    one.channel_map[1] = 0;
    EXPECT_EQ(receive(0, one, Bytes(3, 0), back), kUnknownCompression);
    EXPECT_EQ(receive(1, one, Bytes(2, 0), back), 0);
}

TEST(ArjTab, ConvertAndCompare) {
    const GROUPTAB g = group({line(20), table({3, 4, 6}), line(20)});
    TArjTab first(1), second(0), direct(0);
    first.pack(g);
    direct.pack(g);
    ASSERT_EQ(second.convert_from(first), 0);
    EXPECT_TRUE(second.same_as(direct));
    EXPECT_FALSE(second.same_as(first)); // same directory, other blocks

    TArjTab other(0);
    other.pack(group({line(20), table({3, 4, 7}), line(20)}));
    EXPECT_FALSE(other.same_as(direct)); // same directory, one byte differs
    other.pack(group({line(20), table({3, 4, 6})}));
    EXPECT_FALSE(other.same_as(direct)); // same blocks, channel 3 unmapped

    TArjTab broken(5);
    broken.load_directory(direct.directory());
    EXPECT_EQ(second.convert_from(broken), kUnknownCompression);
    EXPECT_TRUE(second.same_as(direct)) << "a failed conversion leaves the image";
}
