#pragma once
// The K protocol's line checksum: a one-byte XOR.
#include <cstdint>

namespace tgm {

uint8_t xor_sum(const uint8_t* bytes, int32_t count, uint8_t start = 0);

} // namespace tgm
