#include "forms/workbook_reader.h"

#include "forms/csv_reader.h"
#include "forms/csv_records.h"
#include "forms/workbook_archive.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pugixml.hpp>

namespace tgm {
namespace {

// Builds one sheet's text row by row; empty rows and trailing empty cells cost nothing until a
// cell with something in it follows them.
class SheetText {
public:
    explicit SheetText(std::string& text) : text_(text) {}

    // Starts row `row` (counted from 0); rows go down only. False for a row not below the last
    // one or past the last row a sheet has.
    bool start_row(std::size_t row) {
        if ((begun_ && row <= row_) || row >= kMaxSheetRows)
            return false;
        begun_ = true;
        row_ = row;
        column_ = 0;
        started_ = false;
        return true;
    }
    // Puts `value` into column `column` of the current row; columns go right only.
    void cell(std::size_t column, std::string_view value) {
        if (value.empty() || column < column_ || column >= kMaxSheetColumns)
            return;
        if (!started_) {
            text_.append(row_ - lines_, '\n');
            lines_ = row_;
            started_ = true;
            column_ = 0;
            written_ = 0;
        }
        text_.append(column - written_, '\t');
        written_ = column;
        // Quoted also at ";" and ",": no other separator may split the row when tried.
        append_csv_field(text_, value, "\t\"\r\n;,");
        column_ = column + 1;
    }
    std::size_t row() const { return row_; }
    bool too_big() const { return text_.size() > WorkbookArchive::kMaxInflatedBytes; }

private:
    std::string& text_;
    std::size_t row_ = 0;
    std::size_t column_ = 0;  // the first column still free in the current row
    std::size_t written_ = 0; // the column of the last cell written in the current row
    std::size_t lines_ = 0;   // line ends written: the line of the last row begun
    bool started_ = false;    // the current row has a cell written
    bool begun_ = false;      // a row has been started
};

// An xlsx number ("2.3099999999999898", "1.5E-3") as a plain decimal text: the digits move,
// no binary value on the way. Anything else comes back unchanged.
std::string plain_number(std::string_view v) {
    const std::size_t e = v.find_first_of("eE");
    if (e == std::string_view::npos)
        return std::string(v);
    const int exponent = std::atoi(std::string(v.substr(e + 1)).c_str());
    if (exponent < -40 || exponent > 40)
        return std::string(v);
    std::string_view mantissa = v.substr(0, e);
    std::string sign;
    if (!mantissa.empty() && (mantissa[0] == '-' || mantissa[0] == '+')) {
        sign = mantissa[0] == '-' ? "-" : "";
        mantissa.remove_prefix(1);
    }
    const std::size_t dot = mantissa.find('.');
    std::string digits(mantissa.substr(0, dot));
    long point = static_cast<long>(digits.size());
    if (dot != std::string_view::npos)
        digits += mantissa.substr(dot + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::string(v);
    point += exponent;
    if (point <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - point), '0');
        point = 1;
    }
    if (static_cast<std::size_t>(point) > digits.size())
        digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
    std::string out = sign + digits.substr(0, static_cast<std::size_t>(point));
    if (static_cast<std::size_t>(point) < digits.size())
        out += "." + digits.substr(static_cast<std::size_t>(point));
    return out;
}

bool parse_xml(const std::string& bytes, pugi::xml_document& doc, const std::string& part,
               std::string& reason) {
    // pugixml expands only the predefined and numeric entities and reads nothing outside.
    if (!doc.load_buffer(bytes.data(), bytes.size())) {
        reason = "часть книги " + part + " не читается как XML";
        return false;
    }
    return true;
}

// Every piece of character data under `node`, in order, skipping the elements `skip` names.
void gather_text(const pugi::xml_node& node, std::string& out, const char* skip) {
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        else if (child.type() == pugi::node_element && std::strcmp(child.name(), skip) != 0)
            gather_text(child, out, skip);
    }
}

// ---- Office Open XML (.xlsx) ----

