#include "encoding/wtrp_tab.h"

#include "encoding/block_codec.h"

namespace tgm {

int32_t TWTrpTab::choose_method(const PARTAB& table) const {
    switch (mode_) {
    case 1: return kMethodFirstDiff;
    case 2: return fits(table, kMethodSecondDiff) ? kMethodSecondDiff : kMethodFirstDiff;
    case 3:
        if (fits(table, kMethodSecondDiff))
            return kMethodSecondDiff;
        return fits(table, kMethodFirstDiff) ? kMethodFirstDiff : kMethodRaw;
    default: return kMethodSecondDiff;
    }
}

void TWTrpTab::set_mode(uint8_t mode) {
    mode_ = mode;
    set_compression_type(mode == 0 ? 0 : mode == 1 ? 1 : 3);
}

bool TWTrpTab::fits(const PARTAB& table, int32_t method) {
    PARTAB scratch;
    switch (method) {
    case kMethodSecondDiff: return fits_second_diff(table, scratch);
    case kMethodFirstDiff: return table.check_first_diff(scratch);
    default: return false;
    }
}

bool TWTrpTab::pack_with_fallback(const GROUPTAB& group, int32_t highest_type) {
    packing_failures_ = PackingFailures();
    const auto attempt = [&](uint8_t mode) {
        set_mode(mode);
        pack(group);
        packing_failures_.add(failed_channels());
        return failures() == 0;
    };
    if (highest_type <= 2)
        return attempt(0) || attempt(1);
    if (highest_type == 3)
        return attempt(2);
    return attempt(3) || attempt(2);
}

} // namespace tgm
