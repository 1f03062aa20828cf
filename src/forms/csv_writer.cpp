#include "forms/csv_writer.h"

#include "forms/csv_records.h"
#include "forms/fdata.h"
#include "forms/number_text.h"
#include "support/atomic_file.h"
#include "support/cp1251.h"

namespace tgm {
namespace {

// Quoted when a spreadsheet would otherwise split or misread it.
void append_field(std::string& out, std::string_view text) {
    append_csv_field(out, text, ";\"\r\n");
}

} // namespace

std::string csv_text(const GROUPTAB& group) {
    std::string out = "\xEF\xBB\xBF";
    out.append(kCsvChannel).append(";").append(kCsvHeader).append(";");
    out.append(kCsvLevel).append(";").append(kCsvVolume).append("\r\n");
    char number[24];
    for (int32_t k = 0; k < group.count(); ++k) {
        const PARTAB& table = group.item(k);
        if (table.count() < 2)
            continue;
        std::string prefix = text_of_integer(k + 1) + ';';
        append_field(prefix, cp1251_to_utf8(table.header()));
        prefix += ';';
        out.reserve(out.size() + static_cast<std::size_t>(table.count()) * (prefix.size() + 16));
        for (int32_t i = 0; i < table.count(); ++i) {
            out += prefix;
            out.append(number, format_integer(i, number));
            out += ';';
            out.append(number, format_integer(table.point(i), number));
            out += "\r\n";
        }
    }
    return out;
}

bool write_csv_file(const std::string& file_name, const GROUPTAB& group) {
    std::string why;
    if (write_file_replacing(file_name, csv_text(group), &why))
        return true;
    FDATA::report_write_error(file_name, why);
    return false;
}

} // namespace tgm