// "B12" -> column 1, row 11; false for anything else.
bool cell_reference(const char* ref, std::size_t& column, std::size_t& row) {
    std::size_t c = 0, r = 0, letters = 0, digits = 0;
    for (; *ref >= 'A' && *ref <= 'Z' && letters < 4; ++ref, ++letters)
        c = c * 26 + static_cast<std::size_t>(*ref - 'A' + 1);
    for (; *ref >= '0' && *ref <= '9' && digits < 8; ++ref, ++digits)
        r = r * 10 + static_cast<std::size_t>(*ref - '0');
    if (*ref != 0 || letters == 0 || digits == 0 || r == 0)
        return false;
    column = c - 1;
    row = r - 1;
    return true;
}

// Whether a number format shows a date or a time: the built-in ones and any whose code has a
// day, year, hour or second outside quotes and brackets.
bool is_date_format(int id, std::string_view code) {
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
        (id >= 50 && id <= 58))
        return true;
    bool quoted = false, bracket = false;
    for (char c : code) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '[')
            bracket = true;
        else if (!quoted && c == ']')
            bracket = false;
        else if (!quoted && !bracket && std::strchr("dDyYhHsS", c))
            return true;
    }
    return false;
}

struct XlsxParts {
    std::vector<std::string> shared;
    std::vector<bool> date_style; // by the cell's style index
};

std::string part_path(std::string_view target) {
    if (!target.empty() && target[0] == '/')
        return std::string(target.substr(1));
    return "xl/" + std::string(target);
}

bool read_xlsx_sheet(const std::string& xml, const XlsxParts& parts, WorkbookSheet& sheet,
                     std::string& reason) {
    pugi::xml_document doc;
    if (!parse_xml(xml, doc, sheet.name, reason))
        return false;
    SheetText text(sheet.text);
    std::size_t next_row = 0;
    for (const pugi::xml_node& row : doc.child("worksheet").child("sheetData").children("row")) {
        const std::size_t r = row.attribute("r").as_ullong(next_row + 1);
        if (r == 0 || !text.start_row(r - 1))
            break;
        next_row = r;
        std::size_t next_column = 0;
        for (const pugi::xml_node& c : row.children("c")) {
            std::size_t column = next_column, cell_row = r - 1;
            const char* ref = c.attribute("r").value();
            if (*ref && (!cell_reference(ref, column, cell_row) || cell_row != r - 1))
                continue;
            next_column = column + 1;
            const std::string_view type = c.attribute("t").value();
            std::string value;
            if (type == "s") {
                const std::size_t index = c.child("v").text().as_ullong(SIZE_MAX);
                if (index >= parts.shared.size()) {
                    reason = "лист «" + sheet.name + "», ячейка " + std::string(ref) +
                             ": ссылка на общую строку вне их списка";
                    return false;
                }
                value = parts.shared[index];
            } else if (type == "inlineStr") {
                gather_text(c.child("is"), value, "rPh");
            } else if (type == "b") {
                value = c.child("v").text().as_int() ? "TRUE" : "FALSE";
            } else if (type == "str" || type == "e") {
                value = c.child("v").text().get();
            } else {
                value = plain_number(c.child("v").text().get());
                const std::size_t style = c.attribute("s").as_ullong(0);
                // A date is no number: as its serial with a word, so no column reads it.
                if (!value.empty() && style < parts.date_style.size() && parts.date_style[style])
                    value = "дата " + value;
            }
            text.cell(column, value);
            if (text.too_big()) {
                reason = "лист «" + sheet.name + "» больше допустимого";
                return false;
            }
        }
    }
    return true;
}

