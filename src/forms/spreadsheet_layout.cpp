#include "forms/spreadsheet_layout.h"

#include "forms/csv_records.h"
#include "forms/number_text.h"

#include <algorithm>

namespace tgm {
namespace {

// Lower case for the letters header words use: ASCII and Cyrillic (Ё included).
std::string lower_case(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xD0 && i + 1 < s.size()) {
            const unsigned char d = static_cast<unsigned char>(s[++i]);
            if (d >= 0x90 && d <= 0x9F) { // А-П
                out += '\xD0';
                out += static_cast<char>(d + 0x20);
            } else if (d >= 0xA0 && d <= 0xAF) { // Р-Я
                out += '\xD1';
                out += static_cast<char>(d - 0x20);
            } else if (d == 0x81) { // Ё
                out += "\xD1\x91";
            } else {
                out += static_cast<char>(c);
                out += static_cast<char>(d);
            }
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A word typed with Latin and Cyrillic letters mixed ("Oбъём" with a Latin O, "mм") is read
// in Cyrillic: the Latin letters that look like Cyrillic ones become those.
std::string cyrillic_look_alikes(const std::string& word) {
    bool latin = false, cyrillic = false;
    for (unsigned char c : word) {
        latin = latin || (c >= 'a' && c <= 'z');
        cyrillic = cyrillic || c == 0xD0 || c == 0xD1;
    }
    if (!latin || !cyrillic)
        return word;
    static const struct {
        char latin;
        const char* cyrillic;
    } kLookAlikes[] = {{'a', "а"}, {'b', "в"}, {'c', "с"}, {'e', "е"}, {'h', "н"}, {'k', "к"},
                       {'m', "м"}, {'o', "о"}, {'p', "р"}, {'t', "т"}, {'x', "х"}, {'y', "у"}};
    std::string out;
    for (char c : word) {
        const char* mapped = nullptr;
        for (const auto& l : kLookAlikes)
            if (l.latin == c)
                mapped = l.cyrillic;
        out += mapped ? std::string(mapped) : std::string(1, c);
    }
    return out;
}

// Words of a lower-cased cell: runs of ASCII letters and digits, Cyrillic letters and "³".
// A "/" stands as a word of its own, so that a rate ("м³/мм") can be told from a volume.
std::vector<std::string> words_of(std::string_view s) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty())
            words.push_back(cyrillic_look_alikes(word));
        word.clear();
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const bool ascii_word = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        const bool cyrillic = (c == 0xD0 || c == 0xD1) && i + 1 < s.size();
        const bool cube =
            c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xB3;
        // Code page 1251 has no "³": a Russian "Save as CSV" writes "м?" and "дм?".
        const bool lost_cube = c == '?' && (word == "м" || word == "дм");
        if (ascii_word) {
            word += static_cast<char>(c);
        } else if (lost_cube) {
            word += "³";
        } else if (cyrillic || cube) {
            word += s.substr(i, 2);
            ++i;
        } else {
            flush();
            if (c == '/')
                words.emplace_back("/");
        }
    }
    flush();
    return words;
}

bool starts(std::string_view word, std::string_view prefix) {
    return word.substr(0, prefix.size()) == prefix;
}

ColumnRole role_word(std::string_view w) {
    for (std::string_view p : {"уровен", "уровн", "высот", "налив", "level"})
        if (starts(w, p))
            return ColumnRole::level;
    for (std::string_view p : {"объём", "объем", "вместимост", "volume"})
        if (starts(w, p))
            return ColumnRole::volume;
    if (starts(w, "канал") || starts(w, "channel"))
        return ColumnRole::channel;
    // The one-letter names, in either alphabet: "Н" and "H", "V", "В" and "B".
    if (w == "h" || w == "н")
        return ColumnRole::level;
    if (w == "v" || w == "в" || w == "b")
        return ColumnRole::volume;
    return ColumnRole::unused;
}

