#include "operations/drivers/klink_run.h"

#include "encoding/byte_order.h"
#include "k_protocol/ukdr_drv.h"
#include "operations/link_errors.h"
#include "operations/operation_steps.h"

#include <algorithm>

namespace tgm {
namespace {

constexpr uint8_t kFlashSize = 2;
constexpr uint8_t kTypeCount = 8;
constexpr uint8_t kState = 20;
constexpr uint8_t kInitialised = 0x40;
// The guarded parameter block carries the count in 16 bits.
constexpr int32_t kMaxTransfer = 0xFFFF;

} // namespace

KLinkRun::KLinkRun(TBVLink& link)
    : link(link), operation(static_cast<uint8_t>(link.operation.load())), group(link.group) {
    master.set_trace_enabled(link.log_traffic);
    master.set_cancel_flag(&link.cancel);
    master.set_progress_cell(&link.progress);
    master.set_worst_time_cell(&link.max_response);
}

bool KLinkRun::guarded(uint8_t code, uint8_t sub, uint8_t* out, const uint8_t* buffer,
                       int32_t count, int direction) {
    if (count > kMaxTransfer) {
        // A read this long comes from a damaged directory; a write would not fit the unit.
        error_code = direction == KDRT::kRead ? kUnknownCompression : kFlashTooSmall;
        return false;
    }
    // From its first command on, a write may have changed the unit.
    if (direction == KDRT::kWrite)
        link.sent.store(TBVLink::Sent::some);
    const bool ok = master.guarded_exchange(code, sub, buffer, count, direction);
    error_code = ok ? static_cast<int32_t>(master.status()) : kLinkFailure;
    if (ok && error_code == 0 && out != nullptr && count > 0)
        std::copy_n(master.reply().bytes(), count, out);
    keep_traffic();
    return error_code == 0;
}

bool KLinkRun::guarded_read(uint8_t code, uint8_t sub, uint8_t* out, int32_t count) {
    return guarded(code, sub, out, nullptr, count, KDRT::kRead);
}

bool KLinkRun::guarded_write(uint8_t code, uint8_t sub, const uint8_t* buffer, int32_t count) {
    return guarded(code, sub, nullptr, buffer, count, KDRT::kWrite);
}

bool KLinkRun::read_flash_size16(int64_t& size) {
    uint8_t bytes[2] = {};
    if (!guarded_read(kFlashSize, 0, bytes, 2))
        return false;
    size = le::get16u(bytes);
    return true;
}

bool KLinkRun::read_flash_size32(int64_t& size) {
    uint8_t bytes[4] = {};
    if (!guarded_read(kFlashSize, 0, bytes, 4))
        return false;
    size = static_cast<uint32_t>(le::get32(bytes));
    return true;
}

bool KLinkRun::read_type_count(int32_t& highest) {
    uint8_t bytes[2] = {};
    guarded_read(kTypeCount, 0, bytes, 2);
    // Refused at the transfer, or at once by a unit that does not know the command at all.
    if (error_code == static_cast<int32_t>(kCommandRejected) ||
        (error_code == kLinkFailure && master.first_step_status() == kCommandRejected))
        fail(kVersionUnsupported, version_reason(link.version_text, false));
    if (error_code != 0)
        return false;
    highest = le::get16u(bytes) - 1;
    return true;
}

bool KLinkRun::wait_ready(bool require_ready) {
    progress_to_scratch();
    link.progress.store(0);
    bool ready = false;
    wait_for_initialisation(link, [&] {
        uint8_t state = 0;
        if (!k_read(master, kState, 0, &state, 1)) {
            error_code = kLinkFailure;
            return false;
        }
        error_code = static_cast<int32_t>(master.status());
        if (error_code != 0)
            return false;
        if (!require_ready || (state & kInitialised) != 0) {
            ready = true;
            return false;
        }
        error_code = kStillInitialising;
        return true;
    });
    link.set_stage("");
    progress_to_link();
    keep_traffic();
    return ready;
}

void KLinkRun::log_image(int32_t type, int32_t bytes) {
    link.set_stage(image_stage_text(type, bytes));
}

} // namespace tgm
