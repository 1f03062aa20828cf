#include "console/mchan.h"

#include "k_protocol/ukdr_drv.h"

namespace tgm {
namespace {

constexpr int32_t kWorkTimeout = 500;
constexpr uint8_t kConsoleRequest = 23;
constexpr uint8_t kReadDisplay = 0xFF;

} // namespace

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
        set_kind(kV);
        return true;
    }
    display_kind = version % 1000 <= 350 ? 0 : (version == 6360 ? 1 : 2);
    // From 6350 on the unit serves its console only once it is switched on.
    return version < 6350 || k_console_command(kmaster);
}

bool MCHAN::detect_v() {
    close();
    return find_v([this] { return vmaster.request(0, 0, 0, nullptr, 0); });
}

bool MCHAN::connect(int32_t& display_kind) {
    display_kind = 2;
    close();
    set_kind(kK);
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
