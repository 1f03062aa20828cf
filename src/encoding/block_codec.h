#pragma once
// The per-table blocks that every packed image is made of: second differences (method 0),
// first differences (method 1) and raw points (method 9). Little-endian, no padding.
#include "model/partab.h"

#include <cstdint>
#include <span>

namespace tgm {

inline constexpr int32_t kMethodSecondDiff = 0;
inline constexpr int32_t kMethodFirstDiff = 1;
inline constexpr int32_t kMethodRaw = 9;

struct BlockResult {
    int32_t size; // bytes written
    bool passed;  // false: the block holds truncated values and will not decode to the table
};

inline int32_t second_diff_size(int32_t n) { return n + 2; }
inline int32_t first_diff_size(int32_t n) { return 2 * n; }
inline int32_t raw_size(int32_t n) { return 4 * n; }
bool known_method(int32_t method);
// Body bytes of a method's block; 0 for a method without a layout.
int32_t body_size(int32_t method, int32_t n);

// The second-difference test as a block needs it: the block's two leading words take two
// points, so a shorter table never fits.
bool fits_second_diff(const PARTAB& table, PARTAB& scratch);

// Encoders write body_size(method, count) bytes at the cursor, which the caller has room for.
BlockResult pack_second_diff(uint8_t* cursor, const PARTAB& table);
BlockResult pack_first_diff(uint8_t* cursor, const PARTAB& table);
BlockResult pack_raw(uint8_t* cursor, const PARTAB& table);
// A method without a layout writes nothing and does not pass.
BlockResult pack_body(int32_t method, uint8_t* cursor, const PARTAB& table);

// Decoders fill all count() points of a table already resized, from the front of `block`.
// They return the bytes used, or -1 when the block is shorter than the table needs or cannot
// describe it (a second-difference block of fewer than two points, an unknown method).
int32_t unpack_second_diff(std::span<const uint8_t> block, PARTAB& table);
int32_t unpack_first_diff(std::span<const uint8_t> block, PARTAB& table);
int32_t unpack_raw(std::span<const uint8_t> block, PARTAB& table);
int32_t unpack_body(int32_t method, std::span<const uint8_t> block, PARTAB& table);

} // namespace tgm
