#include "render/vgraf.h"

#include "editor_tables.h"

#include <QImage>
#include <gtest/gtest.h>
#include <set>

using namespace tgm;
using namespace tgm::test;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kCursorGreen = qRgb(0, 128, 0); // inverted over white

struct Graph {
    Graph(int width, int height, bool control)
        : image(width, height, QImage::Format_RGB32), graph(&image) {
        graph.reset_view(control);
    }
    void show(const FORMA& table, int32_t mode = VGRAF::kSecondDiff) {
        graph.prepare_graph(table, mode);
        graph.redraw_view();
    }
    QImage image;
    VGRAF graph;
};

std::set<int> columns_that_differ(const QImage& a, const QImage& b) {
    std::set<int> columns;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                columns.insert(x);
    return columns;
}

std::set<int> black_in_row(const QImage& image, int y, int from_x) {
    std::set<int> xs;
    for (int x = from_x; x < image.width(); ++x)
        if (image.pixel(x, y) == kBlack)
            xs.insert(x);
    return xs;
}

bool red_in_column(const QImage& image, int x, int from_y, int to_y) {
    for (int y = from_y; y <= to_y; ++y)
        if (image.pixel(x, y) == kRed)
            return true;
    return false;
}

} // namespace

TEST(Vgraf, CurveVerticesAndCursorColumnFollowThePixelRule) {
    // Plot 40 ... 90 across (16.67 px per cm) and 100 ... 20 up (1.25 px per litre).
    Graph g(130, 120, false);
    g.show(index_table({"0", "29", "29", "64"}));
    const QImage at_zero = g.image;
    // Levels 1 and 2 lie at x = 56.67 and 73.33, volume 29 at y = 63.75: the flat stretch
    // between them runs along row 63 from column 56 to 73 (Qt leaves out a line's end pixel).
    const std::set<int> flat = black_in_row(g.image, 63, 45);
    ASSERT_FALSE(flat.empty());
    EXPECT_EQ(*flat.begin(), 56);
    EXPECT_GE(*flat.rbegin(), 72);
    EXPECT_LE(*flat.rbegin(), 73);
    EXPECT_EQ(static_cast<int>(flat.size()), *flat.rbegin() - 56 + 1);
    for (int x = 57; x <= 72; ++x)
        EXPECT_NE(g.image.pixel(x, 64), kBlack) << x;
    EXPECT_EQ(g.graph.cursor_level(), 0);

    // The cursor at level 2: the dashed line leaves column 40 for column 73, between the plot's
    // bottom and top, in the inverted green.
    g.graph.scroll_to(2);
    EXPECT_EQ(columns_that_differ(at_zero, g.image), (std::set<int>{40, 73}));
    int green = 0;
    for (int y = 0; y < 120; ++y) {
        const QRgb c = g.image.pixel(73, y);
        if (c == kCursorGreen) {
            ++green;
            EXPECT_GE(y, 20);
            EXPECT_LE(y, 100);
        }
    }
    EXPECT_GT(green, 20);
    // Drawn again in the inverting mode, it is gone without a trace.
    g.graph.scroll_to(0);
    EXPECT_EQ(g.image, at_zero);
}

TEST(Vgraf, ABandOfTenPixelsMovesTheCursorAndElevenZoom) {
    // 100 levels over 400 pixels: 4.04 px per cm.
    Graph g(480, 300, false);
    const FORMA t = rising_table(100);
    g.show(t);
    g.graph.start_band(100, 50);
    g.graph.drag_band(106, 80);
    const QImage with_band = g.image;
    g.graph.drag_band(110, 120);
    EXPECT_TRUE(g.graph.selecting());
    g.graph.finish_band(110, 120);
    EXPECT_FALSE(g.graph.selecting());
    EXPECT_FALSE(g.graph.zoomed());
    EXPECT_EQ(g.graph.cursor_level(), 16); // under column 105
    // No trace of the band: the same picture as the cursor put there directly.
    Graph direct(480, 300, false);
    direct.show(t);
    direct.graph.scroll_to(16);
    EXPECT_EQ(g.image, direct.image);
    EXPECT_NE(with_band, direct.image);

    g.graph.start_band(100, 50);
    g.graph.drag_band(111, 120);
    g.graph.finish_band(111, 120);
    EXPECT_TRUE(g.graph.zoomed());
    EXPECT_EQ(g.graph.cursor_level(), 16);
    // Width: level 18 under the right edge minus level 15 under the left edge.
    EXPECT_EQ(g.graph.range().first_level, 15);
    EXPECT_EQ(g.graph.range().last_level, 17);
}

