#include "render/graph_range.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

using namespace tgm;

namespace {

// 400 pixels across, 280 up.
GraphRange range_on_plot() {
    GraphRange r;
    r.plot = PlotArea{40, 440, 300, 20};
    return r;
}

} // namespace

TEST(GraphRange, WidthAroundTheCursorIsPushedInsideTheTable) {
    const PARTAB t = test::line(100, 0, 10);
    const struct {
        int32_t cursor, first, last;
    } cases[] = {{3, 0, 20}, {95, 79, 99}, {50, 40, 60}};
    for (const auto& c : cases) {
        GraphRange r = range_on_plot();
        ASSERT_TRUE(r.set_range(t, c.cursor, 20)) << c.cursor;
        EXPECT_EQ(r.first_level, c.first) << c.cursor;
        EXPECT_EQ(r.last_level, c.last) << c.cursor;
        EXPECT_EQ(r.span, 20);
        EXPECT_TRUE(r.zoomed);
        // A part starts at its own lowest volume; the whole table starts at 0.
        EXPECT_EQ(r.volume_low, 10 * c.first);
        EXPECT_EQ(r.volume_high, 10 * c.last);
        EXPECT_EQ(r.x_scale, 20.0f);
        EXPECT_FLOAT_EQ(r.y_scale, -280.0f / 200);
    }
    GraphRange whole = range_on_plot();
    ASSERT_TRUE(whole.set_range(t, 50, 100));
    EXPECT_EQ(whole.first_level, 0);
    EXPECT_EQ(whole.last_level, 99);
    EXPECT_FALSE(whole.zoomed);
    EXPECT_EQ(whole.volume_low, 0);
    EXPECT_EQ(whole.scroll_position(), 49);
    EXPECT_EQ(whole.small_step(), 33);
}

TEST(GraphRange, NoLevelSpanOrNoVolumeSpanLeavesTheRangeAsItWas) {
    // Ten empty centimetres at the bottom, then rising.
    PARTAB t = test::line(40, -100, 10);
    for (int32_t i = 0; i < 10; ++i)
        t.point(i) = 0;
    GraphRange r = range_on_plot();
    ASSERT_TRUE(r.set_range(t, 30, 10));
    const GraphRange before = r;
    EXPECT_FALSE(r.set_range(t, 30, 0)); // half of a span of 1
    EXPECT_FALSE(r.set_range(t, 4, 6));  // all volumes 0
    EXPECT_FALSE(r.set_range(test::line(1), 0, 10));
    EXPECT_TRUE(r.same_view(before));
    EXPECT_TRUE(r.zoomed);
    EXPECT_EQ(r.x_scale, before.x_scale);
}

TEST(GraphRange, LevelUnderAPixelColumn) {
    GraphRange r = range_on_plot();
    EXPECT_EQ(r.level_at(200), -1);                    // nothing shown yet
    ASSERT_TRUE(r.set_range(test::line(100), 20, 20)); // levels 10 ... 30, 20 pixels each
    EXPECT_EQ(r.level_at(-5), 10);
    EXPECT_EQ(r.level_at(40), 10);
    EXPECT_EQ(r.level_at(440), 30);
    EXPECT_EQ(r.level_at(900), 30);
    // Each level owns the columns from half a step before its own to half a step after.
    EXPECT_EQ(r.level_at(50), 10);
    EXPECT_EQ(r.level_at(51), 11);
    EXPECT_EQ(r.level_at(70), 11);
    EXPECT_EQ(r.level_at(71), 12);
    EXPECT_EQ(r.level_at(439), 30);
    EXPECT_EQ(r.x_of(12), 80);
}

TEST(GraphRange, PixelsAreTruncatedTowardZeroAndHeldInsideTheIntegerRange) {
    EXPECT_EQ(pixel_of(52.9f), 52);
    EXPECT_EQ(pixel_of(-3.7f), -3);
    EXPECT_EQ(pixel_of(1e30f), 1 << 20);
    EXPECT_EQ(pixel_of(-1e30f), -(1 << 20));
}