LevelUnit level_unit_word(std::string_view w) {
    if (w == "мм" || w == "mm" || starts(w, "миллиметр"))
        return LevelUnit::mm;
    if (w == "см" || w == "cm" || starts(w, "сантиметр"))
        return LevelUnit::cm;
    if (w == "м" || w == "m" || starts(w, "метр"))
        return LevelUnit::m;
    if (w == "дм" || w == "dm" || starts(w, "дециметр"))
        return LevelUnit::dm;
    return LevelUnit::unknown;
}

VolumeUnit volume_unit_of(const std::vector<std::string>& words) {
    bool cubic = false; // "куб", "кубических", "кубометр"
    for (const std::string& w : words)
        cubic = cubic || starts(w, "куб");
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        const bool cubed_next = i + 1 < words.size() && words[i + 1] == "3";
        if (w == "л" || w == "l" || starts(w, "литр") || starts(w, "litre") || starts(w, "liter"))
            return VolumeUnit::litre;
        if (w == "дм3" || w == "дм³" || w == "dm3" || w == "dm³" ||
            ((w == "дм" || w == "dm") && (cubed_next || cubic)))
            return VolumeUnit::dm3;
        if (w == "м3" || w == "м³" || w == "m3" || w == "m³" || starts(w, "кубометр") ||
            ((w == "м" || w == "m") && (cubed_next || cubic)))
            return VolumeUnit::m3;
    }
    return cubic ? VolumeUnit::m3 : VolumeUnit::unknown;
}

// Whether the words name a rate or a correction beside the volume ("коэффициент вместимости,
// м³/мм", "поправка к вместимости", "приращение на 1 см", "increment per mm"): no volume.
bool is_rate(const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        for (std::string_view p :
             {"коэф", "coef", "factor", "поправк", "приращ", "correction", "increment"})
            if (starts(w, p))
                return true;
        if (w == "per")
            return true;
        const bool level_next =
            i + 1 < words.size() && level_unit_word(words[i + 1]) != LevelUnit::unknown;
        if (w == "/" && level_next)
            return true;
        if (w == "на" && i + 2 < words.size() && words[i + 1] == "1" &&
            level_unit_word(words[i + 2]) != LevelUnit::unknown)
            return true;
    }
    return false;
}

// What a header cell names: its role by its first role word, and its unit.
SpreadsheetColumn column_of(std::string_view cell) {
    SpreadsheetColumn column;
    column.title = std::string(csv_trimmed(cell));
    // A header cell is a few words; a longer one (a whole line not split) names no column.
    constexpr std::size_t kLongestHeaderCell = 1024;
    if (column.title.size() > kLongestHeaderCell)
        return column;
    const std::vector<std::string> words = words_of(lower_case(column.title));
    if (is_rate(words))
        return SpreadsheetColumn{column.title};
    for (const std::string& w : words) {
        column.role = role_word(w);
        if (column.role != ColumnRole::unused)
            break;
    }
    if (column.role == ColumnRole::level) {
        for (const std::string& w : words)
            if ((column.level_unit = level_unit_word(w)) != LevelUnit::unknown)
                break;
    } else if (column.role == ColumnRole::volume) {
        column.volume_unit = volume_unit_of(words);
    }
    return column;
}

// The unit the columns of one role agree on; none named or two different: unknown.
template <typename Unit, typename Of>
Unit agreed_unit(const std::vector<SpreadsheetColumn>& columns, ColumnRole role, Of unit_of) {
    Unit agreed = Unit::unknown;
    for (const SpreadsheetColumn& c : columns) {
        const Unit u = unit_of(c);
        if (c.role != role || u == Unit::unknown)
            continue;
        if (agreed != Unit::unknown && agreed != u)
            return Unit::unknown;
        agreed = u;
    }
    return agreed;
}

std::string columns_text(const SpreadsheetLayout& layout, ColumnRole role) {
    std::string text;
    std::size_t n = 0;
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
        if (layout.columns[i].role == role)
            text += (n++ ? ", " : "") + text_of_integer(static_cast<int64_t>(i + 1));
    return (n == 1 ? "столбец " : "столбцы ") + text;
}

