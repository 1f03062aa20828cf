#include "operations/operation_steps.h"

#include "ports/clock.h"
#include "support/cp1251.h"

#include <algorithm>

namespace tgm {
namespace {

constexpr int32_t kReadinessPolls = 46;
constexpr uint32_t kReadinessSleep = 500;

} // namespace

std::string image_stage_text(int32_t type, int32_t bytes) {
    // Tenths of a KiB, rounded half up as "0.#" does; no decimal when it is zero.
    const int64_t tenths = (int64_t{bytes} * 10 * 2 + 1024) / 2048;
    std::string kib = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        kib += "." + std::to_string(tenths % 10);
    return "vt_" + std::to_string(type) + "   " + kib + " kb";
}

bool wait_for_initialisation(TXThread& link, const std::function<bool()>& poll) {
    for (int32_t polls = 1; polls <= kReadinessPolls; ++polls) {
        if (!poll())
            return polls > 1;
        if (polls == 1)
            link.set_stage(cp("Ожидание завершения инициализации БВ"));
        link_clock().sleep_ms(kReadinessSleep);
        link.progress.store(100 - (kReadinessPolls - polls) * 100 / kReadinessPolls);
    }
    return true;
}

bool for_each_block(TXThread& link, int32_t blocks, int32_t first, int32_t step,
                    const std::function<bool(int32_t)>& transfer) {
    link.progress.store(std::min(first, 100));
    for (int32_t i = 0; i < blocks; ++i) {
        if (!transfer(i))
            return false;
        link.progress.store(std::min(first + (i + 1) * step, 100));
    }
    return true;
}

int32_t readable_directory(const Directory& dir, bool type_has_layout) {
    if (dir.table_count > 0 && (!type_has_layout || !dir.holdable()))
        return kUnknownCompression;
    return 0;
}

} // namespace tgm