TEST(Vgraf, RangeCommandsRefuseWhatShowsNothingAndKeepTheWholeTableWhole) {
    Graph g(480, 300, true);
    const FORMA two = index_table({"0", "100"});
    g.show(two);
    EXPECT_EQ(g.graph.range().span, 1);
    const QImage before = g.image;
    g.graph.narrow_range(); // width 0
    EXPECT_EQ(g.graph.range().span, 1);
    EXPECT_EQ(g.image, before);

    const FORMA t = rising_table(100);
    g.graph.reset_view(true);
    g.show(t);
    g.graph.scroll_to(50); // an even table, whole: an odd width around 50 would drop level 0
    EXPECT_FALSE(g.graph.zoomed());
    g.graph.narrow_range();
    EXPECT_TRUE(g.graph.zoomed());
    EXPECT_EQ(g.graph.range().first_level, 26);
    EXPECT_EQ(g.graph.range().last_level, 74);
    g.graph.narrow_range();
    g.graph.widen_range();
    g.graph.widen_range();
    g.graph.widen_range();
    EXPECT_FALSE(g.graph.zoomed());
    EXPECT_EQ(g.graph.range().last_level, 99);

    // Flat volumes: nothing new is drawn and the cursor line stays where it was.
    g.graph.scroll_to(20);
    g.graph.prepare_graph(index_table({"0", "0", "0"}), VGRAF::kSecondDiff);
    const QImage shown = g.image;
    g.graph.redraw_view();
    EXPECT_EQ(g.image, shown);
}

TEST(Vgraf, ControlTextAndTheDifferenceCurve) {
    Graph off(480, 300, false);
    off.show(index_table({"0", "1.5"}));
    EXPECT_FALSE(off.graph.valid());
    EXPECT_EQ(off.graph.control_text(), "-");
    off.show(index_table({"0", "10"}));
    EXPECT_EQ(off.graph.control_text(), "");

    // Second differences 20 after the start value 0 and the first step 10; 100 px per cm.
    const FORMA t = index_table({"0", "10", "40", "90", "160"});
    Graph g(480, 300, true);
    g.show(t, VGRAF::kSecondDiff);
    EXPECT_EQ(g.graph.control_text(), "OK ");
    // From level 0 the curve starts at level 2, on row 150 - 20 * 220 / 255 = 132.7.
    EXPECT_FALSE(red_in_column(g.image, 140, 41, 259));
    EXPECT_EQ(g.image.pixel(250, 132), kRed);
    EXPECT_NE(g.image.pixel(250, 133), kRed);
    g.show(t, VGRAF::kFirstDiff);
    EXPECT_TRUE(red_in_column(g.image, 140, 41, 259));
    EXPECT_EQ(g.graph.differences().point(4), 70);

    g.show(index_table({"0", "200", "201"}), VGRAF::kSecondDiff);
    EXPECT_EQ(g.graph.control_text(), "OK*");
    g.show(index_table({"-1", "5"}), VGRAF::kSecondDiff);
    EXPECT_EQ(g.graph.control_text(), "OK**");
}

