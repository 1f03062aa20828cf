#include "model/partab.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>

using tgm::PARTAB;
using tgm::test::table;

TEST(Partab, EqualityIgnoresHeaderButNotCount) {
    PARTAB a = table({1, 2, 3});
    PARTAB b = table({1, 2, 3});
    a.set_header("first");
    b.set_header("second");
    EXPECT_TRUE(a.equals(b));
    PARTAB c = table({1, 2});
    EXPECT_FALSE(a.equals(c));
    b.point(2) = 4;
    EXPECT_FALSE(a.equals(b));
}

TEST(Partab, CopyAndClearPoints) {
    PARTAB a = table({5, 6});
    a.set_header("h");
    PARTAB b;
    b.copy_from(a);
    EXPECT_TRUE(b.equals(a));
    EXPECT_EQ(b.header(), "h");
    b.clear_points();
    EXPECT_EQ(b.count(), 0);
    EXPECT_EQ(b.size(), 0);
    EXPECT_EQ(b.header(), "h");
}

TEST(Partab, StraightLinePassesSecondDifferenceTest) {
    PARTAB t(101);
    for (int32_t i = 0; i <= 100; ++i)
        t.point(i) = 10 * i;
    PARTAB out;
    EXPECT_TRUE(t.check_second_diff(out));
    ASSERT_EQ(out.count(), 101);
    EXPECT_EQ(out.point(0), 0);
    EXPECT_EQ(out.point(1), 10);
    EXPECT_EQ(out.point(100), 0);
}

TEST(Partab, RangesOfTheEncodabilityTests) {
    PARTAB out;
    EXPECT_FALSE(table({-1, 0}).check_second_diff(out));
    EXPECT_FALSE(table({-1, 0}).check_first_diff(out));

    // 32768 does not fit the first step of the second-difference layout nor a signed word.
    EXPECT_FALSE(table({0, 32768}).check_second_diff(out));
    EXPECT_FALSE(table({0, 32768}).check_first_diff(out));
    EXPECT_TRUE(table({0, 32767}).check_second_diff(out));

    // Falling tables: out[1] negative fails the second-difference test only.
    EXPECT_FALSE(table({100, 90, 80}).check_second_diff(out));
    EXPECT_EQ(out.point(1), -10);
    EXPECT_TRUE(table({100, 90, 80}).check_first_diff(out));

    // 0, 200, 201: second difference -199 does not fit a signed byte.
    EXPECT_FALSE(table({0, 200, 201}).check_second_diff(out));
    EXPECT_EQ(out.point(2), -199);
    EXPECT_TRUE(table({0, 200, 201}).check_first_diff(out));
    EXPECT_TRUE(table({0, 100, 327}).check_second_diff(out));
    EXPECT_FALSE(table({0, 100, 328}).check_second_diff(out));
    EXPECT_TRUE(table({0, 100, 0 + 100 + 100 - 128}).check_second_diff(out));
    EXPECT_FALSE(table({0, 100, 71}).check_second_diff(out));

    EXPECT_TRUE(table({0, 32767, 0}).check_first_diff(out));
    EXPECT_FALSE(table({0, 32767, -2}).check_first_diff(out));
}

TEST(Partab, TestsKeepGoingAfterAFailureAndWrapWithoutOverflow) {
    PARTAB out;
    PARTAB t = table({INT32_MIN, INT32_MAX, INT32_MIN, 5});
    EXPECT_FALSE(t.check_second_diff(out));
    ASSERT_EQ(out.count(), 4);
    EXPECT_EQ(out.point(0), INT32_MIN);
    EXPECT_EQ(out.point(1), -1); // INT32_MAX - INT32_MIN wraps to -1
    EXPECT_EQ(out.point(2), 2);  // (1) - (-1)
    EXPECT_FALSE(t.check_first_diff(out));
    EXPECT_EQ(out.point(3), static_cast<int32_t>(5u - 0x80000000u));
}
