#pragma once
// What a spreadsheet file gives: up to 16 tables of litres per whole centimetre.
#include "forms/fdata.h"
#include "forms/strap_table.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tgm {

struct CsvImport {
    // Kind-1 tables: channel N in slot N - 1, channels without rows as gaps.
    FDATA tables;
    // Bit k: the table of slot k was resampled from its levels as an .f1 table is.
    uint32_t resampled = 0;
    // What the file listed for each slot's table.
    std::array<StrapSummary, FDATA::kMaxTables> sources{};
    // Rows under the header that gave points.
    int32_t rows = 0;
    // Lines of rows with no number in any level or volume column (signatures, page titles,
    // notes), left out; empty rows are not counted.
    std::vector<int32_t> skipped;

    bool is_resampled(int32_t k) const { return (resampled >> k) & 1u; }
    // Slot k's table from its rows, headed `header_utf8`: a gap when there are none, else as
    // make_strap_table makes it, a resample noted; its refusals go to `refused`.
    void take_table(int32_t k, std::vector<StrapPoint> rows, AsIsRule rule,
                    const std::string& header_utf8, LineRefusal& refused);
};

} // namespace tgm
