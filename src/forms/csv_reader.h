#pragma once
// Reading strap tables from spreadsheets: a CSV file of rows "channel;header;level cm;volume l"
// becomes up to 16 tables of litres per whole centimetre.
#include "forms/fdata.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tgm {

struct CsvImport {
    // Kind-1 tables: channel N in slot N - 1, channels without rows as gaps.
    FDATA tables;
    // Bit k: the table of slot k was resampled from its levels as an .f1 table is.
    uint32_t resampled = 0;

    bool is_resampled(int32_t k) const { return (resampled >> k) & 1u; }
};

// Whether the name ends in ".csv", letter case ignored.
bool is_csv_file_name(const std::string& file_name);

// Reads the bytes of a CSV file. A refusal leaves `out` unspecified and puts into `refusal` one
// line per problem, each naming its line numbers (code page 1251, lines joined by "\r").
bool parse_csv(std::string_view bytes, CsvImport& out, std::string& refusal);
// Reads a file; an unreadable file and a refusal are shown through the message sink, and `out`
// is then left as it was.
bool read_csv_file(const std::string& file_name, CsvImport& out);

} // namespace tgm
