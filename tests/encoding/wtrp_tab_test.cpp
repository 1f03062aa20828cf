#include "encoding/wtrp_tab.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

using namespace tgm;
using tgm::test::group;
using tgm::test::line;
using tgm::test::table;

namespace {

const PARTAB kFalling = table({100, 90, 80});   // first differences only
const PARTAB kSteep = table({0, 40000, 40001}); // no difference form: raw points only

} // namespace

TEST(WTrpTab, ModeSetsTypeAndMethodChoice) {
    TWTrpTab tab;
    EXPECT_EQ(tab.mode(), 4);
    EXPECT_EQ(tab.compression_type(), 4);

    struct Case {
        uint8_t mode, type;
        int32_t line_method, falling_method, steep_method;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}, {2, 3, 0, 1, 1},
        {3, 3, 0, 1, 9}, {4, 3, 0, 0, 0}, {9, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        tab.set_mode(c.mode);
        EXPECT_EQ(tab.compression_type(), c.type) << "mode " << int(c.mode);
        EXPECT_EQ(tab.choose_method(line(10)), c.line_method) << "mode " << int(c.mode);
        EXPECT_EQ(tab.choose_method(kFalling), c.falling_method) << "mode " << int(c.mode);
        EXPECT_EQ(tab.choose_method(kSteep), c.steep_method) << "mode " << int(c.mode);
    }
    // One point never fits the second-difference block.
    tab.set_mode(3);
    EXPECT_EQ(tab.choose_method(table({7})), 1);
}

TEST(WTrpTab, Fits) {
    EXPECT_TRUE(TWTrpTab::fits(line(3), 0));
    EXPECT_FALSE(TWTrpTab::fits(kFalling, 0));
    EXPECT_TRUE(TWTrpTab::fits(kFalling, 1));
    EXPECT_FALSE(TWTrpTab::fits(table({7}), 0));
    EXPECT_TRUE(TWTrpTab::fits(table({7}), 1));
    EXPECT_FALSE(TWTrpTab::fits(line(3), 9));
    EXPECT_FALSE(TWTrpTab::fits(kSteep, 1));
}

TEST(WTrpTab, FallbackForUnitsUpToTypeTwo) {
    for (int32_t h : {-1, 0, 2}) {
        TWTrpTab tab;
        EXPECT_TRUE(tab.pack_with_fallback(group({line(5), line(6)}), h));
        EXPECT_EQ(tab.compression_type(), 0) << "h " << h;

        EXPECT_TRUE(tab.pack_with_fallback(group({line(5), kFalling}), h));
        EXPECT_EQ(tab.compression_type(), 1) << "h " << h;
        EXPECT_EQ(tab.image_size(), 2 * 5 + 2 * 3);

        EXPECT_FALSE(tab.pack_with_fallback(group({line(5), kSteep}), h));
        EXPECT_EQ(tab.compression_type(), 1) << "the last attempt stays";
        EXPECT_EQ(tab.failures(), 1);
    }
}

TEST(WTrpTab, FallbackForTypeThreeUnits) {
    TWTrpTab tab;
    EXPECT_TRUE(tab.pack_with_fallback(group({line(5), kFalling}), 3));
    EXPECT_EQ(tab.mode(), 2);
    EXPECT_EQ(tab.compression_type(), 3);
    EXPECT_EQ(tab.directory().methods[0], 0);
    EXPECT_EQ(tab.directory().methods[1], 1);

    EXPECT_FALSE(tab.pack_with_fallback(group({line(5), kSteep}), 3));
    EXPECT_EQ(tab.failures(), 1);
}

TEST(WTrpTab, FallbackForUnitsAboveTypeThree) {
    TWTrpTab tab;
    EXPECT_TRUE(tab.pack_with_fallback(group({table({0, 40000}), kFalling}), 4));
    EXPECT_EQ(tab.mode(), 3);
    EXPECT_EQ(tab.directory().methods[0], 9);
    EXPECT_EQ(tab.directory().methods[1], 1);

    // Only a table the records cannot count defeats mode 3; mode 2 is tried and fails too.
    EXPECT_FALSE(tab.pack_with_fallback(group({line(65536, 0, 0)}), 7));
    EXPECT_EQ(tab.mode(), 2);
    EXPECT_EQ(tab.image_size(), 0);
}
