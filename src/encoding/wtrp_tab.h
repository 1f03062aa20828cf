#pragma once
// The writing side of TTrpTab: the mode sets the compression type and each table's method, and
// packing with fallback fits a group into the best form the unit accepts.
#include "encoding/packing_failures.h"
#include "encoding/trp_tab.h"

namespace tgm {

class TWTrpTab : public TTrpTab {
public:
    // Mode 4; the type stays 4 until set_mode.
    TWTrpTab() = default;

    int32_t choose_method(const PARTAB& table) const override;

    // Mode 0 packs type 0, mode 1 type 1, every other mode type 3.
    void set_mode(uint8_t mode);
    uint8_t mode() const { return mode_; }
    // Whether the table passes the test of method 0 or 1; never for any other method.
    static bool fits(const PARTAB& table, int32_t method);
    // Packs with the best form the unit's highest accepted type allows; true when the last
    // attempt fitted every table. After a failure the last attempt's image stays.
    bool pack_with_fallback(const GROUPTAB& group, int32_t highest_type);
    // The channels that failed the attempts of the last pack_with_fallback.
    const PackingFailures& packing_failures() const { return packing_failures_; }

private:
    uint8_t mode_ = 4;
    PackingFailures packing_failures_;
};

} // namespace tgm
