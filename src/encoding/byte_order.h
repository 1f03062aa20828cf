#pragma once
// Little-endian fields of the unit's images and records, whatever the host's byte order.
#include <cstdint>

namespace tgm::le {

// Stores the low 16 bits of v.
inline void put16(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
}

inline void put32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}

inline uint16_t get16u(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline int16_t get16s(const uint8_t* p) { return static_cast<int16_t>(get16u(p)); }

inline int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
                                (uint32_t{p[3]} << 24));
}

} // namespace tgm::le
