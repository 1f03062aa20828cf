#include "sim/k_unit.h"

#include "k_protocol/checksum.h"

#include <algorithm>

namespace tgm {
namespace {

constexpr int kDataTimeout = 1000;
// Final status for a block whose checksum does not match.
constexpr uint8_t kChecksumRejected = 2;

SimUnit::Bytes sized(SimUnit::Bytes bytes, int32_t count, uint8_t pad) {
    bytes.resize(static_cast<std::size_t>(count), pad);
    return bytes;
}

} // namespace

bool KUnit::is_guarded(uint8_t command) const {
    switch (command) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
    case 13: return true;
    case 14: return !persona_.answers_abort; // a 621 unit takes 14 as a simple command
    default: return command >= 0x90 && command <= 0x9F;
    }
}

void KUnit::handle(uint8_t command) {
    if (silent_to(command))
        return;
    begin_answer(command);
    // A command byte that does not continue the guarded sequence abandons it.
    if (stage_ != Stage::none && command != guarded_command_)
        reset();
    if (is_guarded(command)) {
        guarded_step(command);
        return;
    }
    const int32_t forced = status_to(command);
    const uint8_t status = static_cast<uint8_t>(forced >= 0 ? forced : 0);
    switch (command) {
    case 0x10: // presence
        answer(command, status, {0x55});
        break;
    case 0x14: { // state byte: bit 0x40 once initialisation has ended
        const bool ready = ready_poll();
        const int32_t fault = config_.faults.fault_status;
        answer(command, static_cast<uint8_t>(fault >= 0 ? fault : status),
               {static_cast<uint8_t>(ready ? 0x40 : 0x00)});
        break;
    }
    case 7:
        if (!persona_.has_version_command)
            answer(command, forced >= 0 ? status : kRejected, {});
        else
            answer(
                command, status,
                {persona_.version_bytes[0], persona_.version_bytes[1], persona_.version_bytes[2]});
        break;
    case 15: // abort, and the first question of version detection
        answer(command, forced >= 0 ? status : (persona_.answers_abort ? 0 : kRejected), {});
        break;
    case 14: // finish on a 621 unit
        answer(command, status, {});
        break;
    default:
        if (command >= 0xE0 && command <= 0xF0) {
            if (command != 0xF0)
                console_.press(command & 0x0F);
            answer(command, status, console_.answer());
        } else {
            answer(command, forced >= 0 ? status : kRejected, {});
        }
        break;
    }
}

void KUnit::answer(uint8_t command, uint8_t status, const Bytes& data) {
    Bytes out;
    out.reserve(data.size() + 2);
    out.push_back(status);
    if (status == 0 && !data.empty()) {
        for (uint8_t b : data)
            out.push_back(b);
        if (data.size() >= 2) {
            uint8_t sum = xor_sum(data.data(), static_cast<int32_t>(data.size()));
            if (corrupt_to(command))
                sum ^= 0xFF;
            out.push_back(sum);
        }
    }
    send(out);
}

int32_t KUnit::receive(int32_t count, Bytes& data) {
    send({0});
    if (!read_bytes(data, static_cast<std::size_t>(count), kDataTimeout))
        return -1;
    if (count > 2) {
        const int sum = read_byte(kDataTimeout);
        if (sum < 0)
            return -1;
        if (sum != xor_sum(data.data(), count))
            return kChecksumRejected;
    }
    return 0;
}

void KUnit::guarded_step(uint8_t command) {
    const uint16_t word = config_.handshake;
    const Bytes word_bytes{static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>(word >> 8)};
    switch (stage_) {
    case Stage::none: {
        // A unit that does not know the command refuses it before any handshake.
        const auto refused = config_.faults.status_at_start.find(command);
        if (refused != config_.faults.status_at_start.end()) {
            answer(command, static_cast<uint8_t>(refused->second), {});
            break;
        }
        guarded_command_ = command;
        echoes_ = 0;
        answer(command, 0, word_bytes);
        stage_ = Stage::handshake;
        break;
    }
    case Stage::handshake:
        if (word == 0x1234) {
            answer(command, 0, word_bytes);
            stage_ = Stage::parameters;
        } else {
            Bytes echo;
            const int32_t got = receive(2, echo);
            if (got < 0) {
                reset();
                return;
            }
            const bool matches = echo == word_bytes;
            final_status(matches ? 0 : kRejected);
            if (!matches)
                reset();
            else if (++echoes_ == 2)
                stage_ = Stage::parameters;
        }
        break;
    case Stage::parameters: {
        Bytes block;
        const int32_t got = receive(4, block);
        if (got < 0) {
            reset();
            return;
        }
        final_status(static_cast<uint8_t>(got));
        if (got != 0) {
            reset();
            return;
        }
        count_ = block[0] | block[1] << 8;
        direction_ = block[2] | block[3] << 8;
        stage_ = Stage::transfer;
        break;
    }
    case Stage::transfer:
        transfer(command);
        reset();
        break;
    }
}

void KUnit::transfer(uint8_t command) {
    const int32_t forced = status_to(command);
    if (direction_ == 2 && count_ > 0) {
        Bytes data;
        const int32_t got = receive(count_, data);
        if (got < 0)
            return;
        if (got == 0 && forced <= 0)
            write_area(command, std::move(data));
        final_status(static_cast<uint8_t>(got != 0 ? got : (forced >= 0 ? forced : 0)));
        return;
    }
    uint8_t status = static_cast<uint8_t>(forced >= 0 ? forced : 0);
    if (command == 13 && status == 0)
        console_.switch_on();
    if (command == 8 && persona_.type_count == 0 && forced < 0)
        status = kRejected;
    if (direction_ == 1 && count_ > 0) {
        answer(command, status, read_area(command, count_));
        return;
    }
    answer(command, status, {});
}

SimUnit::Bytes KUnit::read_area(uint8_t command, int32_t count) const {
    Bytes out;
    switch (command) {
    case 1: return sized(flash_.header(), count, 0);
    case 2: // flash size, 16 or 32 bits as asked
        if (count >= 4)
            put_le(out, persona_.flash_size, 4);
        else
            put_le(out, std::min<uint32_t>(persona_.flash_size, 0xFFFF), 2);
        return sized(out, count, 0);
    case 3: return sized(flash_.image(), count, 0xFF);
    case 4: return sized(flash_.record(), count, 0);
    case 8: put_le(out, static_cast<uint32_t>(persona_.type_count), 2); return sized(out, count, 0);
    default:
        if (command >= 0x90 && command <= 0x9F)
            return sized(flash_.area(command & 0x0F), count, 0xFF);
        return sized(out, count, 0);
    }
}

void KUnit::write_area(uint8_t command, Bytes data) {
    switch (command) {
    case 1: {
        // The header keeps its size; a shorter write replaces its start.
        Bytes header = flash_.header();
        std::copy_n(data.begin(), std::min(data.size(), header.size()), header.begin());
        store(SimFlash::kHeader, std::move(header));
        break;
    }
    case 3:
        store(SimFlash::kImage, std::move(data));
        image_stored();
        break;
    case 4: store(SimFlash::kRecord, std::move(data)); break;
    default:
        if (command >= 0x90 && command <= 0x9F) {
            store(command & 0x0F, std::move(data));
            image_stored();
        }
        break;
    }
}

} // namespace tgm
