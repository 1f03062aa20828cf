#pragma once
// Workbooks (.xlsx and .ods) as the spreadsheet import reads them: each sheet becomes the text
// of a TAB-separated file, one line per sheet row, so that every shape found in a CSV file is
// found in a sheet the same way.
#include "forms/csv_records.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tgm {

struct WorkbookSheet {
    std::string name; // UTF-8
    // UTF-8: cells separated by TAB, quoted as CSV where a cell holds a separator, a quote or a
    // line end; row n of the sheet on line n. Numbers are the cells' stored values with "."
    // before the decimals; text, dates, booleans and errors as the cell shows them.
    std::string text;
};

// The sizes no real table comes near; beyond them a sheet is cut (rows, columns) or refused.
constexpr std::size_t kMaxSheetRows = 1048576;
constexpr std::size_t kMaxSheetColumns = kMaxCsvFields;

// Where a workbook's parts (members of its archive) come from.
class WorkbookParts {
public:
    virtual ~WorkbookParts() = default;
    virtual bool has(const std::string& name) const = 0;
    // The part's bytes; false with the reason (UTF-8).
    virtual bool read(const std::string& name, std::string& out, std::string& reason_utf8) = 0;
};

// ".xlsx" or ".ods", letter case ignored.
bool is_workbook_file_name(const std::string& file_name);

// The sheets of an .xlsx or .ods workbook in `bytes` (the kind told by what is inside), in their
// order. False with the reason (UTF-8) for anything that is not such a workbook, is encrypted,
// broken, or bigger than the import reads; nothing is written anywhere.
bool read_workbook(std::string_view bytes, std::vector<WorkbookSheet>& sheets,
                   std::string& reason_utf8);
// The same from the parts of an archive already opened.
bool read_workbook_parts(WorkbookParts& parts, std::vector<WorkbookSheet>& sheets,
                         std::string& reason_utf8);

} // namespace tgm
