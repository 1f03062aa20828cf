#pragma once
// The K-protocol master: owns the port, the reply buffer, the traffic text and the exchange
// engine, and runs plain and guarded exchanges.
#include "k_protocol/kdrt.h"
#include "ports/numbered_port.h"
#include "support/data.h"

#include <atomic>
#include <string>

namespace tgm {

class KMASTER {
public:
    // Handshake words of the guarded exchange.
    static constexpr uint16_t kHandshakeRepeat = 0x1234;
    static constexpr uint16_t kHandshakeEcho = 0x5577;
    static constexpr uint8_t kAbort = 15;

    KMASTER() = default;
    KMASTER(const KMASTER&) = delete;
    KMASTER& operator=(const KMASTER&) = delete;

    // Opens at 9600 Bd, 8 data bits, even parity, one stop bit.
    bool open(int32_t port, uint32_t answer_timeout);
    void close();
    bool exchange(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count, int direction);
    bool exchange_new(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                      int direction);
    // Handshake, parameter block and transfer; on any failure the abort command is sent.
    bool guarded_exchange(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                          int direction);

    // Drops what the unit still sends until the line is quiet (LinePort::wait_until_quiet).
    LinePort::Quiet wait_until_quiet(uint32_t quiet_ms, uint32_t cap_ms, int64_t cap_bytes,
                                     const std::atomic<bool>* cancel) {
        return port_.wait_until_quiet(quiet_ms, cap_ms, cap_bytes, cancel);
    }

    uint32_t status() const { return drt.status; }
    // The status the unit gave the first step of the last guarded exchange (6 when that step
    // failed on the line): a unit that lacks a command may refuse it before the handshake.
    uint32_t first_step_status() const { return first_step_status_; }
    DATA& reply() { return reply_; }
    const std::string& traffic_text() const { return traffic_; }

    void set_answer_timeout(uint32_t ms) { drt.answer_timeout = ms; }
    void set_trace_enabled(bool on) { drt.trace_enabled = on ? 1 : 0; }
    void set_cancel_flag(const std::atomic<bool>* flag) {
        drt.cancel_flag = flag;
        port_.set_cancel_flag(flag);
    }
    void set_progress_cell(std::atomic<int32_t>* cell) { drt.progress_cell = cell; }
    void set_worst_time_cell(std::atomic<int32_t>* cell) { drt.worst_time_cell = cell; }

    // The engine is reachable for the timings and buffers of the last exchange.
    const KDRT& engine() const { return drt; }

private:
    bool read_word(uint8_t code, uint8_t sub, uint16_t& word);
    bool accepted(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count, int direction);

    // The port and the reply come first: the engine keeps references to them.
    NumberedPort port_;
    DATA reply_;
    std::string traffic_;
    uint32_t first_step_status_ = 0;
    KDRT drt{port_, reply_, 100};
};

} // namespace tgm
