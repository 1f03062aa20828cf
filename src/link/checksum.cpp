#include "link/checksum.h"

namespace tgm {

uint8_t xor_sum(const uint8_t* bytes, int32_t count, uint8_t start) {
    for (int32_t i = 0; i < count; ++i)
        start ^= bytes[i];
    return start;
}

uint16_t crc16(const uint8_t* bytes, int32_t count, uint16_t crc) {
    for (int32_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

} // namespace tgm