bool read_xlsx(WorkbookParts& zip, std::vector<WorkbookSheet>& sheets, std::string& reason) {
    XlsxParts parts;
    std::string bytes;
    pugi::xml_document doc;
    if (zip.has("xl/sharedStrings.xml")) {
        if (!zip.read("xl/sharedStrings.xml", bytes, reason) ||
            !parse_xml(bytes, doc, "xl/sharedStrings.xml", reason))
            return false;
        for (const pugi::xml_node& si : doc.child("sst").children("si")) {
            std::string s;
            gather_text(si, s, "rPh");
            parts.shared.push_back(std::move(s));
        }
    }
    if (zip.has("xl/styles.xml")) {
        if (!zip.read("xl/styles.xml", bytes, reason) ||
            !parse_xml(bytes, doc, "xl/styles.xml", reason))
            return false;
        const pugi::xml_node styles = doc.child("styleSheet");
        std::vector<std::pair<int, std::string>> formats;
        for (const pugi::xml_node& f : styles.child("numFmts").children("numFmt"))
            formats.emplace_back(f.attribute("numFmtId").as_int(),
                                 f.attribute("formatCode").value());
        for (const pugi::xml_node& xf : styles.child("cellXfs").children("xf")) {
            const int id = xf.attribute("numFmtId").as_int();
            std::string code;
            for (const auto& [fid, fcode] : formats)
                if (fid == id)
                    code = fcode;
            parts.date_style.push_back(is_date_format(id, code));
        }
    }
    std::vector<std::pair<std::string, std::string>> targets; // relationship id, part
    if (!zip.read("xl/_rels/workbook.xml.rels", bytes, reason) ||
        !parse_xml(bytes, doc, "xl/_rels/workbook.xml.rels", reason))
        return false;
    for (const pugi::xml_node& rel : doc.child("Relationships").children("Relationship"))
        targets.emplace_back(rel.attribute("Id").value(),
                             part_path(rel.attribute("Target").value()));
    if (!zip.read("xl/workbook.xml", bytes, reason) ||
        !parse_xml(bytes, doc, "xl/workbook.xml", reason))
        return false;
    for (const pugi::xml_node& s : doc.child("workbook").child("sheets").children("sheet")) {
        const std::string_view id = s.attribute("r:id").value();
        std::string part;
        for (const auto& [rid, target] : targets)
            if (rid == id)
                part = target;
        WorkbookSheet sheet;
        sheet.name = s.attribute("name").value();
        std::string xml;
        // A chart sheet or a missing part holds no table: the sheet stays empty.
        if (!part.empty() && zip.has(part)) {
            if (!zip.read(part, xml, reason) || !read_xlsx_sheet(xml, parts, sheet, reason))
                return false;
        }
        sheets.push_back(std::move(sheet));
    }
    return true;
}

// ---- OpenDocument (.ods) ----

// A cell's text as shown: its paragraphs joined by a blank, comments left out.
std::string ods_text(const pugi::xml_node& cell) {
    std::string out;
    for (const pugi::xml_node& p : cell.children("text:p")) {
        if (!out.empty())
            out += ' ';
        for (const pugi::xml_node& n : p.children()) {
            if (n.type() == pugi::node_pcdata)
                out += n.value();
            else if (std::strcmp(n.name(), "text:s") == 0)
                out.append(std::min<std::size_t>(n.attribute("text:c").as_uint(1), 64), ' ');
            else if (std::strcmp(n.name(), "text:tab") == 0 ||
                     std::strcmp(n.name(), "text:line-break") == 0)
                out += ' ';
            else if (n.type() == pugi::node_element)
                gather_text(n, out, "office:annotation");
        }
    }
    return out;
}

std::string ods_value(const pugi::xml_node& cell) {
    const std::string_view type = cell.attribute("office:value-type").value();
    if (type == "float" || type == "percentage" || type == "currency")
        return plain_number(cell.attribute("office:value").value());
    return ods_text(cell);
}

struct OdsSheet {
    SheetText text;
    std::size_t row = 0;
    bool full = false;
};

