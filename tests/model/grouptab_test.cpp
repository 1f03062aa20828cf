#include "model/grouptab.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

using tgm::GROUPTAB;
using tgm::PARTAB;
using tgm::test::line;

TEST(Grouptab, SixteenSlotLimit) {
    GROUPTAB g;
    for (int i = 0; i < 16; ++i)
        g.add_copy(line(3, i, 1));
    EXPECT_EQ(g.count(), 16);
    g.add_copy(line(3, 99, 1));
    g.add_empty();
    EXPECT_EQ(g.count(), 16);
    EXPECT_EQ(g.item(15).point(0), 15);
}

TEST(Grouptab, EqualityByCountAndSlots) {
    GROUPTAB a, b;
    EXPECT_TRUE(a.equals(b));
    for (int i = 0; i < 3; ++i) {
        a.add_copy(line(4, i, 1));
        b.add_copy(line(4, i, 1));
    }
    b.item(1).set_header("other header");
    EXPECT_TRUE(a.equals(b));
    b.add_copy(line(4, 3, 1));
    EXPECT_FALSE(a.equals(b)); // three never equal four
    a.add_empty();
    EXPECT_FALSE(a.equals(b)); // a gap matches only a gap
    b.item(3).clear_points();
    EXPECT_TRUE(a.equals(b));
}

TEST(Grouptab, ResetAndAddEmptyKeepHeaders) {
    GROUPTAB g;
    PARTAB t = line(2, 0, 1);
    t.set_header("tank");
    g.add_copy(t);
    g.reset();
    EXPECT_EQ(g.count(), 0);
    g.add_empty();
    EXPECT_EQ(g.item(0).count(), 0);
    EXPECT_EQ(g.item(0).header(), "tank");
}

TEST(Grouptab, CopiesAreDeep) {
    GROUPTAB a;
    a.add_copy(line(5, 10, 1));
    GROUPTAB b = a;
    b.item(0).point(0) = -7;
    EXPECT_EQ(a.item(0).point(0), 10);
}
