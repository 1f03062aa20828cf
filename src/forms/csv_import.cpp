#include "forms/csv_import.h"

#include "forms/form_kind.h"

namespace tgm {

void CsvImport::take_table(int32_t k, std::vector<StrapPoint> rows, AsIsRule rule,
                           const std::string& header_utf8, LineRefusal& refused) {
    FORMA& table = tables.table(k);
    table.make_empty(kFormFs);
    if (rows.empty())
        return;
    tables.count = static_cast<uint32_t>(k + 1);
    bool made_resampled = false;
    if (make_strap_table(k + 1, std::move(rows), rule, header_utf8, table, made_resampled,
                         sources[static_cast<std::size_t>(k)], refused) &&
        made_resampled)
        resampled |= 1u << k;
}

} // namespace tgm
