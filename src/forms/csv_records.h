#pragma once
// The records of a spreadsheet's text file: fields between separators, quotes as RFC 4180 has
// them, any line end; and the small text steps every CSV reader takes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tgm {

// The fields of a record that are kept; a spreadsheet has no more columns, and those beyond
// are read over.
constexpr std::size_t kMaxCsvFields = 16384;

// One record of the file: its fields and the line it starts on.
struct CsvRecord {
    int32_t line = 0;
    std::vector<std::string> fields;
};

// Splits UTF-8 text into records. A line end inside quotes becomes one blank: spreadsheets put
// one there only in a header cell.
class CsvRecordScanner {
public:
    explicit CsvRecordScanner(std::string_view text, char separator = ';')
        : text_(text), separator_(separator) {}

    bool next(CsvRecord& record);

private:
    void skip_line_end();
    void read_quoted(std::string& field);

    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
    int32_t line_ = 1;
};

// The first `count` records of the text, empty ones included: what a preview shows.
std::vector<CsvRecord> first_csv_records(std::string_view text, char separator, std::size_t count);

// The file's text as UTF-8: a byte-order mark or text that decodes as UTF-8 is UTF-8, anything
// else is code page 1251.
std::string csv_utf8_text(std::string_view bytes);
// Without blanks and TABs at either end.
std::string_view csv_trimmed(std::string_view s);
// Digit groups in spreadsheets: blanks, no-break spaces and narrow no-break spaces go.
std::string csv_without_spaces(std::string_view s);
// Appends a field, quoted (its quotes doubled) when it holds any of `special`: what a reader
// would otherwise split or misread.
void append_csv_field(std::string& out, std::string_view text, std::string_view special);
// Empty lines and lines of separators only carry nothing.
bool is_empty_csv_record(const std::vector<std::string>& fields);
void drop_trailing_empty_fields(std::vector<std::string>& fields);

} // namespace tgm
