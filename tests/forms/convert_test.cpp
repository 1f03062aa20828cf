#include "forms/convert.h"

#include "forms/form_kind.h"
#include "forms/line.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tgm;

namespace {

FORMA f1_table(const std::vector<std::pair<std::string, std::string>>& points) {
    FORMA f;
    f.make_empty(kFormF1);
    for (const auto& [level, volume] : points)
        f.add_point(level, volume);
    return f;
}

std::vector<int32_t> values(const PARTAB& t) {
    return std::vector<int32_t>(t.points(), t.points() + t.count());
}

using Values = std::vector<int32_t>;

// The resampling exactly as first written down: a bubble sort and, for every output level, a
// search from the first point. Kept here to prove the fast version gives the same numbers.
bool reference_level_pairs(const FORMA& f, std::vector<int32_t>& out) {
    struct P {
        int32_t level, volume;
    };
    const int32_t n = f.point_count();
    if (n < 2)
        return false;
    std::vector<P> p(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        p[i].level = std::stoi(std::string(f.level_text(i))) / 10;
        p[i].volume = std::stoi(std::string(f.volume_text(i)));
    }
    for (int32_t sorted = 0; sorted < n - 1; ++sorted)
        for (int32_t j = n - 1; j > sorted; --j)
            if (p[j].level < p[j - 1].level)
                std::swap(p[j], p[j - 1]);
    auto fp = [](const P& q) {
        return FormPoint{static_cast<float>(q.level), static_cast<float>(q.volume)};
    };
    const LINE lower = make_line(FormPoint{0, 0}, fp(p[0]));
    const LINE upper = make_line(fp(p[n - 2]), fp(p[n - 1]));
    const int32_t m = p[n - 1].level / 10 + 2;
    out.assign(static_cast<std::size_t>(m), 0);
    for (int32_t i = 0; i < m; ++i) {
        const int32_t x = 10 * i;
        int32_t v = 0;
        if (x < p[0].level) {
            if (!line_value(lower, static_cast<float>(x), v))
                return false;
        } else if (x > p[n - 1].level) {
            if (upper.vertical)
                v = p[n - 1].volume;
            else if (!line_value(upper, static_cast<float>(x), v))
                return false;
        } else {
            for (int32_t j = 0; j < n; ++j) {
                if (p[j].level == x) {
                    v = p[j].volume;
                    break;
                }
                if (p[j].level > x) {
                    if (!line_value(make_line(fp(p[j - 1]), fp(p[j])), static_cast<float>(x), v))
                        return false;
                    break;
                }
            }
        }
        out[i] = v;
    }
    return true;
}

} // namespace

TEST(Convert, IntegerAndCubicKinds) {
    FORMA f;
    f.make_empty(kFormFs2);
    for (const char* v : {"0", "5", "-3"})
        f.add_point("", v);
    PARTAB t;
    ASSERT_TRUE(convert_table(f, t));
    EXPECT_EQ(values(t), (Values{0, 5, -3}));
    f.set_volume_text(2, "2147483648");
    EXPECT_FALSE(convert_table(f, t));
    f.set_volume_text(2, "");
    EXPECT_FALSE(convert_table(f, t));

    FORMA c;
    c.make_empty(kFormFs31);
    for (const char* v : {"0", "1.234", "2,5", "0.0005"})
        c.add_point("", v);
    ASSERT_TRUE(convert_table(c, t));
    EXPECT_EQ(values(t), (Values{0, 1234, 2500, 0}));

    FORMA none;
    EXPECT_FALSE(convert_table(none, t)); // kind 0
}

TEST(Convert, LevelPairsWorkedExample) {
    PARTAB t;
    ASSERT_TRUE(convert_table(f1_table({{"100", "50"}, {"300", "150"}}), t));
    EXPECT_EQ(values(t), (Values{0, 50, 100, 150, 200}));
    // Descending order gives the same result.
    ASSERT_TRUE(convert_table(f1_table({{"300", "150"}, {"100", "50"}}), t));
    EXPECT_EQ(values(t), (Values{0, 50, 100, 150, 200}));
    // Tenths of a millimetre are truncated: 109 is 10 mm, as 100 is.
    ASSERT_TRUE(convert_table(f1_table({{"109", "50"}, {"309", "150"}}), t));
    EXPECT_EQ(values(t), (Values{0, 50, 100, 150, 200}));
}

