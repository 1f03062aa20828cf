#include "sim/v_unit.h"

#include "v_protocol/crc16.h"

#include <algorithm>

namespace tgm {
namespace {

constexpr int kFirstTimeout = 1000;
// A frame arrives in one piece; a pause this long ends a stray one, such as a K probe's byte
// heard at the same speed, before the tool's next attempt.
constexpr int kNextTimeout = 20;

} // namespace

void VUnit::handle(uint8_t first) {
    const bool addressed = persona_.transport_speed != 0;
    if (!addressed) {
        if (first != 0x15)
            return; // noise: a request starts with 0x15
        send({0x00});
        const int length = read_byte(kFirstTimeout);
        if (length < 0)
            return;
        first = static_cast<uint8_t>(length);
    }
    Bytes request;
    bool nack = false;
    if (!read_frame(first, request, nack)) {
        if (nack)
            send({0x06});
        return;
    }
    const Bytes answer = respond(request);
    if (command_ >= 0 && silent_to(command_))
        return;
    if (!addressed)
        send({0x00});
    send_frame(answer);
}

bool VUnit::read_frame(uint8_t first, Bytes& data, bool& nack) {
    const bool addressed = persona_.transport_speed != 0;
    Bytes head{first};
    if (addressed) {
        Bytes rest;
        if (!read_bytes(rest, 4, kNextTimeout)) // three address bytes and the length
            return false;
        head.insert(head.end(), rest.begin(), rest.end());
    }
    const uint8_t length = head.back();
    if (length > 128)
        return false;
    Bytes crc;
    if (!read_bytes(data, length, kNextTimeout) || !read_bytes(crc, 2, kNextTimeout))
        return false;
    const uint16_t expected =
        crc16(data.data(), length, crc16(head.data(), static_cast<int32_t>(head.size())));
    if ((crc[0] | crc[1] << 8) != expected) {
        nack = true;
        return false;
    }
    // Only frames for address 0 are this unit's.
    return !addressed || (head[0] | head[1] | head[2] | head[3]) == 0;
}

void VUnit::send_frame(const Bytes& data) {
    Bytes frame;
    if (persona_.transport_speed != 0)
        put_le(frame, config_.faults.foreign_address ? 1u : 0u, 4);
    frame.push_back(static_cast<uint8_t>(data.size()));
    frame.insert(frame.end(), data.begin(), data.end());
    uint16_t crc = crc16(frame.data(), static_cast<int32_t>(frame.size()));
    if (command_ >= 0 && corrupt_to(command_))
        crc ^= 0xFFFF;
    put_le(frame, crc, 2);
    begin_answer(command_);
    send(frame);
    begin_answer(-1);
}

SimUnit::Bytes VUnit::respond(const Bytes& request) {
    if (request.empty())
        return {7, kRejected};
    const uint8_t function = request[0];
    switch (function) {
    case 6: // short request
        if (request.size() < 4)
            return {7, kRejected};
        command_ = request[1];
        return execute(request[1], request[2], request[3],
                       Bytes(request.begin() + 4, request.end()));
    case 16:
    case 46: // long request header; the payload follows in blocks
        if (request.size() < (function == 16 ? 6u : 8u))
            return {7, kRejected};
        command_ = request[1];
        long_header_ = request;
        long_payload_.clear();
        return request;
    case 26:
    case 36:
        if (long_header_.empty())
            return {7, kRejected};
        long_payload_.insert(long_payload_.end(), request.begin() + 1, request.end());
        if (function == 26)
            return {26};
        {
            const Bytes header = std::move(long_header_);
            long_header_.clear();
            return execute(header[1], header[2], header[3], long_payload_);
        }
    case 27: return next_answer_block();
    default: return {7, kRejected};
    }
}

SimUnit::Bytes VUnit::execute(uint8_t command, uint8_t param1, uint8_t param2,
                              const Bytes& payload) {
    const int32_t forced = status_to(command);
    if (forced >= 0)
        return answer_for(forced, {});
    const bool reading = param2 == 1;
    const bool writing = param2 == 2;
    Bytes out;
    switch (command) {
    case 0:  // presence
    case 16: // finish
        return answer_for(0, {});
    case 32:
        return answer_for(
            0, {persona_.version_bytes[0], persona_.version_bytes[1], persona_.version_bytes[2]});
    case 33: { // readiness: bit 0x20 of byte 0, then the fault word at bytes 2 and 3
        const bool ready = ready_poll();
        if (config_.faults.fault_status >= 0)
            return answer_for(config_.faults.fault_status, {});
        out = {static_cast<uint8_t>(ready ? 0x20 : 0x00), 0};
        put_le(out, config_.faults.fault_word, 2);
        return answer_for(0, out);
    }
    case 24:
        if (persona_.type_count == 0)
            return answer_for(kRejected, {});
        put_le(out, static_cast<uint32_t>(persona_.type_count), 2);
        return answer_for(0, out);
    case 18:
    case 20:
    case 22: {
        const int32_t area = command == 18   ? SimFlash::kRecord
                             : command == 20 ? SimFlash::kImage
                                             : (param1 & 0x0F);
        if (reading)
            return answer_for(0, flash_.area(area));
        if (writing) {
            store(area, payload);
            if (command != 18)
                image_stored();
            return answer_for(0, {});
        }
        return answer_for(kRejected, {});
    }
    case 23: // console: a key, or 0xFF to read the display
        if (param1 != 0xFF)
            console_.press(param1);
        return answer_for(0, console_.answer());
    default: return answer_for(kRejected, {});
    }
}

SimUnit::Bytes VUnit::answer_for(int32_t result, const Bytes& payload) {
    const uint8_t code = static_cast<uint8_t>(result);
    const bool cut = command_ >= 0 && command_ == config_.faults.short_to && !payload.empty();
    const auto end = payload.end() - (cut ? 1 : 0);
    const bool trickle = command_ >= 0 && command_ == config_.faults.trickle_to;
    if (payload.size() <= 126 && !trickle) {
        Bytes out{7, code};
        out.insert(out.end(), payload.begin(), end);
        return out;
    }
    pending_.assign(payload.begin(), end);
    pending_at_ = 0;
    trickle_ = trickle;
    const uint32_t total = static_cast<uint32_t>(pending_.size());
    Bytes out{static_cast<uint8_t>(total < 65536 ? 17 : 47), code};
    put_le(out, total, total < 65536 ? 2 : 4);
    return out;
}

SimUnit::Bytes VUnit::next_answer_block() {
    const std::size_t take =
        std::min<std::size_t>(trickle_ ? 1 : 127, pending_.size() - pending_at_);
    const bool last = pending_at_ + take >= pending_.size();
    Bytes out{static_cast<uint8_t>(last ? 37 : 27)};
    out.insert(out.end(), pending_.begin() + static_cast<std::ptrdiff_t>(pending_at_),
               pending_.begin() + static_cast<std::ptrdiff_t>(pending_at_ + take));
    pending_at_ += take;
    return out;
}

} // namespace tgm
