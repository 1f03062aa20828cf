#include "k_protocol/checksum.h"

namespace tgm {

uint8_t xor_sum(const uint8_t* bytes, int32_t count, uint8_t start) {
    for (int32_t i = 0; i < count; ++i)
        start ^= bytes[i];
    return start;
}

} // namespace tgm
