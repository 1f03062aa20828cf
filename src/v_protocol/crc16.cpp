#include "v_protocol/crc16.h"

namespace tgm {

uint16_t crc16(const uint8_t* bytes, int32_t count, uint16_t crc) {
    for (int32_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

} // namespace tgm
