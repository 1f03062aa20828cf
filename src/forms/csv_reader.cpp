#include "forms/csv_reader.h"

#include "forms/convert.h"
#include "forms/csv_writer.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "support/cp1251.h"
#include "support/message_sink.h"
#include "support/xfile.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tgm {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kVolumeWithoutYo = "Объем, л";

// One record of the file: its fields and the line it starts on.
struct Record {
    int32_t line = 0;
    std::vector<std::string> fields;
};

// Splits UTF-8 text into records as RFC 4180 does, with ";" between fields and any line end.
// A line end inside quotes becomes one blank: it can only be part of a header.
class RecordScanner {
public:
    explicit RecordScanner(std::string_view text) : text_(text) {}

    bool next(Record& record) {
        if (pos_ >= text_.size())
            return false;
        record.line = line_;
        record.fields.clear();
        std::string field;
        bool at_field_start = true;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (at_field_start && c == '"') {
                read_quoted(field);
                at_field_start = false;
            } else if (c == ';') {
                record.fields.push_back(std::move(field));
                field.clear();
                at_field_start = true;
                ++pos_;
            } else if (c == '\r' || c == '\n') {
                skip_line_end();
                break;
            } else {
                field += c;
                at_field_start = false;
                ++pos_;
            }
        }
        record.fields.push_back(std::move(field));
        return true;
    }

private:
    void skip_line_end() {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
        ++line_;
    }

    // From the opening quote to the closing one; an unclosed quote runs to the end of the text.
    void read_quoted(std::string& field) {
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

    std::string_view text_;
    std::size_t pos_ = 0;
    int32_t line_ = 1;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Digit groups in spreadsheets: blanks, no-break spaces and narrow no-break spaces go.
std::string without_spaces(std::string_view s) {
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

// A decimal number read as text: sign, whole digits, fraction digits. "," or "." separates.
struct Decimal {
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;

    bool parse(std::string_view s) {
        if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
            negative = s.front() == '-';
            s.remove_prefix(1);
        }
        const std::size_t sep = s.find_first_of(".,");
        whole = s.substr(0, sep);
        fraction = sep == std::string_view::npos ? std::string_view() : s.substr(sep + 1);
        auto digits = [](std::string_view d) {
            return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        return !(whole.empty() && fraction.empty()) && digits(whole) && digits(fraction);
    }

    bool whole_number() const {
        return std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; });
    }

    // The value times 10^digits, further digits cut off toward zero; false outside 32 bits.
    bool scaled(int digits, int32_t& out) const {
        int64_t v = 0;
        auto add_digit = [&v](char c) {
            v = v * 10 + (c - '0');
            return v <= int64_t{2147483648};
        };
        for (char c : whole)
            if (!add_digit(c))
                return false;
        for (std::size_t k = 0; k < static_cast<std::size_t>(digits); ++k)
            if (!add_digit(k < fraction.size() ? fraction[k] : '0'))
                return false;
        if (negative)
            v = -v;
        if (v < INT32_MIN || v > INT32_MAX)
            return false;
        out = static_cast<int32_t>(v);
        return true;
    }
};

// One point of a channel as the file gives it.
struct Row {
    int32_t line = 0;
    int32_t tenths = 0; // level in tenths of a millimetre
    int32_t litres = 0;
    bool exact = false; // whole centimetres and whole litres
};

struct Channel {
    std::string header; // UTF-8, from the channel's first row
    int32_t header_line = 0;
    std::vector<int32_t> lines;
    std::vector<int32_t> other_headers;
    std::vector<Row> rows;
};

// "Строка 5" or "Строки 5, 7, 9": at most ten numbers, then how many there are in all.
std::string lines_text(std::vector<int32_t> lines) {
    std::sort(lines.begin(), lines.end());
    std::string text = lines.size() == 1 ? "Строка " : "Строки ";
    const std::size_t shown = std::min<std::size_t>(lines.size(), 10);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i ? ", " : "") + text_of_integer(lines[i]);
    if (shown < lines.size())
        text += ", … (всего " + text_of_integer(static_cast<int64_t>(lines.size())) + ")";
    return text;
}

