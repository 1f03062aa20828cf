// A workbook's archive on any bytes: refused with a reason, or sheets whose rows every shape
// finder and reader take; never more rows or cells than a sheet can have.
#include "forms/workbook_reader.h"
#include "workbook_sheets.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tgm;
    CsvSource source;
    std::string reason;
    const bool read = read_workbook(std::string_view(reinterpret_cast<const char*>(data), size),
                                    source.sheets, reason);
    fuzz::check_workbook(read, reason, source);
    return 0;
}
