#include "k_protocol/kmaster.h"

#include "ports/traffic_line.h"

namespace tgm {

bool KMASTER::open(int32_t port, uint32_t answer_timeout) {
    drt.answer_timeout = answer_timeout;
    return port_.open_with(port, kKLine) == OpenResult::ok;
}

void KMASTER::close() { port_.close(); }

bool KMASTER::exchange(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                       int direction) {
    const int32_t result = drt.exchange(code, sub, buffer, count, direction);
    if (drt.trace_enabled)
        append_traffic_line(traffic_, drt.status_ms, drt.sent, drt.received);
    return result == 0;
}

bool KMASTER::exchange_new(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                           int direction) {
    traffic_.clear();
    return exchange(code, sub, buffer, count, direction);
}

// The steps before the transfer need both a completed exchange and the unit's consent.
bool KMASTER::accepted(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                       int direction) {
    return exchange(code, sub, buffer, count, direction) && drt.status == 0;
}

bool KMASTER::read_word(uint8_t code, uint8_t sub, uint16_t& word) {
    if (!accepted(code, sub, nullptr, 2, KDRT::kRead))
        return false;
    word = static_cast<uint16_t>(reply_.bytes()[0] | (reply_.bytes()[1] << 8));
    return true;
}

bool KMASTER::guarded_exchange(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count,
                               int direction) {
    traffic_.clear();
    uint16_t word = 0;
    bool ok = read_word(code, sub, word);
    first_step_status_ = drt.status;
    if (ok && word == kHandshakeRepeat) {
        uint16_t again = 0;
        ok = read_word(code, sub, again) && again == kHandshakeRepeat;
    } else if (ok && word == kHandshakeEcho) {
        static const uint8_t echo[2] = {0x77, 0x55};
        ok = accepted(code, sub, echo, 2, KDRT::kWrite) &&
             accepted(code, sub, echo, 2, KDRT::kWrite);
    } else {
        ok = false;
    }
    if (ok) {
        const uint8_t parameters[4] = {
            static_cast<uint8_t>(count & 0xFF), static_cast<uint8_t>((count >> 8) & 0xFF),
            static_cast<uint8_t>(direction & 0xFF), static_cast<uint8_t>((direction >> 8) & 0xFF)};
        ok = accepted(code, sub, parameters, 4, KDRT::kWrite);
    }
    if (ok) {
        // The transfer itself; a non-zero status here is the caller's to judge.
        ok = exchange(code, sub, buffer, count, direction);
    }
    if (!ok)
        exchange(kAbort, 0, nullptr, 0, KDRT::kNone);
    return ok;
}

} // namespace tgm
