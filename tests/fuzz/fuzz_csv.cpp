// The CSV reader on any bytes, in the export's layout or any spreadsheet shape: it refuses with
// a reason, or its tables write out and read back as the very same tables, none of them
// resampled the second time. Units a header leaves open are then given, so the rows are read.
#include "forms/csv_reader.h"
#include "forms/csv_writer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool read_back_the_same(tgm::CsvImport& first) {
    using namespace tgm;
    static CsvImport again;
    std::string refusal;
    GROUPTAB group;
    first.tables.build_group(group);
    return parse_csv(csv_text(group), again, refusal) && again.tables.equals(first.tables) &&
           again.resampled == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tgm;
    static CsvImport first;
    std::string refusal;
    CsvSource source;
    if (!find_csv_shape(std::string_view(reinterpret_cast<const char*>(data), size), source,
                        refusal)) {
        if (refusal.empty())
            __builtin_trap();
        return 0;
    }
    for (int pass = 0; pass < 2; ++pass) {
        refusal.clear();
        if (read_csv_source(source, first, refusal)) {
            if (!read_back_the_same(first))
                __builtin_trap();
        } else if (refusal.empty()) {
            __builtin_trap();
        }
        if (source.own_layout || (source.layout.level_unit != LevelUnit::unknown &&
                                  source.layout.volume_unit != VolumeUnit::unknown))
            break;
        source.layout.level_unit = LevelUnit::mm;
        source.layout.volume_unit = VolumeUnit::m3;
    }
    return 0;
}
