#pragma once
// Reading strap tables from spreadsheets: the program's own layout of rows
// "channel;header;level cm;volume l", or a table as a lab hands it over, found by its header
// words. Either becomes up to 16 tables of litres per whole centimetre.
#include "forms/csv_import.h"
#include "forms/spreadsheet_layout.h"
#include "forms/workbook_reader.h"

#include <string>
#include <string_view>

namespace tgm {

// Whether the name ends in ".csv", letter case ignored: the file the export writes.
bool is_csv_file_name(const std::string& file_name);
// ".csv", ".tsv", ".xlsx" or ".ods", letter case ignored: the files the import reads.
bool is_spreadsheet_file_name(const std::string& file_name);

// A spreadsheet file's text and the shape found in it.
struct CsvSource {
    std::string text;         // UTF-8
    bool own_layout = false;  // its first row is the export's header row
    SpreadsheetLayout layout; // otherwise the layout found, units as the header gives them
    // A workbook's sheets (none for a text file or a sheet taken alone); `text` and the shape
    // are those of sheet number `sheet`, named `sheet_name` (UTF-8).
    std::vector<WorkbookSheet> sheets;
    std::size_t sheet = 0;
    std::string sheet_name;
};

// Finds the shape of a file's bytes (UTF-8 with or without a byte-order mark, or code page
// 1251). False with a refusal (code page 1251, naming the line) when the file is neither in the
// own layout nor has a row that names a level and a volume column.
bool find_csv_shape(std::string_view bytes, CsvSource& source, std::string& refusal);
// Takes sheet `sheet` of a workbook source as its text and finds its shape; false with a refusal
// as find_csv_shape's when the sheet holds no table.
bool choose_sheet(CsvSource& source, std::size_t sheet, std::string& refusal);
// Each sheet of a workbook source in which a table's shape is found, in order, as a source of
// its own (without the other sheets).
std::vector<CsvSource> sheet_sources(const CsvSource& workbook);
// A workbook's sheets read together, each by its own source: the tables of every sheet into one
// file's channels, and what each sheet gave into `each` (one per source). A channel that two
// sheets give refuses the whole.
bool read_csv_sources(const std::vector<CsvSource>& sources, CsvImport& out,
                      std::vector<CsvImport>& each, std::string& refusal);

// Reads the tables: the own layout as the export writes it, any other by source.layout. A
// refusal leaves `out` unspecified and puts into `refusal` one line per problem, each naming its
// line numbers (code page 1251, lines joined by "\r").
bool read_csv_source(const CsvSource& source, CsvImport& out, std::string& refusal);
// Both steps on a file's bytes, units as its header gives them.
bool parse_csv(std::string_view bytes, CsvImport& out, std::string& refusal);

// Reads a file and finds its shape (a workbook's first sheet that holds a table); an unreadable
// file and a refusal are shown through the message sink.
bool open_csv_file(const std::string& file_name, CsvSource& source);
// read_csv_source with the refusal shown through the message sink; `out` is then left as it was.
bool take_csv_tables(const CsvSource& source, CsvImport& out);

} // namespace tgm
