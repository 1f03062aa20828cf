#include "encoding/block_codec.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace tgm;
using tgm::test::bytes;
using tgm::test::points;
using tgm::test::table;

namespace {

using Bytes = std::vector<uint8_t>;

// Packs with a guard byte after the block, so a write past its size shows.
Bytes pack(int32_t method, const PARTAB& t, bool* passed = nullptr) {
    const int32_t size = body_size(method, t.count());
    Bytes out(static_cast<std::size_t>(size) + 1, 0xEE);
    const BlockResult r = pack_body(method, out.data(), t);
    EXPECT_EQ(r.size, size);
    EXPECT_EQ(out.back(), 0xEE) << "wrote past the block";
    out.pop_back();
    if (passed)
        *passed = r.passed;
    return out;
}

std::vector<int32_t> unpack(int32_t method, const Bytes& block, int32_t n,
                            int32_t* used = nullptr) {
    PARTAB t(n);
    const int32_t u = unpack_body(method, block, t);
    if (used)
        *used = u;
    return u < 0 ? std::vector<int32_t>{} : points(t);
}

} // namespace

TEST(BlockCodec, WorkedExamplesAreByteExactAndDecodeBack) {
    bool passed = false;
    EXPECT_EQ(pack(kMethodSecondDiff, table({100, 150, 210}), &passed),
              (Bytes{0x64, 0x00, 0x32, 0x00, 0x0A}));
    EXPECT_TRUE(passed);
    EXPECT_EQ(unpack(kMethodSecondDiff, {0x64, 0x00, 0x32, 0x00, 0x0A}, 3),
              (std::vector<int32_t>{100, 150, 210}));

    EXPECT_EQ(pack(kMethodFirstDiff, table({100, 90, 95}), &passed),
              (Bytes{0x64, 0x00, 0xF6, 0xFF, 0x05, 0x00}));
    EXPECT_TRUE(passed);
    EXPECT_EQ(unpack(kMethodFirstDiff, {0x64, 0x00, 0xF6, 0xFF, 0x05, 0x00}, 3),
              (std::vector<int32_t>{100, 90, 95}));

    EXPECT_EQ(pack(kMethodRaw, table({70000, -2}), &passed),
              (Bytes{0x70, 0x11, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(passed);
    EXPECT_EQ(unpack(kMethodRaw, {0x70, 0x11, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}, 2),
              (std::vector<int32_t>{70000, -2}));
}

TEST(BlockCodec, OutOfRangeValuesAreStoredTruncatedAndReported) {
    bool passed = true;
    // Second difference 128 becomes the byte 0x80, which reads back as -128.
    const Bytes block = pack(kMethodSecondDiff, table({0, 10, 148}), &passed);
    EXPECT_FALSE(passed);
    EXPECT_EQ(block, (Bytes{0x00, 0x00, 0x0A, 0x00, 0x80}));
    EXPECT_EQ(unpack(kMethodSecondDiff, block, 3), (std::vector<int32_t>{0, 10, -108}));

    // A start value above 32767 keeps its low 16 bits.
    EXPECT_EQ(pack(kMethodFirstDiff, table({40000, 40001}), &passed),
              (Bytes{0x40, 0x9C, 0x01, 0x00}));
    EXPECT_FALSE(passed);
    EXPECT_FALSE(pack_body(5, nullptr, table({1, 2})).passed);
}

TEST(BlockCodec, SinglePointTables) {
    // Too short for the two leading words of a second-difference block: zeroed, refused, and
    // a block that claims one point does not decode.
    bool passed = true;
    EXPECT_EQ(pack(kMethodSecondDiff, table({7}), &passed), (Bytes{0, 0, 0}));
    EXPECT_FALSE(passed);
    int32_t used = 0;
    unpack(kMethodSecondDiff, {7, 0, 0, 0}, 1, &used);
    EXPECT_EQ(used, -1);
    unpack(kMethodSecondDiff, {0, 0}, 0, &used);
    EXPECT_EQ(used, -1);

    // First differences and raw points describe one point fine.
    EXPECT_EQ(pack(kMethodFirstDiff, table({7}), &passed), (Bytes{7, 0}));
    EXPECT_TRUE(passed);
    EXPECT_EQ(unpack(kMethodFirstDiff, {7, 0}, 1), (std::vector<int32_t>{7}));
    EXPECT_EQ(unpack(kMethodRaw, {7, 0, 0, 0}, 1), (std::vector<int32_t>{7}));
}

TEST(BlockCodec, DecodersRefuseShortBlocksAndUnknownMethods) {
    const Bytes full = {0x64, 0x00, 0xF6, 0xFF, 0x05, 0x00, 0x01, 0x00};
    for (int32_t method : {kMethodSecondDiff, kMethodFirstDiff, kMethodRaw}) {
        const int32_t n = 2;
        const int32_t size = body_size(method, n);
        int32_t used = 0;
        unpack(method, Bytes(full.begin(), full.begin() + size), n, &used);
        EXPECT_EQ(used, size) << "method " << method;
        unpack(method, Bytes(full.begin(), full.begin() + size - 1), n, &used);
        EXPECT_EQ(used, -1) << "method " << method;
    }
    int32_t used = 0;
    unpack(4, full, 2, &used);
    EXPECT_EQ(used, -1);
    EXPECT_EQ(body_size(4, 100), 0);
    EXPECT_FALSE(known_method(2));
    EXPECT_TRUE(known_method(kMethodRaw));
}

TEST(BlockCodec, DecodingExtremeStepsWrapsLikeTheUnit) {
    // Largest start, first step and second differences over the longest table a record counts:
    // the running sums leave 32 bits and must wrap, not overflow.
    const int32_t n = 65535;
    Bytes block(static_cast<std::size_t>(second_diff_size(n)), 0x7F);
    block[0] = 0xFF;
    block[1] = 0x7F;
    block[2] = 0xFF;
    block[3] = 0x7F;
    PARTAB t(n);
    ASSERT_EQ(unpack_second_diff(block, t), n + 2);
    uint32_t v = 32767, step = 32767;
    for (int32_t i = 1; i < n; ++i) {
        if (i >= 2)
            step += 127;
        v += step;
        ASSERT_EQ(t.point(i), static_cast<int32_t>(v)) << "point " << i;
    }

    Bytes words(static_cast<std::size_t>(first_diff_size(n)), 0xFF);
    words[1] = 0x80; // start -32513, then -1 per point
    ASSERT_EQ(unpack_first_diff(words, t), 2 * n);
    EXPECT_EQ(t.point(n - 1), -32513 - (n - 1));
}