class Refusal {
public:
    void add(const std::vector<int32_t>& lines, const std::string& what) {
        if (!lines.empty())
            text_ += (text_.empty() ? "" : "\r") + lines_text(lines) + ": " + what;
    }
    bool empty() const { return text_.empty(); }
    // Code page 1251, as every message enters the core.
    std::string text() const { return cp(text_); }

private:
    std::string text_; // UTF-8 until it is handed out
};

std::string channel_text(int32_t channel) { return "канал " + text_of_integer(channel); }

bool is_header_row(const std::vector<std::string>& f) {
    return f.size() == 4 && f[0] == kCsvChannel && f[1] == kCsvHeader && f[2] == kCsvLevel &&
           (f[3] == kCsvVolume || f[3] == kVolumeWithoutYo);
}

// The file's text as UTF-8: a byte-order mark or text that decodes as UTF-8 is UTF-8, anything
// else is code page 1251.
std::string utf8_text(std::string_view bytes) {
    if (bytes.substr(0, kBom.size()) == kBom)
        return std::string(bytes.substr(kBom.size()));
    if (is_utf8(bytes))
        return std::string(bytes);
    return cp1251_to_utf8(bytes);
}

// The rows that carry nothing: empty lines and lines of separators only.
bool is_empty_record(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return f.empty(); });
}

void drop_trailing_empty_fields(std::vector<std::string>& fields) {
    while (fields.size() > 1 && fields.back().empty())
        fields.pop_back();
}

// Points of one level in whole tenths of a millimetre are one point when their litres agree;
// the lines of levels whose litres differ go to `conflicts`.
std::vector<Row> merged_points(std::vector<Row> rows, std::vector<int32_t>& conflicts) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.tenths < b.tenths; });
    std::vector<Row> points;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i + 1;
        bool agree = true;
        bool exact = rows[i].exact;
        for (; j < rows.size() && rows[j].tenths == rows[i].tenths; ++j) {
            agree = agree && rows[j].litres == rows[i].litres;
            exact = exact && rows[j].exact;
        }
        if (!agree) {
            for (std::size_t k = i; k < j; ++k)
                conflicts.push_back(rows[k].line);
        } else {
            points.push_back(rows[i]);
            points.back().exact = exact;
        }
        i = j;
    }
    return points;
}

// Levels 0, 1, 2 ... cm exactly, volumes whole litres: the table as it stands.
bool is_table_as_is(const std::vector<Row>& points) {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!points[i].exact || points[i].tenths != static_cast<int64_t>(i) * 100)
            return false;
    return true;
}

// Any other channel is resampled as an .f1 table of these levels and volumes.
bool resample(const std::vector<Row>& points, PARTAB& out) {
    FORMA f1;
    f1.make_empty(kFormF1);
    for (const Row& p : points)
        f1.add_point(text_of_integer(p.tenths), text_of_integer(p.litres));
    return convert_table(f1, out);
}

void fill_table(FORMA& table, const PARTAB& litres, const std::string& header_utf8) {
    table.make_empty(kFormFs);
    table.levels.reserve(litres.count(), static_cast<std::size_t>(litres.count()) * 5);
    table.volumes.reserve(litres.count(), static_cast<std::size_t>(litres.count()) * 8);
    for (int32_t i = 0; i < litres.count(); ++i)
        table.add_point({}, text_of_integer(litres.point(i)));
    table.set_flag(kFilled, litres.count() >= 2);
    table.name = utf8_to_cp1251(header_utf8);
}

} // namespace

bool is_csv_file_name(const std::string& file_name) {
    const std::size_t slash = file_name.find_last_of('/');
    const std::size_t dot = file_name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string ext = file_name.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".csv";
}

