#pragma once
// The two line checksums: a one-byte XOR (K protocol) and CRC-16 with the reflected
// polynomial 0xA001 from 0xFFFF, no final XOR (V protocol).
#include <cstdint>

namespace tgm {

uint8_t xor_sum(const uint8_t* bytes, int32_t count, uint8_t start = 0);
uint16_t crc16(const uint8_t* bytes, int32_t count, uint16_t crc = 0xFFFF);

} // namespace tgm
