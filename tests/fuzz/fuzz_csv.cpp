// The CSV reader on any bytes: it refuses with a reason, or its tables write out and read back
// as the very same tables, none of them resampled the second time.
#include "forms/csv_reader.h"
#include "forms/csv_writer.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tgm;
    static CsvImport first;
    static CsvImport again;
    std::string refusal;
    if (!parse_csv(std::string_view(reinterpret_cast<const char*>(data), size), first, refusal)) {
        if (refusal.empty())
            __builtin_trap();
        return 0;
    }
    GROUPTAB group;
    first.tables.build_group(group);
    if (!parse_csv(csv_text(group), again, refusal) || !again.tables.equals(first.tables) ||
        again.resampled != 0)
        __builtin_trap();
    return 0;
}
