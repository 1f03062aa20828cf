#include "forms/spreadsheet_reader.h"

#include "forms/csv_records.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tgm {
namespace {

// Decimal places that turn the unit into tenths of a millimetre, or litres.
int level_digits(LevelUnit u) {
    return u == LevelUnit::mm ? 1 : u == LevelUnit::cm ? 2 : u == LevelUnit::dm ? 3 : 4;
}
int volume_digits(VolumeUnit u) { return u == VolumeUnit::m3 ? 3 : 0; }

// What stops the layout from being read at all: roles that do not pair, units not known.
std::string layout_problems(const SpreadsheetLayout& layout) {
    std::vector<std::string> missing;
    const std::size_t levels = layout.count(ColumnRole::level);
    const std::size_t grid = layout.count(ColumnRole::grid);
    const std::size_t volumes = layout.count(ColumnRole::volume) + grid;
    if (levels == 0)
        missing.emplace_back("нет столбца уровня");
    if (volumes == 0)
        missing.emplace_back("нет столбца объёма");
    if (levels > 0 && volumes > 0 && grid == 0 && levels != volumes)
        missing.push_back("столбцов уровня " + text_of_integer(static_cast<int64_t>(levels)) +
                          ", объёма " + text_of_integer(static_cast<int64_t>(volumes)) +
                          ": они должны идти парами");
    if (layout.count(ColumnRole::channel) > 1)
        missing.emplace_back("больше одного столбца канала");
    if (levels > 0 && layout.level_unit == LevelUnit::unknown)
        missing.emplace_back("единицы уровня не указаны");
    if (volumes > 0 && layout.volume_unit == VolumeUnit::unknown)
        missing.emplace_back("единицы объёма не указаны");
    if (layout.table_channel != 0 && layout.count(ColumnRole::channel) > 0)
        missing.emplace_back("канал таблицы задан, а в файле есть столбец канала");
    if (layout.table_channel < 0 || layout.table_channel > FDATA::kMaxTables)
        missing.emplace_back("канал таблицы вне 1–16");
    std::string text;
    for (const std::string& m : missing)
        text += (text.empty() ? "" : "; ") + m;
    return text;
}

// The repeated header row of a sheet printed over several pages.
bool is_header_again(const CsvRecord& record, const SpreadsheetLayout& layout) {
    if (record.fields.size() > layout.columns.size())
        return false;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        const std::string_view cell =
            i < record.fields.size() ? std::string_view(record.fields[i]) : std::string_view();
        if (csv_trimmed(cell) != layout.columns[i].title)
            return false;
    }
    return true;
}

// A number as a cell may hold one: a sign, digits, decimal sign and group separators.
bool is_number_cell(const std::string& cell) {
    const std::string t = csv_without_spaces(csv_trimmed(cell));
    std::size_t i = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
    bool digit = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digit = true;
        else if (t[i] != ',' && t[i] != '.') // group separators too: the point reads or refuses
            return false;
    }
    return digit;
}

// "29,416.7" with "." as the decimal sign, "29.416,7" with ",": the other sign between groups of
// three digits goes. Any other use of it is left for the number to refuse.
std::string without_groups(std::string t, char decimal) {
    if (decimal == 0)
        return t;
    const char group = decimal == '.' ? ',' : '.';
    if (t.find(group) == std::string::npos)
        return t;
    const std::size_t start = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
    const std::size_t end = std::min(t.find(decimal), t.size());
    std::size_t digits = 0, groups = 0;
    for (std::size_t i = start; i < end; ++i) {
        if (t[i] == group) {
            if ((groups == 0 ? digits < 1 || digits > 3 : digits != 3))
                return t;
            digits = 0;
            ++groups;
        } else if (t[i] >= '0' && t[i] <= '9') {
            ++digits;
        } else {
            return t;
        }
    }
    if (groups == 0 || digits != 3)
        return t;
    std::erase(t, group);
    return t;
}

bool read_point(const std::string& level_cell, const std::string& volume_cell,
                const SpreadsheetLayout& layout, int32_t line, StrapPoint& p) {
    const std::string level =
        without_groups(csv_without_spaces(csv_trimmed(level_cell)), layout.decimal);
    const std::string volume =
        without_groups(csv_without_spaces(csv_trimmed(volume_cell)), layout.decimal);
    bool level_exact = false;
    p.line = line;
    if (!rounded_scaled_decimal(level, level_digits(layout.level_unit), p.tenths, level_exact) ||
        !rounded_scaled_decimal(volume, volume_digits(layout.volume_unit), p.litres,
                                p.whole_litres))
        return false;
    p.whole_centimetre = level_exact && p.tenths % 100 == 0;
    return true;
}

} // namespace

