#include "operations/tchan.h"

#include "k_protocol/ukdr_drv.h"

namespace tgm {
namespace {

constexpr uint8_t kPresence = 0x10;
constexpr uint8_t kPresenceAnswer = 0x55;

} // namespace

TCHAN::TCHAN(int32_t port) : ProtocolChannel(port) {
    kmaster.set_trace_enabled(true);
    vmaster.set_trace(true);
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
    set_kind(kK);
    if (!open(kProbeTimeout)) {
        close();
        return kPortBusy;
    }
    if (kmaster.wait_until_quiet(kProbeTimeout, kLongestAnswerMs, kLongestAnswer, cancel_flag) ==
        LinePort::Quiet::never) {
        close();
        return kLineBusy;
    }
    int outcome = kNoAnswer;
    if (k_test()) {
        outcome = kAnswered;
    } else {
        close();
        if (find_v([this] { return v_test(); }))
            outcome = kAnswered;
    }
    close();
    return outcome;
}

} // namespace tgm
