#pragma once
// Reading a spreadsheet table by its layout: levels and volumes exactly from their decimal text.
#include "forms/csv_import.h"
#include "forms/spreadsheet_layout.h"

#include <string>
#include <string_view>

namespace tgm {

// Reads the rows under the layout's header row (UTF-8 text) into `out`. Levels become tenths of
// a millimetre and volumes litres in exact decimal steps, cut toward zero. A table with a point
// at every whole centimetre from 0 to its top is taken at those points; any other is resampled
// as an .f1 table. A refusal (code page 1251, one line per problem naming its lines) leaves
// `out` unspecified.
bool read_spreadsheet(std::string_view text, const SpreadsheetLayout& layout, CsvImport& out,
                      std::string& refusal);

} // namespace tgm
