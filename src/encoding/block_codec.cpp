#include "encoding/block_codec.h"

#include "encoding/byte_order.h"

#include <cstring>

namespace tgm {
namespace {

// Rebuilding points wraps modulo 2^32 as the unit does; a damaged block must not overflow.
int32_t wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

bool short_block(std::span<const uint8_t> block, int32_t size) {
    return block.size() < static_cast<std::size_t>(size);
}

struct MethodCodec {
    int32_t (*size)(int32_t n);
    BlockResult (*pack)(uint8_t* cursor, const PARTAB& table);
    int32_t (*unpack)(std::span<const uint8_t> block, PARTAB& table);
};

// The layout of a method, or nullptr for a method without one.
const MethodCodec* codec_of(int32_t method) {
    static constexpr MethodCodec second{second_diff_size, pack_second_diff, unpack_second_diff};
    static constexpr MethodCodec first{first_diff_size, pack_first_diff, unpack_first_diff};
    static constexpr MethodCodec raw{raw_size, pack_raw, unpack_raw};
    switch (method) {
    case kMethodSecondDiff: return &second;
    case kMethodFirstDiff: return &first;
    case kMethodRaw: return &raw;
    default: return nullptr;
    }
}

} // namespace

bool known_method(int32_t method) { return codec_of(method) != nullptr; }

int32_t body_size(int32_t method, int32_t n) {
    const MethodCodec* codec = codec_of(method);
    return codec ? codec->size(n) : 0;
}

bool fits_second_diff(const PARTAB& table, PARTAB& scratch) {
    return table.count() >= 2 && table.check_second_diff(scratch);
}

BlockResult pack_second_diff(uint8_t* cursor, const PARTAB& table) {
    const int32_t n = table.count();
    const int32_t size = second_diff_size(n);
    PARTAB d;
    const bool passed = fits_second_diff(table, d);
    if (n < 2) {
        // Too short for the two leading words: keep inside the block and report the failure.
        std::memset(cursor, 0, static_cast<std::size_t>(size));
        return {size, false};
    }
    le::put16(cursor, d.point(0));
    le::put16(cursor + 2, d.point(1));
    for (int32_t i = 2; i < n; ++i)
        cursor[2 + i] = static_cast<uint8_t>(d.point(i));
    return {size, passed};
}

BlockResult pack_first_diff(uint8_t* cursor, const PARTAB& table) {
    const int32_t n = table.count();
    PARTAB d;
    const bool passed = table.check_first_diff(d);
    for (int32_t i = 0; i < n; ++i)
        le::put16(cursor + 2 * i, d.point(i));
    return {first_diff_size(n), passed};
}

BlockResult pack_raw(uint8_t* cursor, const PARTAB& table) {
    const int32_t n = table.count();
    for (int32_t i = 0; i < n; ++i)
        le::put32(cursor + 4 * i, table.point(i));
    return {raw_size(n), true};
}

BlockResult pack_body(int32_t method, uint8_t* cursor, const PARTAB& table) {
    const MethodCodec* codec = codec_of(method);
    return codec ? codec->pack(cursor, table) : BlockResult{0, false};
}

int32_t unpack_second_diff(std::span<const uint8_t> block, PARTAB& table) {
    const int32_t n = table.count();
    const int32_t size = second_diff_size(n);
    if (n < 2 || short_block(block, size))
        return -1;
    const uint8_t* p = block.data();
    int32_t* v = table.points();
    int32_t step = le::get16s(p + 2);
    v[0] = le::get16s(p);
    v[1] = wrap_add(v[0], step);
    for (int32_t i = 2; i < n; ++i) {
        step = wrap_add(step, static_cast<int8_t>(p[2 + i]));
        v[i] = wrap_add(v[i - 1], step);
    }
    return size;
}

int32_t unpack_first_diff(std::span<const uint8_t> block, PARTAB& table) {
    const int32_t n = table.count();
    const int32_t size = first_diff_size(n);
    if (short_block(block, size))
        return -1;
    const uint8_t* p = block.data();
    int32_t* v = table.points();
    for (int32_t i = 0; i < n; ++i)
        v[i] = i == 0 ? le::get16s(p) : wrap_add(v[i - 1], le::get16s(p + 2 * i));
    return size;
}

int32_t unpack_raw(std::span<const uint8_t> block, PARTAB& table) {
    const int32_t n = table.count();
    const int32_t size = raw_size(n);
    if (short_block(block, size))
        return -1;
    for (int32_t i = 0; i < n; ++i)
        table.point(i) = le::get32(block.data() + 4 * i);
    return size;
}

int32_t unpack_body(int32_t method, std::span<const uint8_t> block, PARTAB& table) {
    const MethodCodec* codec = codec_of(method);
    return codec ? codec->unpack(block, table) : -1;
}

} // namespace tgm
