#include "link/tchan.h"

#include "link/ukdr_drv.h"

namespace tgm {
namespace {

constexpr int32_t kProbeTimeout = 100;
constexpr uint8_t kPresence = 0x10;
constexpr uint8_t kPresenceAnswer = 0x55;
constexpr int32_t k9600 = 7;
constexpr int32_t k19200 = 9;

} // namespace

TCHAN::TCHAN(int32_t port) : port(port) {
    kmaster.set_trace_enabled(true);
    vmaster.set_trace(true);
}

void TCHAN::set_kind(int k) {
    if (k != 0 && k != 1)
        return;
    kind = static_cast<uint8_t>(k);
    set_transport(0);
}

void TCHAN::set_transport(int t) {
    if (t == 0) {
        transport = 0;
        if (kind == 1)
            vmaster.set_framing(VMASTER::kNormalFraming, k19200, 0);
    } else if (t == 1) {
        vmaster.set_framing(VMASTER::kAddressedFraming, k9600, 0);
        transport = 1;
    } else if (t == 2) {
        vmaster.set_framing(VMASTER::kAddressedFraming, k19200, 0);
        transport = 2;
    }
    via_v = kind != 0 || transport != 0;
}

bool TCHAN::open(int32_t first_byte_timeout) {
    if (via_v)
        return vmaster.open(port, first_byte_timeout);
    return kmaster.open(port, static_cast<uint32_t>(first_byte_timeout));
}

void TCHAN::close() {
    if (via_v)
        vmaster.close();
    else
        kmaster.close();
}

bool TCHAN::k_test() {
    uint8_t answer = 0;
    const bool ok = k_read(kmaster, kPresence, 0, &answer, 1) && answer == kPresenceAnswer;
    log += kmaster.traffic_text();
    return ok;
}

bool TCHAN::v_test() {
    const bool ok = vmaster.request(0, 0, 0, nullptr, 0);
    log += vmaster.traffic_text();
    return ok;
}

int TCHAN::probe() {
    set_kind(0);
    if (!open(kProbeTimeout)) {
        close();
        return kPortBusy;
    }
    int outcome = kNoAnswer;
    if (k_test()) {
        outcome = kAnswered;
    } else {
        close();
        // Every V attempt reopens the port at its own speed; a port that no longer opens
        // simply fails the attempt.
        set_kind(1);
        open(kProbeTimeout);
        if (v_test()) {
            outcome = kAnswered;
        } else {
            for (int t = 1; t <= 2 && outcome != kAnswered; ++t) {
                set_transport(t);
                open(kProbeTimeout);
                if (v_test())
                    outcome = kAnswered;
            }
        }
    }
    close();
    return outcome;
}

} // namespace tgm
