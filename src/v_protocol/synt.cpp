#include "v_protocol/synt.h"

#include "ports/timer.h"
#include "v_protocol/crc16.h"

namespace tgm {
namespace {

void put_le32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

void SYNT::put(int32_t count, const uint8_t* bytes) { sent.append(bytes, count); }

int32_t SYNT::read_one(int32_t timeout, uint8_t& byte) {
    byte = 0;
    if (cancel_flag != nullptr && cancel_flag->load(std::memory_order_relaxed))
        return kCancelled;
    port.set_read_timeout(static_cast<uint32_t>(timeout < 0 ? 0 : timeout));
    const uint32_t start = tick_ms();
    ReadResult st = ReadResult::failed;
    byte = port.read_byte(st);
    const int32_t waited = static_cast<int32_t>(tick_ms() - start);
    if (waited > max_wait)
        max_wait = waited;
    if (max_wait_out != nullptr && waited > max_wait_out->load(std::memory_order_relaxed))
        max_wait_out->store(waited, std::memory_order_relaxed);
    if (st == ReadResult::timed_out)
        return kTimeout;
    // A cancellation ends the port's wait as a failed read.
    if (st != ReadResult::byte)
        return cancel_flag != nullptr && cancel_flag->load(std::memory_order_relaxed) ? kCancelled
                                                                                      : kPortError;
    if (cancel_flag != nullptr && cancel_flag->load(std::memory_order_relaxed))
        return kCancelled;
    received.append_byte(byte);
    return kOk;
}

int32_t SYNT::get(int32_t count, uint8_t* buffer) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t st = read_one(next_byte_timeout, buffer[i]);
        if (st != kOk)
            return st;
    }
    return kOk;
}

void SYNT::send_from(int32_t from) {
    port.write(sent.bytes() + from, sent.size() - from);
    // The unit's time-out counts from the last byte's leaving, and the port may say so early.
    port.drain_output();
    line_allowance_ = static_cast<int32_t>(port.line_ms(sent.size() - from));
}

int32_t SYNT::read_acknowledge() {
    uint8_t ack = 0;
    const int32_t st = read_one(first_byte_timeout + line_allowance_, ack);
    if (st != kOk)
        return st;
    return ack == 0x00 ? kOk : kNotAcknowledged;
}

int32_t SYNT::exchange(uint32_t address) {
    sent.set_size(0);
    received.set_size(0);
    port.purge_input();
    max_wait = 0;
    sleep_ms(kPause);

    request.address = address;
    uint8_t head[5];
    int32_t head_length = 0;
    if (addressed) {
        put_le32(head, address);
        head_length = 4;
    }
    head[head_length++] = request.length;
    request.crc = crc16(data, request.length, crc16(head, head_length));
    const uint8_t crc[2] = {static_cast<uint8_t>(request.crc & 0xFF),
                            static_cast<uint8_t>(request.crc >> 8)};
    int32_t frame_start = 0;
    if (!addressed) {
        const uint8_t request_byte = kRequestByte;
        put(1, &request_byte);
        send_from(0);
        if ((status = read_acknowledge()) != kOk)
            return status;
        frame_start = sent.size();
    }
    put(head_length, head);
    put(request.length, data);
    put(2, crc);
    send_from(frame_start);

    uint8_t prefix[4] = {};
    int32_t prefix_length = 0;
    if (addressed) {
        if ((status = read_one(first_byte_timeout + line_allowance_, prefix[0])) != kOk ||
            (status = get(3, prefix + 1)) != kOk)
            return status;
        prefix_length = 4;
        answer.address = static_cast<uint32_t>(prefix[0] | prefix[1] << 8 | prefix[2] << 16 |
                                               static_cast<uint32_t>(prefix[3]) << 24);
        if (answer.address != address)
            return status = kForeignAddress;
    } else if ((status = read_acknowledge()) != kOk) {
        return status;
    }
    return status = read_body(prefix, prefix_length);
}

int32_t SYNT::read_body(const uint8_t* prefix, int32_t prefix_length) {
    int32_t st = read_one(next_byte_timeout, answer.length);
    if (st != kOk)
        return st;
    if (answer.length > kMaxLength)
        return kTooLong;
    uint8_t crc[2];
    if ((st = get(answer.length, data)) != kOk || (st = get(2, crc)) != kOk)
        return st;
    answer.crc = static_cast<uint16_t>(crc[0] | crc[1] << 8);
    const uint16_t expected =
        crc16(data, answer.length, crc16(&answer.length, 1, crc16(prefix, prefix_length)));
    return expected == answer.crc ? kOk : kCrcError;
}

} // namespace tgm