bool read_spreadsheet(std::string_view text, const SpreadsheetLayout& layout, CsvImport& out,
                      std::string& refusal) {
    LineRefusal refused;
    const std::string problems = layout_problems(layout);
    if (!problems.empty()) {
        const std::string found = found_text(layout);
        refused.add({layout.header_line}, (found.empty() ? "" : found + "; ") + problems);
        refusal = refused.text();
        return false;
    }
    const std::vector<PointColumns> pairs = layout.point_columns();
    const std::size_t channel_column = layout.channel_column();
    const bool has_channel = channel_column < layout.columns.size();
    const int32_t table_channel = layout.table_channel > 0 ? layout.table_channel : 1;

    std::array<std::vector<StrapPoint>, FDATA::kMaxTables> channels;
    std::vector<int32_t> unreadable, outside;
    out.rows = 0;
    out.skipped.clear();
    CsvRecordScanner scanner(text, layout.separator);
    CsvRecord record;
    while (scanner.next(record)) {
        if (record.line <= layout.header_line || is_empty_csv_record(record.fields) ||
            is_header_again(record, layout))
            continue;
        drop_trailing_empty_fields(record.fields);
        const std::vector<std::string>& f = record.fields;
        auto cell = [&f](std::size_t i) -> const std::string& {
            static const std::string kEmpty;
            return i < f.size() ? f[i] : kEmpty;
        };
        // A field beyond the header's columns: a "," decimal in a ","-separated file that was
        // not quoted would shift every number after it.
        // A row with no number under any level or volume column is a note: a signature, a page
        // title. One with a number there and text beside it is a typo and refuses the file.
        bool any_number = false;
        for (const PointColumns& c : pairs)
            any_number =
                any_number || is_number_cell(cell(c.level)) || is_number_cell(cell(c.volume));
        if (!any_number) {
            out.skipped.push_back(record.line);
            continue;
        }
        bool readable = f.size() <= layout.columns.size() || csv_trimmed(f.back()).empty();
        std::vector<StrapPoint> points;
        for (const PointColumns& c : pairs) {
            const bool no_level = csv_trimmed(cell(c.level)).empty();
            const bool no_volume = csv_trimmed(cell(c.volume)).empty();
            // A shorter last column pair; in a grid, the last row's cells above the top.
            if ((no_level || c.step != 0) && no_volume)
                continue;
            StrapPoint p;
            if (no_level || no_volume ||
                !read_point(cell(c.level), cell(c.volume), layout, record.line, p))
                readable = false;
            p.tenths += c.step;
            points.push_back(p);
        }
        if (!readable) {
            unreadable.push_back(record.line);
            continue;
        }
        int32_t channel = table_channel;
        if (has_channel &&
            !integer_of_text(csv_without_spaces(csv_trimmed(cell(channel_column))), channel)) {
            unreadable.push_back(record.line);
            continue;
        }
        if (channel < 1 || channel > FDATA::kMaxTables) {
            outside.push_back(record.line);
            continue;
        }
        ++out.rows;
        auto& rows = channels[static_cast<std::size_t>(channel - 1)];
        rows.insert(rows.end(), points.begin(), points.end());
    }
    if (out.rows == 0 && unreadable.empty() && outside.empty()) {
        refused.add({layout.header_line}, "за строкой заголовка нет ни одной точки");
        refusal = refused.text();
        return false;
    }
    refused.add(unreadable, "не прочитаны: в столбцах уровня и объёма нужны числа");
    refused.add(outside, "номер канала вне 1–16");

    out.tables.clear();
    out.resampled = 0;
    out.sources = {};
    for (int32_t k = 0; k < FDATA::kMaxTables; ++k)
        out.take_table(k, std::move(channels[static_cast<std::size_t>(k)]),
                       AsIsRule::whole_centimetres, layout.title, refused);
    if (!refused.empty()) {
        refusal = refused.text();
        return false;
    }
    return true;
}

} // namespace tgm