// The units as the messages write them, in code page 1251's letters.
const char* level_unit_text(LevelUnit u) {
    switch (u) {
    case LevelUnit::mm: return "мм";
    case LevelUnit::cm: return "см";
    case LevelUnit::m: return "м";
    case LevelUnit::dm: return "дм";
    default: return "";
    }
}

const char* volume_unit_text(VolumeUnit u) {
    switch (u) {
    case VolumeUnit::litre: return "л";
    case VolumeUnit::dm3: return "дм3";
    case VolumeUnit::m3: return "м3";
    default: return "";
    }
}

// The printed grid's header: after a level column the numbers 0 … 9 (centimetres) or 0, 10 …
// 90 (millimetres), one a cell. Marks those cells as grid columns; false when the row has none.
bool mark_grid(std::vector<SpreadsheetColumn>& columns) {
    for (std::size_t i = 0; i + 10 < columns.size() + 1; ++i) {
        if (columns[i].role != ColumnRole::level)
            continue;
        int unit = 0; // 1: centimetres, 10: millimetres
        std::size_t k = 0;
        for (; k < 10 && i + 1 + k < columns.size(); ++k) {
            const std::string& t = columns[i + 1 + k].title;
            if (k == 1)
                unit = t == "1" ? 1 : t == "10" ? 10 : 0;
            if (k > 0 && (unit == 0 || t != std::to_string(k * unit)))
                break;
            if (k == 0 && t != "0")
                break;
        }
        if (k < 10)
            continue;
        for (k = 0; k < 10; ++k) {
            columns[i + 1 + k].role = ColumnRole::grid;
            columns[i + 1 + k].grid_step = static_cast<int32_t>(k) * 100;
        }
        return true;
    }
    return false;
}

// One candidate separator's search for the header row.
struct HeaderSearch {
    bool found = false;
    bool partial = false; // a row names a level or a volume column, not both
    CsvRecord header;     // the header row, or the first partial row
    std::string title;
    int32_t first_line = 0; // the first non-empty line
};

HeaderSearch search_header(std::string_view text, char separator) {
    HeaderSearch s;
    CsvRecordScanner scanner(text, separator);
    CsvRecord record;
    std::string title;
    while (scanner.next(record)) {
        if (is_empty_csv_record(record.fields))
            continue;
        if (s.first_line == 0)
            s.first_line = record.line;
        bool level = false, volume = false;
        std::vector<SpreadsheetColumn> columns;
        for (const std::string& cell : record.fields) {
            columns.push_back(column_of(cell));
            const ColumnRole role = columns.back().role;
            level = level || role == ColumnRole::level;
            volume = volume || role == ColumnRole::volume;
        }
        volume = volume || (level && mark_grid(columns));
        if (level && volume) {
            s.found = true;
            s.header = record;
            s.title = title;
            return s;
        }
        if ((level || volume) && !s.partial) {
            s.partial = true;
            s.header = record;
        }
        if (title.empty()) {
            for (const std::string& cell : record.fields) {
                const std::string_view t = csv_trimmed(cell);
                if (!t.empty())
                    title += (title.empty() ? "" : " ") + std::string(t);
            }
        }
    }
    return s;
}

// A grid names its volumes' unit above its header, in a title ("Вместимость, м³").
VolumeUnit title_volume_unit(std::string_view text, const SpreadsheetLayout& layout) {
    CsvRecordScanner scanner(text, layout.separator);
    CsvRecord record;
    while (scanner.next(record) && record.line < layout.header_line)
        for (const std::string& cell : record.fields) {
            const SpreadsheetColumn c = column_of(cell);
            if (c.role == ColumnRole::volume && c.volume_unit != VolumeUnit::unknown)
                return c.volume_unit;
        }
    return VolumeUnit::unknown;
}

