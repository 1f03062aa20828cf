#pragma once
// One K-protocol exchange on the wire: command byte, status byte, then a checksummed block in
// one direction, with its timing, progress, cancellation and error bookkeeping.
#include "ports/line_port.h"
#include "ports/timer.h"
#include "support/data.h"

#include <atomic>
#include <cstdint>

namespace tgm {

class KDRT {
public:
    // Transfer directions.
    static constexpr int kNone = 0;
    static constexpr int kRead = 1;
    static constexpr int kWrite = 2;
    // Per-byte wait for reply data and the reply checksum.
    static constexpr uint32_t kByteTimeout = 50;
    // Least pause between the end of one exchange and the start of the next.
    static constexpr int32_t kGap = 100;
    // Error kinds of a failed byte read.
    static constexpr int32_t kPortError = 1; // a port error, a closed port or a cancellation
    static constexpr int32_t kBadChecksum = 2;
    static constexpr int32_t kTimedOut = 3;
    // A failed exchange's result is its error kind plus the offset of the phase that failed.
    static constexpr int32_t kStatusPhase = 0;      // the status byte: 1, 3
    static constexpr int32_t kFinalStatusPhase = 4; // the final status after a write: 5, 7
    static constexpr int32_t kReplyPhase = 9; // reply data: 10, 11, 12; 9 cancelled between bytes

    KDRT(LinePort& port, DATA& reply, uint32_t answer_timeout);
    virtual ~KDRT() = default;
    KDRT(const KDRT&) = delete;
    KDRT& operator=(const KDRT&) = delete;

    // Runs one exchange and returns its result (0 success; error kind plus phase offset).
    virtual int32_t exchange(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                             int direction);

    LinePort& port;
    DATA& reply;
    TIMER gap_timer{0};
    // When gap_timer was last started, on the link clock's finest reading.
    uint64_t gap_start_us = 0;
    std::atomic<int32_t>* progress_cell = nullptr;
    const std::atomic<bool>* cancel_flag = nullptr;
    std::atomic<int32_t>* worst_time_cell = nullptr;
    int32_t error_kind = 0; // 0 or one of the error kinds above
    DATA sent;
    DATA received;
    uint32_t status = 0; // kLinkFailure after a failed exchange
    int32_t result = 0;
    uint32_t answer_timeout;
    uint32_t status_ms = 0;
    uint32_t final_status_ms = 0;
    uint32_t byte_ms = 0;
    uint8_t trace_enabled = 0;

private:
    bool cancelled() const;
    // Returns once gap_timer has expired and its length has passed on the finest reading too.
    void wait_gap();
    // Reads one byte; returns 0, kPortError or kTimedOut.
    int read_one(uint32_t timeout, uint8_t& byte, uint32_t& latency);
    // A reply data or checksum byte: 50 ms, latency into byte_ms, failure into error_kind.
    bool read_reply_byte(uint8_t& byte);
    void read_block(int32_t count);
    void write_block(const uint8_t* buffer, int32_t count);
};

} // namespace tgm
