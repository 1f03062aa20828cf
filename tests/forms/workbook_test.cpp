// Workbooks as LibreOffice Calc saved them (scripts/make_workbooks.sh made every file here), and
// the archives a workbook reader must refuse without being led into unbounded work.
#include "forms/convert.h"
#include "forms/csv_reader.h"
#include "support/cp1251.h"
#include "testing/files.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace tgm;

namespace {

std::string fixture(const std::string& name) {
    return test::read_file(test::examples_dir() + "/../tests/forms/workbooks/" + name);
}

// By hand from the sheet as shown ("2.31;23.209" under a title and the header): levels every
// whole centimetre, litres the digits of the cubic metres without the decimal sign.
std::vector<int32_t> shown_litres(const std::string& name) {
    std::istringstream lines(fixture(name));
    std::string line;
    std::vector<int32_t> litres;
    for (int n = 1; std::getline(lines, line); ++n) {
        const std::size_t sep = line.find(';');
        if (n <= 2 || sep == 0 || sep == std::string::npos || line.find_first_of("0123456789") != 0)
            continue;
        std::string level = line.substr(0, sep), volume = line.substr(sep + 1);
        std::erase_if(level, [](char c) { return c == '.' || c == ','; });
        std::erase_if(volume, [](char c) { return c == '.' || c == ','; });
        EXPECT_EQ(std::stoi(level), static_cast<int>(litres.size())) << line;
        litres.push_back(std::stoi(volume));
    }
    return litres;
}

std::vector<int32_t> litres_of(const FORMA& table) {
    PARTAB points;
    EXPECT_TRUE(convert_table(table, points));
    return std::vector<int32_t>(points.points(), points.points() + points.count());
}

CsvSource workbook(const std::string& name) {
    CsvSource source;
    std::string reason;
    EXPECT_TRUE(read_workbook(fixture(name), source.sheets, reason)) << name << ": " << reason;
    return source;
}

std::string refusal_of(const std::string& bytes) {
    std::vector<WorkbookSheet> sheets;
    std::string reason;
    EXPECT_FALSE(read_workbook(bytes, sheets, reason));
    EXPECT_TRUE(sheets.empty());
    return reason;
}

} // namespace

// A level column made by a formula holds 2.30999999999999 for 2.31 m: the sheet's litres all
// the same, from the workbook and from its CSV saved raw in code page 1251 ("м?" for "м³"), and
// the signature line under the table named, not refused.
TEST(Workbooks, EachFormOfTheLabsTableGivesTheLitresTheSheetShows) {
    const std::vector<int32_t> expected = shown_litres("lab_tank_shown.csv");
    ASSERT_EQ(expected.size(), 251u);
    ASSERT_NE(fixture("lab_tank_raw_cp1251.csv").find("2,30999999999999"), std::string::npos);
    for (const char* name : {"lab_tank.xlsx", "lab_tank.ods", "lab_tank_raw_cp1251.csv"}) {
        SCOPED_TRACE(name);
        CsvSource source;
        std::string refusal;
        if (is_workbook_file_name(name)) {
            source = workbook(name);
            ASSERT_EQ(source.sheets.size(), 1u);
            EXPECT_EQ(source.sheets[0].name, "Резервуар 1");
            ASSERT_TRUE(choose_sheet(source, 0, refusal)) << cp1251_to_utf8(refusal);
        } else {
            ASSERT_TRUE(find_csv_shape(fixture(name), source, refusal)) << cp1251_to_utf8(refusal);
        }
        EXPECT_EQ(source.layout.level_unit, LevelUnit::m);
        EXPECT_EQ(source.layout.volume_unit, VolumeUnit::m3);
        CsvImport read;
        ASSERT_TRUE(read_csv_source(source, read, refusal)) << cp1251_to_utf8(refusal);
        EXPECT_EQ(litres_of(read.tables.table(0)), expected);
        EXPECT_FALSE(read.is_resampled(0));
        EXPECT_EQ(read.skipped, std::vector<int32_t>{255});
        // The merged title cell above the header names the table.
        EXPECT_EQ(cp1251_to_utf8(read.tables.table(0).name),
                  "Градуировочная таблица резервуара РГС-25 №1");
    }
}

