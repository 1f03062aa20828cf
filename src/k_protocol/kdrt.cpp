#include "k_protocol/kdrt.h"

#include "k_protocol/checksum.h"
#include "ports/link_codes.h"

#include <algorithm>

namespace tgm {
namespace {

void raise(std::atomic<int32_t>* cell, uint32_t ms) {
    if (cell != nullptr && static_cast<int32_t>(ms) > cell->load(std::memory_order_relaxed))
        cell->store(static_cast<int32_t>(ms), std::memory_order_relaxed);
}

} // namespace

KDRT::KDRT(LinePort& port, DATA& reply, uint32_t answer_timeout)
    : port(port), reply(reply), answer_timeout(answer_timeout) {}

bool KDRT::cancelled() const {
    return cancel_flag != nullptr && cancel_flag->load(std::memory_order_relaxed);
}

int KDRT::read_one(uint32_t timeout, uint8_t& byte, uint32_t& latency) {
    latency = 0;
    byte = 0;
    if (cancelled())
        return kPortError;
    port.set_read_timeout(timeout);
    const uint32_t start = tick_ms();
    ReadResult st = ReadResult::failed;
    byte = port.read_byte(st);
    latency = tick_ms() - start;
    raise(worst_time_cell, latency);
    if (st == ReadResult::byte) {
        if (trace_enabled)
            received.append_byte(byte);
        return 0;
    }
    byte = 0;
    return st == ReadResult::timed_out ? kTimedOut : kPortError;
}

int32_t KDRT::exchange(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                       int direction) {
    reply.set_size(0);
    sent.set_size(0);
    received.set_size(0);
    error_kind = 0;
    result = 0;
    status_ms = 0;
    final_status_ms = 0;
    byte_ms = 0;
    if (count > 0) {
        if (direction == kWrite) {
            if (buffer != reply.bytes())
                reply.assign(buffer, count);
        } else
            reply.fill_zero(count);
    }
    wait_gap();
    // After the pause, so that what a failed answer still sent during it goes too.
    port.purge_input();

    const uint8_t command = static_cast<uint8_t>(code | (sub & 0x0F));
    port.write_byte(command);
    if (trace_enabled)
        sent.append_byte(command);

    uint8_t status_byte = 0;
    error_kind = read_one(answer_timeout + port.line_ms(1), status_byte, status_ms);
    if (error_kind != 0) {
        result = kStatusPhase + error_kind;
    } else {
        status = status_byte;
        if (count > 0 && status == 0) {
            if (direction == kWrite)
                write_block(reply.bytes(), count);
            else
                read_block(count);
        }
    }
    if (result != 0)
        status = kLinkFailure;
    gap_timer.start(kGap);
    gap_start_us = link_clock().now_us();
    return result;
}

void KDRT::wait_gap() {
    // Checked at least every 10 ms, and never slept past: each ms here is one per exchange.
    Clock& clock = link_clock();
    const uint64_t end = gap_start_us + uint64_t{static_cast<uint32_t>(gap_timer.duration)} * 1000;
    while (!gap_timer.expired())
        clock.sleep_ms(std::min<uint32_t>(
            static_cast<uint32_t>(gap_timer.duration) - gap_timer.elapsed(), 10));
    for (uint64_t now = clock.now_us(); gap_timer.duration > 0 && now < end; now = clock.now_us())
        clock.sleep_us(std::min<uint64_t>(end - now, 10000));
}

bool KDRT::read_reply_byte(uint8_t& byte) {
    uint32_t latency = 0;
    const int kind = read_one(kByteTimeout, byte, latency);
    if (latency > byte_ms)
        byte_ms = latency;
    if (kind != 0)
        error_kind = kind;
    return kind == 0;
}

void KDRT::read_block(int32_t count) {
    bool failed = false;
    bool stopped = false;
    uint8_t sum = static_cast<uint8_t>(status);
    for (int32_t i = 0; i < count; ++i) {
        // Cancellation between two bytes ends the read at once.
        if (cancelled()) {
            failed = stopped = true;
            break;
        }
        uint8_t byte = 0;
        // Once a byte has failed the exchange has failed: awaiting the rest of a long image
        // on a dead line would take 50 ms a byte. What still comes is purged by the next one.
        if (!read_reply_byte(byte)) {
            failed = stopped = true;
            break;
        }
        reply.bytes()[i] = byte;
        sum ^= byte;
        if (count >= 1024 && progress_cell != nullptr)
            progress_cell->store(static_cast<int32_t>(int64_t{i} * 100 / count),
                                 std::memory_order_relaxed);
    }
    if (!stopped && count >= 2) {
        uint8_t check = 0;
        if (!read_reply_byte(check)) {
            failed = true;
        } else if (check != sum && !failed) {
            error_kind = kBadChecksum;
            failed = true;
        }
    }
    if (failed)
        result = kReplyPhase + error_kind;
}

void KDRT::write_block(const uint8_t* buffer, int32_t count) {
    if (count >= 1024 && progress_cell != nullptr)
        progress_cell->store(-(100000 / count), std::memory_order_relaxed);
    const int32_t from = sent.size();
    bool stopped = false;
    for (int32_t i = 0; i < count && !stopped; ++i) {
        sent.append_byte(buffer[i]);
        stopped = cancelled();
    }
    if (!stopped && count > 2)
        sent.append_byte(xor_sum(buffer, count));
    uint32_t line = 0;
    if (!stopped) {
        port.write(sent.bytes() + from, sent.size() - from);
        // The unit's time-out counts from when the last byte has left; a port may report its
        // queue empty early, so the bytes' line time is allowed on top.
        port.drain_output();
        line = port.line_ms(sent.size() - from);
    }
    // After a cancellation this read fails at once.
    uint8_t final_status = 0;
    error_kind = read_one(answer_timeout + line, final_status, final_status_ms);
    if (error_kind != 0)
        result = kFinalStatusPhase + error_kind;
    else
        status = final_status;
    if (count >= 1024 && progress_cell != nullptr)
        progress_cell->store(100, std::memory_order_relaxed);
}

} // namespace tgm
