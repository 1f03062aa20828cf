#include "forms/csv_reader.h"

#include "forms/csv_records.h"
#include "forms/csv_writer.h"
#include "forms/form_kind.h"
#include "forms/form_problem.h"
#include "forms/number_text.h"
#include "forms/spreadsheet_reader.h"
#include "support/cp1251.h"
#include "support/message_sink.h"
#include "support/platform.h"
#include "support/read_problem.h"
#include "support/xfile.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tgm {
namespace {

constexpr std::string_view kVolumeWithoutYo = "Объем, л";

// One channel of the file: the header of its first row and the rows whose header differs.
struct Channel {
    std::string header; // UTF-8
    int32_t header_line = 0;
    std::vector<int32_t> other_headers;
    std::vector<StrapPoint> rows;
};

bool is_header_row(const std::vector<std::string>& f) {
    return f.size() == 4 && f[0] == kCsvChannel && f[1] == kCsvHeader && f[2] == kCsvLevel &&
           (f[3] == kCsvVolume || f[3] == kVolumeWithoutYo);
}

bool ends_in(const std::string& file_name, std::string_view extension) {
    const std::size_t slash = last_path_separator(file_name);
    const std::size_t dot = file_name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string ext = file_name.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == extension;
}

// The program's own layout, its header row already recognised: one row per point.
bool parse_own_layout(std::string_view text, CsvImport& out, std::string& refusal) {
    CsvRecordScanner scanner(text);
    CsvRecord record;
    LineRefusal refused;
    int32_t header_line = 1;
    while (scanner.next(record)) {
        if (is_empty_csv_record(record.fields))
            continue;
        header_line = record.line;
        break;
    }

    std::array<Channel, FDATA::kMaxTables> channels;
    std::vector<int32_t> unreadable;
    std::vector<int32_t> outside;
    bool any_row = false;
    while (scanner.next(record)) {
        if (is_empty_csv_record(record.fields))
            continue;
        any_row = true;
        drop_trailing_empty_fields(record.fields);
        const std::vector<std::string>& f = record.fields;
        int32_t channel = 0;
        StrapPoint row;
        row.line = record.line;
        const std::string level = csv_without_spaces(f.size() == 4 ? f[2] : "");
        const std::string volume = csv_without_spaces(f.size() == 4 ? f[3] : "");
        int32_t whole_cm = 0;
        bool exact_tenths = false;
        if (f.size() != 4 || !integer_of_text(csv_without_spaces(f[0]), channel) ||
            !rounded_scaled_decimal(level, 2, row.tenths, exact_tenths) ||
            !rounded_scaled_decimal(level, 0, whole_cm, row.whole_centimetre) ||
            !rounded_scaled_decimal(volume, 0, row.litres, row.whole_litres)) {
            unreadable.push_back(record.line);
            continue;
        }
        if (channel < 1 || channel > FDATA::kMaxTables) {
            outside.push_back(record.line);
            continue;
        }
        Channel& c = channels[static_cast<std::size_t>(channel - 1)];
        const std::string_view header = csv_trimmed(f[1]);
        if (c.rows.empty()) {
            c.header = header;
            c.header_line = record.line;
        } else if (header != c.header) {
            c.other_headers.push_back(record.line);
        }
        c.rows.push_back(row);
    }
    if (!any_row) {
        refused.add({header_line}, "за строкой заголовка нет ни одной точки");
        refusal = refused.text();
        return false;
    }
    refused.add(unreadable, "не прочитаны: нужны канал, заголовок, уровень (см) и объём (л), "
                            "разделённые \";\"");
    refused.add(outside, "номер канала вне 1–16");

    out.tables.clear();
    out.resampled = 0;
    out.sources = {};
    out.rows = 0;
    for (int32_t k = 0; k < FDATA::kMaxTables; ++k) {
        Channel& c = channels[static_cast<std::size_t>(k)];
        if (!c.rows.empty()) {
            out.rows += static_cast<int32_t>(c.rows.size());
            refused.add(c.other_headers, "заголовок канала " + text_of_integer(k + 1) +
                                             " не тот, что в строке " +
                                             text_of_integer(c.header_line));
        }
        out.take_table(k, std::move(c.rows), AsIsRule::every_point, c.header, refused);
    }
    if (!refused.empty()) {
        refusal = refused.text();
        return false;
    }
    return true;
}

} // namespace

bool is_csv_file_name(const std::string& file_name) { return ends_in(file_name, ".csv"); }

bool is_spreadsheet_file_name(const std::string& file_name) {
    return ends_in(file_name, ".csv") || ends_in(file_name, ".tsv") ||
           is_workbook_file_name(file_name);
}

namespace {

// The shape of source.text.
bool find_text_shape(CsvSource& source, std::string& refusal) {
    source.own_layout = false;
    source.layout = SpreadsheetLayout();
    CsvRecordScanner scanner(source.text);
    CsvRecord record;
    while (scanner.next(record)) {
        if (is_empty_csv_record(record.fields))
            continue;
        drop_trailing_empty_fields(record.fields);
        source.own_layout = is_header_row(record.fields);
        break;
    }
    if (source.own_layout)
        return true;
    std::string why;
    if (find_spreadsheet_layout(source.text, source.layout, why))
        return true;
    refusal = cp(why);
    return false;
}

} // namespace

