#include "support/pstream.h"

namespace tgm {

bool pstream::write_int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                          static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    return write(b, 4);
}

bool pstream::read_int32(int32_t& v) {
    uint8_t b[4];
    if (!read(b, 4))
        return false;
    const uint32_t u =
        b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
    v = static_cast<int32_t>(u);
    return true;
}

bool pstream::write_byte(uint8_t b) { return write(&b, 1); }

bool pstream::read_byte(uint8_t& b) { return read(&b, 1); }

bool pstream::write_text(const std::string& text) {
    return write_int32(static_cast<int32_t>(text.size())) &&
           (text.empty() || write(text.data(), text.size()));
}

bool pstream::read_text(std::string& text, uint32_t max_length) {
    int32_t length = 0;
    if (!read_int32(length) || static_cast<uint32_t>(length) > max_length)
        return false;
    std::string buffer(static_cast<std::size_t>(length), '\0');
    if (length > 0 && !read(buffer.data(), buffer.size()))
        return false;
    text = std::move(buffer);
    return true;
}

} // namespace tgm
