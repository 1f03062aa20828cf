#pragma once
// Building tables and groups for the encoding tests, and receiving images as a driver does.
#include "encoding/trp_tab.h"
#include "model/grouptab.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace tgm::test {

inline PARTAB table(std::initializer_list<int32_t> values) {
    PARTAB t(static_cast<int32_t>(values.size()));
    int32_t i = 0;
    for (int32_t v : values)
        t.point(i++) = v;
    return t;
}

// n points rising by `step`: fits every layout while the values stay small.
inline PARTAB line(int32_t n, int32_t start = 0, int32_t step = 10) {
    PARTAB t(n);
    for (int32_t i = 0; i < n; ++i)
        t.point(i) = start + i * step;
    return t;
}

// Channels in order; a table without points is a gap.
inline GROUPTAB group(std::initializer_list<PARTAB> tables) {
    GROUPTAB g;
    for (const PARTAB& t : tables)
        t.count() == 0 ? g.add_empty() : g.add_copy(t);
    return g;
}

inline std::vector<uint8_t> bytes(const uint8_t* p, int32_t n) {
    return n > 0 ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>{};
}

inline std::vector<int32_t> points(const PARTAB& t) {
    return std::vector<int32_t>(t.points(), t.points() + t.count());
}

// A type-3 read: each block of the sent image into the receiver at the receiver's own offset,
// one block at a time. False when the two images disagree on their size.
inline bool copy_blocks(const TTrpTab& sent, TTrpTab& received) {
    if (received.image_size() != sent.image_size())
        return false;
    for (int32_t i = 0; i < received.directory().dir.table_count; ++i)
        if (received.block_size(i) > 0)
            std::memcpy(received.image() + received.block_offset(i),
                        sent.image() + sent.block_offset(i),
                        static_cast<std::size_t>(received.block_size(i)));
    return true;
}

} // namespace tgm::test
