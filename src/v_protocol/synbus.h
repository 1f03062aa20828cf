#pragma once
// The V-protocol frame record: request and answer headers, the shared data bytes and the
// outcome of the last exchange. A concrete driver supplies put and get.
#include <cstdint>

namespace tgm {

struct FrameHeader {
    uint32_t address = 0;
    uint8_t length = 0; // number of data bytes
    uint8_t spare = 0;
    uint16_t crc = 0;
};

class SYNBUS {
public:
    // Most data bytes a frame carries.
    static constexpr int kMaxLength = 128;

    virtual ~SYNBUS() = default;
    virtual void put(int32_t count, const uint8_t* bytes) = 0;
    // Reads count bytes into buffer; returns the frame status (0 when all arrived).
    virtual int32_t get(int32_t count, uint8_t* buffer) = 0;

    FrameHeader request;
    FrameHeader answer;
    bool addressed = true;
    // The request being sent and, after the exchange, the answer.
    uint8_t data[131] = {};
    int32_t status = 0;
};

} // namespace tgm
