// A workbook's archive on any bytes: refused with a reason, or sheets whose rows every shape
// finder and reader take; never more rows or cells than a sheet can have.
#include "forms/csv_reader.h"
#include "forms/workbook_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tgm;
    CsvSource source;
    std::string reason;
    if (!read_workbook(std::string_view(reinterpret_cast<const char*>(data), size), source.sheets,
                       reason)) {
        if (reason.empty() || !source.sheets.empty())
            __builtin_trap();
        return 0;
    }
    for (CsvSource& sheet : sheet_sources(source)) {
        CsvImport read;
        std::string refusal;
        if (!read_csv_source(sheet, read, refusal) && refusal.empty())
            __builtin_trap();
    }
    return 0;
}