TEST(Workbooks, EverySheetHoldingATableIsAChannelInSheetOrder) {
    const std::vector<int32_t> first = shown_litres("two_tanks_shown_1.csv");
    const std::vector<int32_t> second = shown_litres("two_tanks_shown_2.csv");
    for (const char* name : {"two_tanks.xlsx", "two_tanks.ods"}) {
        SCOPED_TRACE(name);
        const CsvSource book = workbook(name);
        ASSERT_EQ(book.sheets.size(), 3u);
        EXPECT_EQ(book.sheets[0].name, "Титул");
        std::vector<CsvSource> sources = sheet_sources(book);
        ASSERT_EQ(sources.size(), 2u);
        EXPECT_EQ(sources[0].sheet, 1u);
        EXPECT_EQ(sources[1].sheet_name, "Резервуар 2");
        // Channels 3 and 4 as the user may move them; each sheet its own.
        sources[0].layout.table_channel = 3;
        sources[1].layout.table_channel = 4;
        CsvImport read;
        std::vector<CsvImport> each;
        std::string refusal;
        ASSERT_TRUE(read_csv_sources(sources, read, each, refusal)) << cp1251_to_utf8(refusal);
        EXPECT_EQ(read.tables.count, 4u);
        EXPECT_FALSE(read.tables.table(0).filled());
        EXPECT_EQ(litres_of(read.tables.table(2)), first);
        EXPECT_EQ(litres_of(read.tables.table(3)), second);
        ASSERT_EQ(each.size(), 2u);
        EXPECT_EQ(each[1].skipped, std::vector<int32_t>{85});
        // Two sheets for one channel: nothing is taken.
        sources[1].layout.table_channel = 3;
        EXPECT_FALSE(read_csv_sources(sources, read, each, refusal));
        EXPECT_EQ(cp1251_to_utf8(refusal), "Лист «Резервуар 2»: канал 3 уже взят с другого листа");
    }
}