void read_ods_rows(const pugi::xml_node& parent, OdsSheet& sheet) {
    for (const pugi::xml_node& node : parent.children()) {
        if (sheet.full)
            return;
        const std::string_view name = node.name();
        if (name == "table:table-header-rows" || name == "table:table-rows" ||
            name == "table:table-row-group") {
            read_ods_rows(node, sheet);
            continue;
        }
        if (name != "table:table-row")
            continue;
        std::vector<std::pair<std::size_t, std::string>> cells; // column, value
        std::size_t column = 0;
        for (const pugi::xml_node& c : node.children()) {
            const std::string_view cname = c.name();
            if (cname != "table:table-cell" && cname != "table:covered-table-cell")
                continue;
            const std::size_t repeat =
                std::max<std::size_t>(1, c.attribute("table:number-columns-repeated").as_ullong(1));
            std::string value = ods_value(c);
            if (!value.empty())
                for (std::size_t k = 0; k < repeat && column + k < kMaxSheetColumns; ++k)
                    cells.emplace_back(column + k, value);
            column = std::min(column + repeat, kMaxSheetColumns);
        }
        // The empty rows a sheet ends with are repeated a million times: they cost nothing.
        std::size_t repeat =
            std::max<std::size_t>(1, node.attribute("table:number-rows-repeated").as_ullong(1));
        repeat = std::min(repeat, kMaxSheetRows - std::min(sheet.row, kMaxSheetRows));
        if (cells.empty()) {
            sheet.row += repeat;
            sheet.full = sheet.row >= kMaxSheetRows;
            continue;
        }
        for (std::size_t k = 0; k < repeat; ++k, ++sheet.row) {
            if (!sheet.text.start_row(sheet.row) || sheet.text.too_big()) {
                sheet.full = true;
                return;
            }
            for (const auto& [col, value] : cells)
                sheet.text.cell(col, value);
        }
    }
}

bool read_ods(WorkbookParts& zip, std::vector<WorkbookSheet>& sheets, std::string& reason) {
    std::string bytes;
    if (zip.has("META-INF/manifest.xml")) {
        if (!zip.read("META-INF/manifest.xml", bytes, reason))
            return false;
        if (bytes.find("encryption-data") != std::string::npos) {
            reason = "книга зашифрована паролем: сохраните её без пароля";
            return false;
        }
    }
    pugi::xml_document doc;
    if (!zip.read("content.xml", bytes, reason) || !parse_xml(bytes, doc, "content.xml", reason))
        return false;
    const pugi::xml_node spreadsheet =
        doc.child("office:document-content").child("office:body").child("office:spreadsheet");
    for (const pugi::xml_node& table : spreadsheet.children("table:table")) {
        WorkbookSheet sheet;
        sheet.name = table.attribute("table:name").value();
        OdsSheet rows{SheetText(sheet.text)};
        read_ods_rows(table, rows);
        if (rows.text.too_big()) {
            reason = "лист «" + sheet.name + "» больше допустимого";
            return false;
        }
        sheets.push_back(std::move(sheet));
    }
    return true;
}

bool ends_in(const std::string& file_name, std::string_view extension) {
    if (file_name.size() < extension.size())
        return false;
    std::string ext = file_name.substr(file_name.size() - extension.size());
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == extension;
}

} // namespace

bool is_workbook_file_name(const std::string& file_name) {
    return ends_in(file_name, ".xlsx") || ends_in(file_name, ".ods");
}

bool read_workbook(std::string_view bytes, std::vector<WorkbookSheet>& sheets,
                   std::string& reason_utf8) {
    sheets.clear();
    WorkbookArchive zip;
    return zip.open(bytes, reason_utf8) && read_workbook_parts(zip, sheets, reason_utf8);
}

bool read_workbook_parts(WorkbookParts& zip, std::vector<WorkbookSheet>& sheets,
                         std::string& reason_utf8) {
    sheets.clear();
    bool ok = false;
    std::string mimetype;
    if (zip.has("xl/workbook.xml")) {
        ok = read_xlsx(zip, sheets, reason_utf8);
    } else if (zip.has("content.xml") && zip.read("mimetype", mimetype, reason_utf8) &&
               mimetype == "application/vnd.oasis.opendocument.spreadsheet") {
        ok = read_ods(zip, sheets, reason_utf8);
    } else {
        reason_utf8 = "это не книга .xlsx или .ods: в архиве нет листов таблицы";
    }
    if (!ok)
        sheets.clear();
    return ok;
}

} // namespace tgm