TEST(Convert, LevelPairsEdges) {
    PARTAB t;
    // -15 counts as -1 mm: the only points lie below 0, so both outputs come from the upper line.
    ASSERT_TRUE(convert_table(f1_table({{"-15", "0"}, {"-5", "10"}}), t));
    EXPECT_EQ(t.count(), 2);
    // Two highest points at one level: the last output takes the last point's volume.
    ASSERT_TRUE(convert_table(f1_table({{"100", "40"}, {"200", "70"}, {"200", "90"}}), t));
    EXPECT_EQ(values(t), (Values{0, 40, 70, 90}));
    // Points of one level keep their file order: the first match supplies the value.
    ASSERT_TRUE(convert_table(f1_table({{"100", "41"}, {"100", "42"}, {"300", "80"}}), t));
    EXPECT_EQ(t.point(1), 41);
    // Fewer than two points, a missing volume, a bad level, or too many output points fail.
    EXPECT_FALSE(convert_table(f1_table({{"100", "5"}}), t));
    EXPECT_FALSE(convert_table(f1_table({{"100", "5"}, {"200", ""}}), t));
    EXPECT_FALSE(convert_table(f1_table({{"1x", "5"}, {"200", "1"}}), t));
    EXPECT_FALSE(convert_table(f1_table({{"0", "0"}, {"6553500", "1"}}), t));
    EXPECT_TRUE(convert_table(f1_table({{"0", "0"}, {"6553300", "1"}}), t));
    EXPECT_EQ(t.count(), 65535);
    EXPECT_FALSE(convert_table(f1_table({{"-300", "0"}, {"-250", "1"}}), t)); // no output point
    // An extrapolation beyond the 32-bit range is a failure, not a wrapped number.
    EXPECT_FALSE(
        convert_table(f1_table({{"0", "0"}, {"10", "2000000000"}, {"30", "2140000000"}}), t));
}

TEST(Convert, LevelPairsMatchTheStraightforwardMethodOnRandomTables) {
    std::mt19937 rng(20261208);
    PARTAB t;
    std::vector<int32_t> expected;
    for (int round = 0; round < 400; ++round) {
        const int n = 2 + static_cast<int>(rng() % 60);
        std::vector<std::pair<std::string, std::string>> pts;
        const int spread = 1 + static_cast<int>(rng() % 30000);
        for (int i = 0; i < n; ++i) {
            // Repeated levels are common on purpose: they test the stable order.
            const int level = static_cast<int>(rng() % spread) - (round % 5 == 0 ? 200 : 0);
            const int volume = static_cast<int>(rng() % 200000) - 1000;
            pts.emplace_back(std::to_string(level), std::to_string(volume));
        }
        const FORMA f = f1_table(pts);
        const bool ref_ok = reference_level_pairs(f, expected);
        const bool ok = convert_table(f, t);
        ASSERT_EQ(ok, ref_ok) << "round " << round;
        if (ok) {
            ASSERT_EQ(values(t), expected) << "round " << round;
        }
    }
}

TEST(Convert, LineRoundsSlopeToSinglePrecision) {
    const LINE l = make_line(FormPoint{0, 0}, FormPoint{3, 1});
    EXPECT_EQ(l.slope, 1.0f / 3.0f);
    int32_t v = 0;
    ASSERT_TRUE(line_value(l, 2, v));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(line_value(make_line(FormPoint{0, 0}, FormPoint{2, -3}), 1, v));
    EXPECT_EQ(v, -1); // truncation toward zero, not floor
    EXPECT_FALSE(line_value(make_line(FormPoint{5, 1}, FormPoint{5, 2}), 5, v));
}