// The second table's volumes widen the shown range; its litres less the first table's run on
// their own scale, the largest difference on the dashed line: 32 px per cm, 2 px per litre.
TEST(Vgraf, ASecondTableIsDrawnOverTheFirstAndItsDifferenceOnAScaleOfItsOwn) {
    const QRgb blue = VGRAF::kOverlayColour;
    Graph g(240, 200, true);
    const FORMA unconverted = index_table({"0", "x"});
    const FORMA second = index_table({"0", "10", "23", "30", "40", "80"});
    EXPECT_FALSE(g.graph.set_overlay(&unconverted, QStringLiteral("b")));
    ASSERT_TRUE(g.graph.set_overlay(&second, QStringLiteral("b")));
    g.show(index_table({"0", "10", "20", "30", "40", "50"}), VGRAF::kFirstDiff);
    EXPECT_EQ(g.graph.range().volume_high, 80);
    // Middle row 100: level 1 (no difference) on it, level 2 (+3) at 94, level 5 (+30) at 40.
    EXPECT_EQ(g.image.pixel(72, 100), blue);
    EXPECT_EQ(g.image.pixel(104, 94), blue);
    EXPECT_NE(g.image.pixel(104, 100), blue);
    EXPECT_EQ(g.image.pixel(200, 40), blue);

    g.graph.set_overlay(nullptr, QString());
    g.graph.redraw_view();
    EXPECT_FALSE(g.graph.has_overlay());
    EXPECT_EQ(g.graph.range().volume_high, 50);
    for (int y = 0; y < g.image.height(); ++y)
        for (int x = 0; x < g.image.width(); ++x)
            ASSERT_NE(g.image.pixel(x, y), blue) << x << "," << y;
}

TEST(Vgraf, ALevelTableIsShownAsItsResampledPoints) {
    Graph g(480, 300, true);
    g.show(level_table({{"300", "150"}, {"100", "50"}}));
    ASSERT_TRUE(g.graph.valid());
    EXPECT_EQ(g.graph.scroll_maximum(), 4);
    EXPECT_EQ(g.graph.range().last_level, 4);
    EXPECT_EQ(g.graph.volumes_table().point(4), 200);
}

TEST(Vgraf, ResizingKeepsTheZoomAndTheCursor) {
    Graph g(480, 300, true);
    g.show(rising_table(200));
    g.graph.scroll_to(120);
    g.graph.narrow_range();
    g.graph.narrow_range();
    const GraphRange before = g.graph.range();
    g.image = QImage(800, 500, QImage::Format_RGB32);
    g.graph.resize_view();
    EXPECT_TRUE(g.graph.zoomed());
    EXPECT_EQ(g.graph.cursor_level(), 120);
    EXPECT_EQ(g.graph.range().first_level, before.first_level);
    EXPECT_EQ(g.graph.range().last_level, before.last_level);
    EXPECT_EQ(g.graph.range().plot.right, 760);
    EXPECT_EQ(g.graph.diff_plot().bottom, 460);
}

// A page draws the editor's 600 x 450 graph on pixels of several dots: the layout is the
// editor's, and the lines are a pixel wide, not a dot.
TEST(Vgraf, APagesFinerImageKeepsTheEditorsGeometryAndThickLines) {
    QImage fine(600 * 4, 450 * 4, QImage::Format_RGB32);
    fine.setDevicePixelRatio(4);
    VGRAF graph(&fine);
    graph.reset_view(true);
    graph.prepare_graph(rising_table(100), VGRAF::kSecondDiff);
    graph.redraw_view();
    graph.hide_cursor();
    Graph editor(600, 450, true);
    editor.show(rising_table(100));
    EXPECT_EQ(graph.range().plot.right, editor.graph.range().plot.right);
    EXPECT_EQ(graph.range().plot.bottom, editor.graph.range().plot.bottom);
    // The level axis at the plot's bottom, 4 dots thick in the middle of the page's image.
    const int axis = graph.range().plot.bottom * 4;
    int thick = 0;
    for (int y = axis - 4; y <= axis + 4; ++y)
        thick += fine.pixel(300 * 4 + 2, y) == kBlack ? 1 : 0;
    EXPECT_GE(thick, 3);
}
