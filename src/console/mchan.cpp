#include "console/mchan.h"

#include "link/ukdr_drv.h"

namespace tgm {
namespace {

constexpr int32_t kProbeTimeout = 100;
constexpr int32_t kWorkTimeout = 500;
constexpr uint8_t kConsoleRequest = 23;
constexpr uint8_t kReadDisplay = 0xFF;
// Speed indexes of the port layer.
constexpr int32_t k9600 = 7;
constexpr int32_t k19200 = 9;

} // namespace

void MCHAN::set_kind(int32_t k) {
    if (k != 0 && k != 1)
        return;
    kind = k;
    set_transport(kNoTransport);
}

void MCHAN::set_transport(int32_t t) {
    if (t == kNoTransport) {
        transport = kNoTransport;
        if (kind == 1)
            vmaster.set_framing(VMASTER::kNormalFraming, k19200, 0);
    } else if (t == kTransport9600 || t == kTransport19200) {
        vmaster.set_framing(VMASTER::kAddressedFraming, t == kTransport9600 ? k9600 : k19200, 0);
        transport = t;
    }
    via_v = kind != 0 || transport != kNoTransport;
}

bool MCHAN::open(int32_t first_byte_timeout) {
    if (via_v)
        return vmaster.open(port, first_byte_timeout);
    return kmaster.open(port, static_cast<uint32_t>(first_byte_timeout));
}

// Both masters are closed: a switch of protocol after a K answer (a unit reporting version 0)
// would otherwise leave the K master holding the port that the V master then needs.
void MCHAN::close() {
    kmaster.close();
    vmaster.close();
}

bool MCHAN::detect_k(int32_t& display_kind, bool& answered) {
    bool has_version = false;
    int32_t version = 0;
    answered = k_version(kmaster, has_version, version);
    if (!answered)
        return false;
    open(kWorkTimeout);
    if (!has_version) {
        display_kind = 0;
        return true;
    }
    if (version == 0) {
        set_kind(1);
        return true;
    }
    display_kind = version % 1000 <= 350 ? 0 : (version == 6360 ? 1 : 2);
    // From 6350 on the unit serves its console only once it is switched on.
    return version < 6350 || k_console_command(kmaster);
}

bool MCHAN::detect_v() {
    close();
    set_kind(1);
    open(kProbeTimeout);
    if (vmaster.request(0, 0, 0, nullptr, 0))
        return true;
    for (const int32_t t : {kTransport9600, kTransport19200}) {
        set_transport(t);
        open(kProbeTimeout);
        if (vmaster.request(0, 0, 0, nullptr, 0))
            return true;
    }
    return false;
}

bool MCHAN::connect(int32_t& display_kind) {
    display_kind = 2;
    close();
    set_kind(0);
    open(kProbeTimeout);
    bool answered = false;
    const bool ok = detect_k(display_kind, answered) || (!answered && detect_v());
    if (ok) {
        close();
        open(kWorkTimeout);
    }
    return ok;
}

bool MCHAN::console_request(uint8_t param1) {
    return vmaster.request(kConsoleRequest, param1, 0, nullptr, 0) && vmaster.result_code() == 0;
}

bool MCHAN::send_key(int32_t answer_length, int32_t code) {
    if (via_v)
        return console_request(static_cast<uint8_t>(code));
    return k_console_read_e0(kmaster, answer_length, static_cast<uint8_t>(code)) &&
           kmaster.status() == 0;
}

bool MCHAN::read_display(int32_t answer_length) {
    if (via_v)
        return console_request(kReadDisplay);
    return k_console_read_f0(kmaster, answer_length) && kmaster.status() == 0;
}

const DATA& MCHAN::answer_bytes() { return via_v ? vmaster.answer_data() : kmaster.reply(); }

} // namespace tgm
