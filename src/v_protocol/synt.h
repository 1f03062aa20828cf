#pragma once
// The V-protocol frame driver on a serial port: one request frame out, one answer frame in,
// in normal framing (0x15 and acknowledge bytes) or addressed framing.
#include "ports/line_port.h"
#include "support/data.h"
#include "v_protocol/synbus.h"

#include <atomic>

namespace tgm {

class SYNT : public SYNBUS {
public:
    // Frame statuses.
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kPortError = 1;
    static constexpr int32_t kCrcError = 2;
    static constexpr int32_t kTimeout = 3;
    static constexpr int32_t kCancelled = 4;
    static constexpr int32_t kNotAcknowledged = 5;
    static constexpr int32_t kForeignAddress = 6;
    static constexpr int32_t kTooLong = 7; // an answer length above 128
    static constexpr uint8_t kRequestByte = 0x15;
    static constexpr uint32_t kPause = 6;

    explicit SYNT(LinePort& port) : port(port) {}

    void put(int32_t count, const uint8_t* bytes) override;
    int32_t get(int32_t count, uint8_t* buffer) override;
    // Sends request.length bytes of data to `address` and reads the answer into data.
    int32_t exchange(uint32_t address);

    LinePort& port;
    const std::atomic<bool>* cancel_flag = nullptr;
    std::atomic<int32_t>* max_wait_out = nullptr;
    bool handshake = false;
    DATA sent;
    DATA received;
    int32_t first_byte_timeout = 1000;
    int32_t next_byte_timeout = 50;
    int32_t max_wait = 0;

private:
    int32_t line_allowance_ = 0; // line time of the bytes sent last
    int32_t read_one(int32_t timeout, uint8_t& byte);
    // Writes what put() gathered since `from` in one port write.
    void send_from(int32_t from);
    int32_t read_acknowledge();
    // The answer's length, data and CRC; `prefix` holds the answer address bytes, if any.
    int32_t read_body(const uint8_t* prefix, int32_t prefix_length);
};

} // namespace tgm