// A header in two rows: the names in one, the units alone in the row under it ("мм", "м³").
// When that row gives a unit the names did not, the units are taken and it counts as the header.
void take_units_row(std::string_view text, SpreadsheetLayout& layout) {
    CsvRecordScanner scanner(text, layout.separator);
    CsvRecord record;
    while (scanner.next(record) &&
           (record.line <= layout.header_line || is_empty_csv_record(record.fields))) {
    }
    if (record.line <= layout.header_line)
        return;
    bool gives_unit = false;
    std::vector<SpreadsheetColumn> columns = layout.columns;
    for (std::size_t i = 0; i < record.fields.size() && i < columns.size(); ++i) {
        const std::vector<std::string> words = words_of(lower_case(csv_trimmed(record.fields[i])));
        if (words.empty())
            continue;
        SpreadsheetColumn& c = columns[i];
        if (c.role == ColumnRole::level) {
            const LevelUnit u = words.size() == 1 ? level_unit_word(words[0]) : LevelUnit::unknown;
            if (u == LevelUnit::unknown)
                return;
            gives_unit = gives_unit || c.level_unit == LevelUnit::unknown;
            c.level_unit = u;
        } else if (c.role == ColumnRole::volume) {
            const VolumeUnit u = volume_unit_of(words);
            if (u == VolumeUnit::unknown)
                return;
            gives_unit = gives_unit || c.volume_unit == VolumeUnit::unknown;
            c.volume_unit = u;
        }
    }
    if (!gives_unit)
        return;
    layout.columns = std::move(columns);
    layout.header_line = record.line;
    layout.level_unit = agreed_unit<LevelUnit>(
        layout.columns, ColumnRole::level, [](const SpreadsheetColumn& c) { return c.level_unit; });
    layout.volume_unit =
        agreed_unit<VolumeUnit>(layout.columns, ColumnRole::volume,
                                [](const SpreadsheetColumn& c) { return c.volume_unit; });
}

} // namespace

std::vector<std::pair<std::size_t, std::size_t>> SpreadsheetLayout::pairs() const {
    std::vector<std::size_t> levels, volumes;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].role == ColumnRole::level)
            levels.push_back(i);
        else if (columns[i].role == ColumnRole::volume)
            volumes.push_back(i);
    }
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t i = 0; i < levels.size() && i < volumes.size(); ++i)
        out.emplace_back(levels[i], volumes[i]);
    return out;
}

std::vector<PointColumns> SpreadsheetLayout::point_columns() const {
    std::vector<PointColumns> out;
    for (const auto& [level, volume] : pairs())
        out.push_back(PointColumns{level, volume, 0});
    std::size_t level = columns.size();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].role == ColumnRole::level && level == columns.size())
            level = i;
        if (columns[i].role == ColumnRole::grid && level < columns.size())
            out.push_back(PointColumns{level, i, columns[i].grid_step});
    }
    return out;
}

std::size_t SpreadsheetLayout::count(ColumnRole role) const {
    std::size_t n = 0;
    for (const SpreadsheetColumn& c : columns)
        n += c.role == role;
    return n;
}

std::size_t SpreadsheetLayout::channel_column() const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].role == ColumnRole::channel)
            return i;
    return columns.size();
}

std::string found_text(const SpreadsheetLayout& layout) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
    if (layout.count(ColumnRole::level) > 0) {
        const char* unit = level_unit_text(layout.level_unit);
        add("уровень — " + columns_text(layout, ColumnRole::level) + (*unit ? ", " : "") + unit);
    }
    if (layout.count(ColumnRole::volume) > 0) {
        const char* unit = volume_unit_text(layout.volume_unit);
        add("объём — " + columns_text(layout, ColumnRole::volume) + (*unit ? ", " : "") + unit);
    }
    if (layout.count(ColumnRole::channel) > 0)
        add("канал — " + columns_text(layout, ColumnRole::channel));
    return text.empty() ? text : "найдено: " + text;
}