bool find_csv_shape(std::string_view bytes, CsvSource& source, std::string& refusal) {
    source.text = csv_utf8_text(bytes);
    source.sheets.clear();
    source.sheet = 0;
    source.sheet_name.clear();
    return find_text_shape(source, refusal);
}

bool choose_sheet(CsvSource& source, std::size_t sheet, std::string& refusal) {
    if (sheet >= source.sheets.size()) {
        refusal = cp("В книге нет такого листа");
        return false;
    }
    source.sheet = sheet;
    source.sheet_name = source.sheets[sheet].name;
    source.text = source.sheets[sheet].text;
    if (find_text_shape(source, refusal))
        return true;
    refusal = cp("Лист «") + utf8_to_cp1251(source.sheets[sheet].name) + cp("»: ") + refusal;
    return false;
}

std::vector<CsvSource> sheet_sources(const CsvSource& workbook) {
    std::vector<CsvSource> found;
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        CsvSource one;
        one.text = workbook.sheets[i].text;
        one.sheet = i;
        one.sheet_name = workbook.sheets[i].name;
        std::string refusal;
        if (find_text_shape(one, refusal))
            found.push_back(std::move(one));
    }
    return found;
}

bool read_csv_sources(const std::vector<CsvSource>& sources, CsvImport& out,
                      std::vector<CsvImport>& each, std::string& refusal) {
    out = CsvImport();
    each.clear();
    for (int32_t k = 0; k < FDATA::kMaxTables; ++k)
        out.tables.table(k).make_empty(kFormFs);
    std::string refused;
    for (const CsvSource& source : sources) {
        each.emplace_back();
        CsvImport& one = each.back();
        std::string why;
        const std::string sheet = cp("Лист «") + utf8_to_cp1251(source.sheet_name) + cp("»: ");
        if (!read_csv_source(source, one, why)) {
            refused += (refused.empty() ? "" : "\r") + sheet + why;
            continue;
        }
        for (int32_t k = 0; k < static_cast<int32_t>(one.tables.count); ++k) {
            if (!one.tables.table(k).filled())
                continue;
            if (out.tables.table(k).filled()) {
                refused += (refused.empty() ? "" : "\r") + sheet +
                           cp("канал " + text_of_integer(k + 1) + " уже взят с другого листа");
                continue;
            }
            out.tables.table(k) = one.tables.table(k);
            out.tables.count = std::max(out.tables.count, static_cast<uint32_t>(k + 1));
            out.sources[static_cast<std::size_t>(k)] = one.sources[static_cast<std::size_t>(k)];
            out.resampled |= one.resampled & (1u << k);
        }
        out.rows += one.rows;
    }
    if (!refused.empty()) {
        refusal = refused;
        return false;
    }
    return true;
}

bool read_csv_source(const CsvSource& source, CsvImport& out, std::string& refusal) {
    return source.own_layout ? parse_own_layout(source.text, out, refusal)
                             : read_spreadsheet(source.text, source.layout, out, refusal);
}

bool parse_csv(std::string_view bytes, CsvImport& out, std::string& refusal) {
    CsvSource source;
    return find_csv_shape(bytes, source, refusal) && read_csv_source(source, out, refusal);
}

bool open_csv_file(const std::string& file_name, CsvSource& source) {
    std::string bytes;
    if (!read_whole_file(file_name, bytes, FDATA::kMaxFormFileBytes)) {
        show_message_with_reason(
            cp("Файл испорчен!"),
            FormProblem{0, read_problem(file_name, FDATA::kMaxFormFileBytes)}.text(file_name));
        return false;
    }
    std::string refusal;
    if (is_workbook_file_name(file_name)) {
        source = CsvSource();
        std::string reason;
        if (!read_workbook(bytes, source.sheets, reason)) {
            show_message_with_reason(cp("Книга не читается!"),
                                     cp(file_name + ": ") + utf8_to_cp1251(reason));
            return false;
        }
        const std::vector<CsvSource> tables = sheet_sources(source);
        if (choose_sheet(source, tables.empty() ? 0 : tables.front().sheet, refusal))
            return true;
        show_message(refusal, MessageKind::warning);
        return false;
    }
    if (!find_csv_shape(bytes, source, refusal)) {
        show_message(refusal, MessageKind::warning);
        return false;
    }
    return true;
}

bool take_csv_tables(const CsvSource& source, CsvImport& out) {
    CsvImport read;
    std::string refusal;
    if (!read_csv_source(source, read, refusal)) {
        show_message(refusal, MessageKind::warning);
        return false;
    }
    out.tables.assign(read.tables);
    out.resampled = read.resampled;
    out.sources = read.sources;
    out.rows = read.rows;
    out.skipped = read.skipped;
    return true;
}

} // namespace tgm
