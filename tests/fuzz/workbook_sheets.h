#pragma once
// What both workbook fuzz targets ask of a workbook read or refused: a refusal has a reason and
// leaves no sheets; every sheet holding a table reads or refuses with a reason.
#include "forms/csv_reader.h"

#include <string>

namespace tgm::fuzz {

inline void check_workbook(bool read, const std::string& reason, const CsvSource& book) {
    if (!read) {
        if (reason.empty() || !book.sheets.empty())
            __builtin_trap();
        return;
    }
    for (CsvSource& sheet : sheet_sources(book)) {
        CsvImport tables;
        std::string refusal;
        if (!read_csv_source(sheet, tables, refusal) && refusal.empty())
            __builtin_trap();
    }
}

} // namespace tgm::fuzz