bool parse_csv(std::string_view bytes, CsvImport& out, std::string& refusal) {
    const std::string text = utf8_text(bytes);
    RecordScanner scanner(text);
    Record record;
    Refusal refused;

    bool have_header = false;
    int32_t header_line = 1;
    while (scanner.next(record)) {
        if (is_empty_record(record.fields))
            continue;
        drop_trailing_empty_fields(record.fields);
        header_line = record.line;
        have_header = is_header_row(record.fields);
        break;
    }
    if (!have_header) {
        // The columns are unknown, so nothing below can be read: a file in millimetres or in
        // other columns must never be taken for centimetres and litres.
        refused.add({header_line}, "первая строка должна быть \"" + std::string(kCsvChannel) + ";" +
                                       std::string(kCsvHeader) + ";" + std::string(kCsvLevel) +
                                       ";" + std::string(kCsvVolume) + "\"");
        refusal = refused.text();
        return false;
    }

    std::array<Channel, FDATA::kMaxTables> channels;
    std::vector<int32_t> unreadable;
    std::vector<int32_t> outside;
    bool any_row = false;
    while (scanner.next(record)) {
        if (is_empty_record(record.fields))
            continue;
        any_row = true;
        drop_trailing_empty_fields(record.fields);
        const std::vector<std::string>& f = record.fields;
        int32_t channel = 0;
        Decimal level;
        Decimal volume;
        Row row;
        row.line = record.line;
        const std::string level_text = without_spaces(f.size() == 4 ? f[2] : "");
        const std::string volume_text = without_spaces(f.size() == 4 ? f[3] : "");
        if (f.size() != 4 || !integer_of_text(without_spaces(f[0]), channel) ||
            !level.parse(level_text) || !volume.parse(volume_text) ||
            !level.scaled(2, row.tenths) || !volume.scaled(0, row.litres)) {
            unreadable.push_back(record.line);
            continue;
        }
        if (channel < 1 || channel > FDATA::kMaxTables) {
            outside.push_back(record.line);
            continue;
        }
        row.exact = level.whole_number() && volume.whole_number();
        Channel& c = channels[static_cast<std::size_t>(channel - 1)];
        const std::string_view header = trimmed(f[1]);
        if (c.lines.empty()) {
            c.header = header;
            c.header_line = record.line;
        } else if (header != c.header) {
            c.other_headers.push_back(record.line);
        }
        c.lines.push_back(record.line);
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
    PARTAB litres;
    for (int32_t k = 0; k < FDATA::kMaxTables; ++k) {
        Channel& c = channels[static_cast<std::size_t>(k)];
        FORMA& table = out.tables.table(k);
        table.make_empty(kFormFs);
        if (c.lines.empty())
            continue;
        out.tables.count = static_cast<uint32_t>(k + 1);
        const std::string name = channel_text(k + 1);
        refused.add(c.other_headers, "заголовок канала " + text_of_integer(k + 1) +
                                         " не тот, что в строке " + text_of_integer(c.header_line));
        std::vector<int32_t> conflicts;
        const std::vector<Row> points = merged_points(std::move(c.rows), conflicts);
        refused.add(conflicts, name + ": на одном уровне разные объёмы");
        if (!conflicts.empty())
            continue;
        if (points.size() < 2) {
            refused.add(c.lines, name + ": меньше двух точек");
            continue;
        }
        if (is_table_as_is(points)) {
            litres.resize(static_cast<int32_t>(points.size()));
            for (std::size_t i = 0; i < points.size(); ++i)
                litres.point(static_cast<int32_t>(i)) = points[i].litres;
        } else if (resample(points, litres)) {
            out.resampled |= 1u << k;
        } else {
            refused.add(c.lines, name + ": не пересчитывается на каждый сантиметр уровня");
            continue;
        }
        fill_table(table, litres, c.header);
    }
    if (!refused.empty()) {
        refusal = refused.text();
        return false;
    }
    return true;
}

bool read_csv_file(const std::string& file_name, CsvImport& out) {
    std::string bytes;
    if (!read_whole_file(file_name, bytes, FDATA::kMaxFormFileBytes)) {
        show_message(cp("Файл испорчен!"));
        return false;
    }
    CsvImport read;
    std::string refusal;
    if (!parse_csv(bytes, read, refusal)) {
        show_message(refusal, MessageKind::warning);
        return false;
    }
    out.tables.assign(read.tables);
    out.resampled = read.resampled;
    return true;
}

} // namespace tgm
