#pragma once
// A byte stream with exact-count transfers and the little-endian serialisations of tgm.cfg.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tgm {

class pstream {
public:
    virtual ~pstream() = default;
    // Both move exactly n bytes; a short transfer is a failure (false).
    virtual bool write(const void* p, std::size_t n) = 0;
    virtual bool read(void* p, std::size_t n) = 0;

    bool write_int32(int32_t v);
    bool read_int32(int32_t& v);
    bool write_byte(uint8_t b);
    bool read_byte(uint8_t& b);
    // 32-bit little-endian length, then the bytes without terminator.
    bool write_text(const std::string& text);
    // Fails on a length above max_length, so a damaged length never allocates without bound.
    bool read_text(std::string& text, uint32_t max_length = 65536);
};

} // namespace tgm
