#include "model/grouptab.h"

#include <gtest/gtest.h>

using tgm::GROUPTAB;
using tgm::PARTAB;

namespace {

PARTAB table(int32_t n, int32_t start) {
    PARTAB t(n);
    for (int32_t i = 0; i < n; ++i)
        t.point(i) = start + i;
    return t;
}

} // namespace

TEST(Grouptab, SixteenSlotLimit) {
    GROUPTAB g;
    for (int i = 0; i < 16; ++i)
        g.add_copy(table(3, i));
    EXPECT_EQ(g.count(), 16);
    g.add_copy(table(3, 99));
    g.add_empty();
    EXPECT_EQ(g.count(), 16);
    EXPECT_EQ(g.item(15).point(0), 15);
}

TEST(Grouptab, EqualityByCountAndSlots) {
    GROUPTAB a, b;
    EXPECT_TRUE(a.equals(b));
    for (int i = 0; i < 3; ++i) {
        a.add_copy(table(4, i));
        b.add_copy(table(4, i));
    }
    b.item(1).set_header("other header");
    EXPECT_TRUE(a.equals(b));
    b.add_copy(table(4, 3));
    EXPECT_FALSE(a.equals(b)); // three never equal four
    a.add_empty();
    EXPECT_FALSE(a.equals(b)); // a gap matches only a gap
    b.item(3).clear_points();
    EXPECT_TRUE(a.equals(b));
}

TEST(Grouptab, ResetAndAddEmptyKeepHeaders) {
    GROUPTAB g;
    PARTAB t = table(2, 0);
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
    a.add_copy(table(5, 10));
    GROUPTAB b = a;
    b.item(0).point(0) = -7;
    EXPECT_EQ(a.item(0).point(0), 10);
}
