#include "support/data.h"

#include <gtest/gtest.h>

#include <cstring>

using tgm::DATA;

TEST(Data, GrowthKeepsContentsOnAppendButNotOnSetSize) {
    DATA d;
    EXPECT_EQ(d.capacity(), 0);
    d.append("abc", 3);
    EXPECT_EQ(d.size(), 3);
    EXPECT_EQ(d.capacity(), 103); // 100 bytes of headroom
    d.append_byte('d');
    EXPECT_EQ(d.capacity(), 103);
    EXPECT_EQ(std::memcmp(d.bytes(), "abcd", 4), 0);

    d.set_size(2); // shrinking keeps the block
    EXPECT_EQ(d.capacity(), 103);
    d.set_size(50); // within the capacity: contents kept
    EXPECT_EQ(d.byte_at(0), 'a');
    d.set_size(200); // past the capacity: a fresh block with headroom
    EXPECT_EQ(d.capacity(), 300);
    EXPECT_EQ(d.size(), 200);
}

TEST(Data, ByteAtOutsideTheBufferIsZero) {
    DATA d;
    d.assign("xy", 2);
    EXPECT_EQ(d.byte_at(-1), 0);
    EXPECT_EQ(d.byte_at(2), 0);
    EXPECT_EQ(d.byte_at(1), 'y');
}

TEST(Data, EqualityAndDeepCopies) {
    DATA a, b;
    EXPECT_TRUE(a.equals(b)); // two empty buffers
    a.assign("hello", 5);
    b = a;
    EXPECT_TRUE(a.equals(b));
    b.bytes()[0] = 'j';
    EXPECT_FALSE(a.equals(b));
    EXPECT_EQ(a.byte_at(0), 'h');
    b.assign("hell", 4);
    EXPECT_FALSE(a.equals(b));
    a.fill_zero(3);
    EXPECT_EQ(a.size(), 3);
    EXPECT_EQ(a.byte_at(2), 0);
    a.clear();
    EXPECT_EQ(a.capacity(), 0);
    EXPECT_EQ(a.size(), 0);
}

TEST(Data, ReserveFreshAndKeep) {
    DATA d;
    d.assign("abc", 3);
    d.reserve_keep(500);
    EXPECT_EQ(d.capacity(), 500);
    EXPECT_EQ(d.byte_at(2), 'c');
    d.reserve_fresh(100); // already large enough: nothing happens
    EXPECT_EQ(d.capacity(), 500);
    EXPECT_EQ(d.byte_at(0), 'a');
}
