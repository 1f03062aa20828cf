#include "forms/csv_records.h"

#include "support/cp1251.h"

#include <algorithm>

namespace tgm {

bool CsvRecordScanner::next(CsvRecord& record) {
    if (pos_ >= text_.size())
        return false;
    record.line = line_;
    record.fields.clear();
    std::string field;
    bool at_field_start = true;
    // Fields past the bound are scanned over, never kept: a row of ten million cells costs
    // its reading, not ten million strings.
    auto keeping = [&record] { return record.fields.size() < kMaxCsvFields; };
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (at_field_start && c == '"') {
            read_quoted(field);
            if (!keeping())
                field.clear();
            at_field_start = false;
        } else if (c == separator_) {
            if (keeping())
                record.fields.push_back(std::move(field));
            field.clear();
            at_field_start = true;
            ++pos_;
        } else if (c == '\r' || c == '\n') {
            skip_line_end();
            break;
        } else {
            if (keeping())
                field += c;
            at_field_start = false;
            ++pos_;
        }
    }
    if (keeping())
        record.fields.push_back(std::move(field));
    return true;
}

void CsvRecordScanner::skip_line_end() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
        ++pos_;
    ++pos_;
    ++line_;
}

// From the opening quote to the closing one; an unclosed quote runs to the end of the text.
void CsvRecordScanner::read_quoted(std::string& field) {
    ++pos_;
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '"') {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                field += '"';
                pos_ += 2;
                continue;
            }
            ++pos_;
            return;
        }
        if (c == '\r' || c == '\n') {
            skip_line_end();
            field += ' ';
            continue;
        }
        field += c;
        ++pos_;
    }
}

void append_csv_field(std::string& out, std::string_view text, std::string_view special) {
    if (text.find_first_of(special) == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::vector<CsvRecord> first_csv_records(std::string_view text, char separator, std::size_t count) {
    std::vector<CsvRecord> records;
    CsvRecordScanner scanner(text, separator);
    CsvRecord record;
    while (records.size() < count && scanner.next(record))
        records.push_back(record);
    return records;
}

std::string csv_utf8_text(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom)
        return std::string(bytes.substr(kBom.size()));
    if (is_utf8(bytes))
        return std::string(bytes);
    return cp1251_to_utf8(bytes);
}

std::string_view csv_trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string csv_without_spaces(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ' ')
            continue;
        if (s.substr(i, 2) == "\xC2\xA0") {
            ++i;
            continue;
        }
        if (s.substr(i, 3) == "\xE2\x80\xAF") {
            i += 2;
            continue;
        }
        out += s[i];
    }
    return out;
}

bool is_empty_csv_record(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return f.empty(); });
}

void drop_trailing_empty_fields(std::vector<std::string>& fields) {
    while (fields.size() > 1 && fields.back().empty())
        fields.pop_back();
}

} // namespace tgm
