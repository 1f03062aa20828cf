#include "k_protocol/ukdr_drv.h"

#include "encoding/unit_version.h"
#include "ports/link_codes.h"

#include <algorithm>

namespace tgm {

bool k_read(KMASTER& master, uint8_t code, uint8_t sub, uint8_t* out, int32_t count) {
    if (!master.exchange_new(code, sub, nullptr, count, KDRT::kRead))
        return false;
    if (out != nullptr && count > 0 && master.status() == 0)
        std::copy(master.reply().bytes(), master.reply().bytes() + count, out);
    return true;
}

bool k_command(KMASTER& master, uint8_t code) {
    return master.exchange_new(code, 0, nullptr, 0, KDRT::kNone);
}

bool k_guarded_command(KMASTER& master, uint8_t code) {
    return master.guarded_exchange(code, 0, nullptr, 0, KDRT::kNone);
}

bool k_version(KMASTER& master, bool& has_version, int32_t& version) {
    uint8_t bytes[3] = {0, 0, 0};
    if (!k_read(master, 7, 0, bytes, 3))
        return false;
    if (master.status() == kCommandRejected) {
        has_version = false;
        return true;
    }
    if (master.status() != 0)
        return false;
    has_version = true;
    version = compose_version(bytes[0], bytes[1], bytes[2]);
    // 6,3,8 is how the 632 generation answers.
    if (version == 6380)
        version = 6320;
    return true;
}

bool k_console_command(KMASTER& master) { return k_guarded_command(master, 13); }

bool k_console_read_e0(KMASTER& master, int32_t count, uint8_t sub) {
    return master.exchange_new(0xE0, sub, nullptr, count, KDRT::kRead);
}

bool k_console_read_f0(KMASTER& master, int32_t count) {
    return master.exchange_new(0xF0, 0, nullptr, count, KDRT::kRead);
}

} // namespace tgm