bool find_spreadsheet_layout(std::string_view text, SpreadsheetLayout& layout,
                             std::string& refusal_utf8) {
    HeaderSearch best;
    char best_separator = ';';
    for (char separator : {'\t', ';', ','}) {
        HeaderSearch s = search_header(text, separator);
        if (s.found || (s.partial && !best.partial)) {
            best = std::move(s);
            best_separator = separator;
            if (best.found)
                break;
        } else if (separator == ';') {
            best.first_line = s.first_line; // the line the refusal names
        }
    }
    layout = SpreadsheetLayout();
    layout.separator = best_separator;
    if (best.found || best.partial) {
        layout.header_line = best.header.line;
        layout.title = best.title;
        for (const std::string& cell : best.header.fields)
            layout.columns.push_back(column_of(cell));
        mark_grid(layout.columns);
        layout.level_unit =
            agreed_unit<LevelUnit>(layout.columns, ColumnRole::level,
                                   [](const SpreadsheetColumn& c) { return c.level_unit; });
        layout.volume_unit =
            agreed_unit<VolumeUnit>(layout.columns, ColumnRole::volume,
                                    [](const SpreadsheetColumn& c) { return c.volume_unit; });
    }
    if (!best.found) {
        const int32_t line = best.partial ? best.header.line : std::max(best.first_line, 1);
        std::string what = found_text(layout);
        if (layout.count(ColumnRole::level) == 0)
            what += (what.empty() ? "" : "; ") + std::string("нет столбца уровня");
        if (layout.count(ColumnRole::volume) == 0)
            what += (what.empty() ? "" : "; ") + std::string("нет столбца объёма");
        refusal_utf8 = "Строка " + text_of_integer(line) + ": " + what;
        return false;
    }
    take_units_row(text, layout);
    if (layout.count(ColumnRole::grid) > 0 && layout.volume_unit == VolumeUnit::unknown)
        layout.volume_unit = title_volume_unit(text, layout);
    // The decimal sign of the first number with decimals under the header row; of a number
    // with both signs ("29,416.7"), the last one.
    CsvRecordScanner scanner(text, layout.separator);
    CsvRecord record;
    while (layout.decimal == 0 && scanner.next(record)) {
        if (record.line <= layout.header_line)
            continue;
        for (std::size_t i = 0; i < record.fields.size() && i < layout.columns.size(); ++i) {
            const ColumnRole role = layout.columns[i].role;
            if (role != ColumnRole::level && role != ColumnRole::volume && role != ColumnRole::grid)
                continue;
            const std::string number = csv_without_spaces(csv_trimmed(record.fields[i]));
            int32_t value = 0;
            bool exact = false;
            const std::size_t sign = number.find_first_of(".,");
            const std::size_t last = number.find_last_of(".,");
            if (sign != std::string::npos && number[sign] != number[last] &&
                number.find_first_not_of("+-0123456789.,") == std::string::npos) {
                layout.decimal = number[last];
                break;
            }
            if (sign != std::string::npos && scaled_decimal(number, 0, value, exact)) {
                layout.decimal = number[sign];
                break;
            }
        }
    }
    return true;
}

const char* level_unit_name(LevelUnit unit) {
    switch (unit) {
    case LevelUnit::mm: return "mm";
    case LevelUnit::cm: return "cm";
    case LevelUnit::m: return "m";
    case LevelUnit::dm: return "dm";
    default: return "";
    }
}

const char* volume_unit_name(VolumeUnit unit) {
    switch (unit) {
    case VolumeUnit::litre: return "l";
    case VolumeUnit::dm3: return "dm3";
    case VolumeUnit::m3: return "m3";
    default: return "";
    }
}

bool level_unit_of_name(std::string_view name, LevelUnit& unit) {
    for (LevelUnit u : {LevelUnit::mm, LevelUnit::cm, LevelUnit::dm, LevelUnit::m})
        if (name == level_unit_name(u)) {
            unit = u;
            return true;
        }
    return false;
}

bool volume_unit_of_name(std::string_view name, VolumeUnit& unit) {
    for (VolumeUnit u : {VolumeUnit::litre, VolumeUnit::dm3, VolumeUnit::m3})
        if (name == volume_unit_name(u)) {
            unit = u;
            return true;
        }
    return false;
}

} // namespace tgm
