// The sheets' XML on any bytes, without the archive around it: the first byte chooses what the
// rest stands for (an .xlsx sheet, its shared strings, its styles, or an .ods content.xml);
// the other parts are those of a small well-formed workbook.
#include "forms/workbook_reader.h"
#include "workbook_sheets.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace {

class FuzzParts : public tgm::WorkbookParts {
public:
    std::map<std::string, std::string> parts;

    bool has(const std::string& name) const override { return parts.count(name) > 0; }
    bool read(const std::string& name, std::string& out, std::string& reason) override {
        const auto it = parts.find(name);
        if (it == parts.end()) {
            reason = "no part " + name;
            return false;
        }
        out = it->second;
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tgm;
    if (size == 0)
        return 0;
    const std::string xml(reinterpret_cast<const char*>(data) + 1, size - 1);
    FuzzParts book;
    if (data[0] % 4 == 3) {
        book.parts["mimetype"] = "application/vnd.oasis.opendocument.spreadsheet";
        book.parts["content.xml"] = xml;
    } else {
        book.parts["xl/workbook.xml"] =
            "<workbook><sheets><sheet name=\"a\" r:id=\"rId1\"/></sheets></workbook>";
        book.parts["xl/_rels/workbook.xml.rels"] =
            "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/s.xml\"/>"
            "</Relationships>";
        book.parts["xl/sharedStrings.xml"] =
            "<sst><si><t>Уровень, мм</t></si><si><r><t>Объём</t></r><r><t>, л</t></r></si></sst>";
        book.parts["xl/styles.xml"] = "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf "
                                      "numFmtId=\"14\"/></cellXfs></styleSheet>";
        book.parts["xl/worksheets/s.xml"] =
            "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c t=\"s\">"
            "<v>1</v></c></row><row><c><v>0</v></c><c><v>1.5E1</v></c></row></sheetData>"
            "</worksheet>";
        const char* const target[] = {"xl/worksheets/s.xml", "xl/sharedStrings.xml",
                                      "xl/styles.xml"};
        book.parts[target[data[0] % 4]] = xml;
    }
    CsvSource source;
    std::string reason;
    const bool read = read_workbook_parts(book, source.sheets, reason);
    fuzz::check_workbook(read, reason, source);
    return 0;
}
