#include "forms/table_crc.h"

#include "support/crc32.h"

namespace tgm {

uint32_t table_crc(const PARTAB& table) {
    // Byte by byte, so that the value does not depend on the machine's byte order.
    uint32_t crc = 0;
    for (int32_t i = 0; i < table.count(); ++i) {
        const auto v = static_cast<uint32_t>(table.point(i));
        const unsigned char le[4] = {
            static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        crc = crc32(le, sizeof le, crc);
    }
    return crc;
}

std::string crc_text(uint32_t crc) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int k = 7; k >= 0; --k, crc >>= 4)
        text[static_cast<std::size_t>(k)] = kDigits[crc & 0xF];
    return text;
}

} // namespace tgm