TEST(Workbooks, WhatIsNoWorkbookOrWouldRunAwayIsRefusedWithItsReason) {
    EXPECT_EQ(refusal_of(fixture("lab_tank_shown.csv")),
              "это не книга .xlsx или .ods: внутри не архив zip");
    const std::string xlsx = fixture("lab_tank.xlsx");
    EXPECT_EQ(refusal_of(xlsx.substr(0, xlsx.size() / 2)), "архив книги повреждён или обрезан");
    EXPECT_EQ(refusal_of(xlsx.substr(0, xlsx.size() - 10)), "архив книги повреждён или обрезан");
    EXPECT_EQ(
        refusal_of(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0')),
        "книга зашифрована паролем или сохранена в старом формате .xls: сохраните её без "
        "пароля как .xlsx или .ods");
    // 1 KiB of bzip2 that inflates to 1 GiB, saying so or claiming 1 KiB: the reading stops at
    // the bound either way.
    EXPECT_EQ(refusal_of(fixture("bomb.xlsx")),
              "книга больше допустимого: её части распаковываются больше чем в 64 МиБ");
    EXPECT_FALSE(refusal_of(fixture("bomb_lying.xlsx")).empty());
    EXPECT_EQ(refusal_of(fixture("shared_string_out_of_range.xlsx")),
              "лист «Лист1», ячейка B2: ссылка на общую строку вне их списка");
}

namespace {

class PartsInMemory : public WorkbookParts {
public:
    std::map<std::string, std::string> parts;
    bool has(const std::string& name) const override { return parts.count(name) > 0; }
    bool read(const std::string& name, std::string& out, std::string& reason) override {
        if (!has(name)) {
            reason = "no " + name;
            return false;
        }
        out = parts.at(name);
        return true;
    }
};

std::string sheet_text(PartsInMemory& book) {
    std::vector<WorkbookSheet> sheets;
    std::string reason;
    EXPECT_TRUE(read_workbook_parts(book, sheets, reason)) << reason;
    return sheets.empty() ? std::string() : sheets[0].text;
}

} // namespace

// What each kind of cell becomes: stored numbers as plain decimals, text as shown, dates and
// booleans as words no number column takes; rows and columns where the sheet puts them.
TEST(Workbooks, CellsBecomeTheTextsTheReaderTakes) {
    PartsInMemory xlsx;
    xlsx.parts["xl/workbook.xml"] =
        "<workbook><sheets><sheet name=\"T\" r:id=\"rId7\"/></sheets></workbook>";
    xlsx.parts["xl/_rels/workbook.xml.rels"] =
        "<Relationships><Relationship Id=\"rId7\" Target=\"/xl/worksheets/t.xml\"/>"
        "</Relationships>";
    xlsx.parts["xl/sharedStrings.xml"] =
        "<sst><si><t>Уровень; мм</t></si><si><r><t>Объём, </t></r><r><t>м³</t></r>"
        "<rPh><t>x</t></rPh></si></sst>";
    xlsx.parts["xl/styles.xml"] =
        "<styleSheet><numFmts><numFmt numFmtId=\"170\" formatCode=\"dd/mm/yyyy\"/>"
        "<numFmt numFmtId=\"171\" formatCode=\"0.000&quot; d&quot;\"/></numFmts><cellXfs>"
        "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"170\"/><xf numFmtId=\"171\"/>"
        "</cellXfs></styleSheet>";
    xlsx.parts["xl/worksheets/t.xml"] =
        "<worksheet><sheetData><row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c>"
        "<c r=\"C2\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>1.5E-3</v></c><c r=\"C3\" s=\"3\"><f>B3*2</f>"
        "<v>2.3099999999999898</v></c></row>"
        "<row r=\"5\"><c r=\"A5\" s=\"1\"><v>45000</v></c><c r=\"B5\" t=\"b\"><v>1</v></c>"
        "<c r=\"C5\" t=\"inlineStr\"><is><t>ок\"</t></is></c><c r=\"D5\" t=\"str\"><v>x</v></c>"
        "<c r=\"E5\" t=\"e\"><v>#DIV/0!</v></c><c r=\"F5\" s=\"2\"><v>3</v></c></row>"
        "</sheetData></worksheet>";
    EXPECT_EQ(sheet_text(xlsx),
              "\n\"Уровень; мм\"\t\t\"Объём, м³\"\n0.0015\t\t2.3099999999999898\n\n"
              "дата 45000\tTRUE\t\"ок\"\"\"\tx\t#DIV/0!\tдата 3");
    xlsx.parts["xl/worksheets/t.xml"] = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\">"
                                        "<v>1</v></c></row><row r=\"1\"><c r=\"A1\"><v>2</v></c>"
                                        "</row><row r=\"9999999\"><c><v>3</v></c></row>"
                                        "</sheetData></worksheet>";
    EXPECT_EQ(sheet_text(xlsx), "1"); // rows only go down, and no further than a sheet has

    PartsInMemory ods;
    ods.parts["mimetype"] = "application/vnd.oasis.opendocument.spreadsheet";
    ods.parts["content.xml"] =
        "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\">"
        "<table:table-header-rows><table:table-row><table:table-cell "
        "table:number-columns-spanned=\"2\"><text:p>Резервуар<text:s text:c=\"2\"/>№1</text:p>"
        "<office:annotation><text:p>заметка</text:p></office:annotation></table:table-cell>"
        "<table:covered-table-cell/></table:table-row></table:table-header-rows>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
        "table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"7\">"
        "<text:p>7,00</text:p></table:table-cell><table:table-cell "
        "table:number-columns-repeated=\"16000\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1048580\"><table:table-cell/>"
        "</table:table-row><table:table-row><table:table-cell office:value-type=\"date\" "
        "office:date-value=\"2024-01-02\"><text:p>02.01.24</text:p></table:table-cell>"
        "</table:table-row></table:table></office:spreadsheet></office:body>"
        "</office:document-content>";
    EXPECT_EQ(sheet_text(ods), "Резервуар  №1\n7\t7\n7\t7");

    // A password-protected .ods is a zip archive whose manifest says its parts are encrypted.
    ods.parts["META-INF/manifest.xml"] =
        "<manifest:manifest><manifest:file-entry manifest:full-path=\"content.xml\">"
        "<manifest:encryption-data/></manifest:file-entry></manifest:manifest>";
    std::vector<WorkbookSheet> sheets;
    std::string reason;
    EXPECT_FALSE(read_workbook_parts(ods, sheets, reason));
    EXPECT_EQ(reason, "книга зашифрована паролем: сохраните её без пароля");
}
