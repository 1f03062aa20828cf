#include "ports/traffic_line.h"

namespace tgm {

void append_byte_dump(std::string& out, const DATA& bytes) {
    static const char digits[] = "0123456789abcdef";
    for (int32_t i = 0; i < bytes.size(); ++i) {
        const uint8_t b = bytes.bytes()[i];
        if (b >= 16)
            out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
}

void append_traffic_line(std::string& out, uint32_t wait_ms, const DATA& sent,
                         const DATA& received) {
    out += '#';
    out += std::to_string(wait_ms);
    out += " >";
    append_byte_dump(out, sent);
    out += " <";
    append_byte_dump(out, received);
}

} // namespace tgm
