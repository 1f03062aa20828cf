// Random groups through the whole byte layer: pack, the unit's records, directory, unpack.
#include "encoding/arj_tab.h"
#include "encoding/directory_record.h"
#include "encoding/unit_header.h"
#include "encoding/wtrp_tab.h"

#include "testing/tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

using namespace tgm;
using tgm::test::copy_blocks;

namespace {

class RandomGroups {
public:
    explicit RandomGroups(uint32_t seed) : rng_(seed) {}

    GROUPTAB next() {
        GROUPTAB g;
        const int32_t channels = pick(1, 16);
        for (int32_t k = 0; k < channels; ++k) {
            const int32_t roll = pick(0, 99);
            if (roll < 15) {
                g.add_empty();
            } else if (roll < 35 && k > 0 && g.item(pick(0, k - 1)).count() > 0) {
                g.add_copy(g.item(pick(0, k - 1)));
            } else {
                g.add_copy(table());
            }
        }
        return g;
    }

private:
    int32_t pick(int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng_);
    }

    // A value from [lo, hi]; in an edgy table now and then one at or just beyond a limit.
    int32_t near(int32_t lo, int32_t hi) {
        if (!edgy_ || pick(0, 19) != 0)
            return pick(lo, hi);
        const int32_t edges[] = {lo, hi, lo - 1, hi + 1};
        return edges[pick(0, 3)];
    }

    PARTAB table() {
        const int32_t n = pick(0, 299) == 0 ? pick(60000, 65535) : pick(2, 120);
        PARTAB t(n);
        edgy_ = pick(0, 3) == 0;
        const int32_t roll = pick(0, 9);
        const int32_t kind = roll < 5 ? 0 : roll < 7 ? 1 : roll < 8 ? 2 : 3;
        uint32_t v = static_cast<uint32_t>(near(0, 32767));
        uint32_t step = static_cast<uint32_t>(kind == 0 ? near(0, 32767) : near(-32768, 32767));
        for (int32_t i = 0; i < n; ++i) {
            t.point(i) = static_cast<int32_t>(v);
            switch (kind) {
            case 0: // smooth: small second differences
                v += step;
                step += static_cast<uint32_t>(near(-128, 127));
                break;
            case 1: // any first differences, falling and rising
                v += step;
                step = static_cast<uint32_t>(near(-32768, 32767));
                break;
            case 2: // flat
                break;
            default: // anything at all
                v = static_cast<uint32_t>(
                    std::uniform_int_distribution<int64_t>(INT32_MIN, INT32_MAX)(rng_));
            }
        }
        return t;
    }

    std::mt19937 rng_;
    bool edgy_ = false;
};

// The group as a unit gives it back: trailing gaps are not recorded.
GROUPTAB without_trailing_gaps(const GROUPTAB& g) {
    int32_t last = g.count() - 1;
    while (last >= 0 && g.item(last).count() == 0)
        --last;
    GROUPTAB out;
    for (int32_t k = 0; k <= last; ++k)
        g.item(k).count() == 0 ? out.add_empty() : out.add_copy(g.item(k));
    return out;
}

::testing::AssertionResult same_points(const GROUPTAB& expected, const GROUPTAB& back) {
    if (!back.equals(expected))
        return ::testing::AssertionFailure()
               << "points differ (counts " << expected.count() << " and " << back.count() << ")";
    for (int32_t k = 0; k < back.count(); ++k)
        if (back.item(k).count() > 0 && !back.item(k).header().empty())
            return ::testing::AssertionFailure()
                   << "channel " << k + 1 << " came back with a header";
    return ::testing::AssertionSuccess();
}

// An older unit: the directory travels in a directory record (853/960) or a header (the rest).
int32_t through_arj(const TArjTab& sent, uint8_t type, int32_t driver, GROUPTAB& back) {
    Directory dir;
    sent.store_directory(dir);
    Directory read{};
    uint8_t read_type = type;
    if (const HeaderLayout* layout = header_layout(driver)) {
        UnitHeader header(*layout);
        header.store_directory(dir);
        header.read_directory(read);
    } else {
        DirectoryRecord record;
        record.store(dir, type);
        record.read_directory(read);
        read_type = record.type_byte();
    }
    TArjTab received(read_type);
    received.load_directory(read);
    EXPECT_EQ(received.image_size(), sent.image_size());
    if (received.image_size() != sent.image_size())
        return -1;
    if (sent.image_size() > 0)
        std::memcpy(received.image(), sent.image(), static_cast<std::size_t>(sent.image_size()));
    return received.unpack(back);
}

// The newest unit: directory record with methods, type-3 images block by block.
int32_t through_trp(const TTrpTab& sent, GROUPTAB& back) {
    ExtDirectory dir;
    sent.store_directory(dir);
    DirectoryRecord record;
    record.store(dir, sent.compression_type());
    ExtDirectory read;
    uint8_t type = 0;
    if (const int32_t code = record.read_directory(read, type); code != 0)
        return code;
    TTrpTab received(type, read);
    return copy_blocks(sent, received) ? received.unpack(back) : -1;
}

} // namespace

TEST(RoundTrip, RandomGroupsComeBackWheneverTheyPacked) {
    RandomGroups groups(20261208);
    constexpr int32_t kGroups = 3000;
    // Packed without failures, per path: Arj 0, Arj 1, Trp modes 0 to 3.
    int32_t packed[6] = {};
    for (int32_t iteration = 0; iteration < kGroups; ++iteration) {
        const GROUPTAB g = groups.next();
        const GROUPTAB expected = without_trailing_gaps(g);
        for (uint8_t type : {uint8_t{0}, uint8_t{1}}) {
            TArjTab sent(type);
            sent.pack(g);
            ASSERT_EQ(sent.image_size(), sent.packed_size());
            if (sent.failures() != 0)
                continue;
            ++packed[type];
            // Header drivers take type 0 only; the record drivers take both.
            const int32_t driver = type == 0 ? 2 + iteration % 10 : 12;
            GROUPTAB back;
            ASSERT_EQ(through_arj(sent, type, driver, back), 0) << "iteration " << iteration;
            ASSERT_TRUE(same_points(expected, back))
                << "iteration " << iteration << " type " << int(type);
        }
        for (uint8_t mode = 0; mode <= 3; ++mode) {
            TWTrpTab sent;
            sent.set_mode(mode);
            sent.pack(g);
            ASSERT_EQ(sent.image_size(), sent.packed_size());
            if (sent.failures() != 0)
                continue;
            ++packed[2 + mode];
            GROUPTAB back;
            ASSERT_EQ(through_trp(sent, back), 0) << "iteration " << iteration;
            ASSERT_TRUE(same_points(expected, back))
                << "iteration " << iteration << " mode " << int(mode);
        }
    }
    // Every path must really have been taken; mode 3 fits every table of at most 65535 points,
    // which is all the generator makes.
    for (int32_t path = 0; path < 6; ++path)
        EXPECT_GT(packed[path], kGroups / 10) << "path " << path;
    EXPECT_EQ(packed[5], kGroups);
}
