#pragma once
// The V protocol's line checksum: CRC-16 with the reflected polynomial 0xA001 from 0xFFFF, no
// final XOR.
#include <cstdint>

namespace tgm {

uint16_t crc16(const uint8_t* bytes, int32_t count, uint16_t crc = 0xFFFF);

} // namespace tgm
