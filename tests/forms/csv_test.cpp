#include "forms/convert.h"
#include "forms/csv_reader.h"
#include "forms/csv_writer.h"
#include "forms/form_kind.h"
#include "forms/table_crc.h"
#include "project/eproject.h"
#include "support/cp1251.h"
#include "support/crc32.h"
#include "testing/files.h"
#include "testing/tables.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tgm;

namespace {

// What "Открыть" leaves in the project: every table as litres per whole centimetre.
GROUPTAB opened(const std::string& file_name, EPROJECT& project) {
    EPROJECT imported;
    EXPECT_TRUE(imported.open_form(file_name)) << file_name;
    project.take_tables(imported);
    GROUPTAB group;
    project.build_group(group);
    return group;
}

std::string refusal_of(const std::string& utf8_text) {
    CsvImport read;
    std::string refusal;
    EXPECT_FALSE(parse_csv(utf8_text, read, refusal)) << utf8_text;
    return cp1251_to_utf8(refusal);
}

// The .f1 conversion of the same levels (tenths of a millimetre) and litres.
PARTAB as_f1(std::initializer_list<std::pair<const char*, const char*>> points) {
    FORMA f1;
    f1.make_empty(kFormF1);
    for (const auto& [level, volume] : points)
        f1.add_point(level, volume);
    PARTAB out;
    EXPECT_TRUE(convert_table(f1, out));
    return out;
}

PARTAB converted(const FORMA& table) {
    PARTAB out;
    EXPECT_TRUE(convert_table(table, out));
    return out;
}

} // namespace

TEST(Csv, ExportThenImportGivesEveryExampleBackUnchanged) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::examples_dir())) {
        EPROJECT project;
        const GROUPTAB group = opened(entry.path().string(), project);
        const std::string text = csv_text(group);
        ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_EQ(text.substr(3, text.find("\r\n") - 3), "Канал;Заголовок;Уровень, см;Объём, л");

        CsvImport read;
        std::string refusal;
        ASSERT_TRUE(parse_csv(text, read, refusal)) << cp1251_to_utf8(refusal);
        EXPECT_TRUE(read.tables.equals(project.tables())) << entry.path();
        EXPECT_EQ(read.resampled, 0u) << entry.path();
        GROUPTAB again;
        read.tables.build_group(again);
        EXPECT_TRUE(again.equals(group)) << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 6);
}

TEST(Csv, ExportLeavesGapsOutAndQuotesWhatASpreadsheetWouldSplit) {
    PARTAB a = test::table({0, 5, 12});
    a.set_header(cp("Бак \"1\"; дизель"));
    PARTAB b = test::table({0, 7});
    const GROUPTAB group = test::group({a, PARTAB(), b});
    EXPECT_EQ(csv_text(group), "\xEF\xBB\xBF"
                               "Канал;Заголовок;Уровень, см;Объём, л\r\n"
                               "1;\"Бак \"\"1\"\"; дизель\";0;0\r\n"
                               "1;\"Бак \"\"1\"\"; дизель\";1;5\r\n"
                               "1;\"Бак \"\"1\"\"; дизель\";2;12\r\n"
                               "3;;0;0\r\n"
                               "3;;1;7\r\n");
}

TEST(Csv, ASpreadsheetFileImports) {
    // Rows shuffled, LF line ends, "," decimals, digit groups with blanks and no-break spaces,
    // quoted headers with ";", quotes and a line break, empty rows and rows of separators only.
    const std::string text = "\xEF\xBB\xBF"
                             "Канал;Заголовок;Уровень, см;Объём, л;;\n"
                             "3;\"Резервуар\n№3\";2,5;12 345,5\n"
                             "1;\"Бак \"\"А\"\"; ДТ\";2;2 000\n"
                             "\n"
                             ";;;\n"
                             "1;\"Бак \"\"А\"\"; ДТ\";0;0;\n"
                             "3;\"Резервуар\n№3\";5;24\xE2\x80\xAF"
                             "690\n"
                             "1;\"Бак \"\"А\"\"; ДТ\";1,00;1\xC2\xA0"
                             "000\n"
                             "3;\"Резервуар\n№3\";0;0\n";
    CsvImport read;
    std::string refusal;
    ASSERT_TRUE(parse_csv(text, read, refusal)) << cp1251_to_utf8(refusal);
    ASSERT_EQ(read.tables.count, 3u);
    const FDATA& t = read.tables;
    EXPECT_EQ(cp1251_to_utf8(t.table(0).name), "Бак \"А\"; ДТ");
    EXPECT_TRUE(converted(t.table(0)).equals(test::table({0, 1000, 2000})));
    EXPECT_FALSE(t.table(1).filled());
    EXPECT_EQ(cp1251_to_utf8(t.table(2).name), "Резервуар №3");
    // The straight lines through 0, 2,5 and 5 cm, exactly: 12345 l per 2,5 cm.
    EXPECT_TRUE(
        converted(t.table(2)).equals(test::table({0, 4938, 9876, 14814, 19752, 24690, 29628})));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(t.table(k).form_type, kFormFs);
        EXPECT_EQ(read.is_resampled(k), k == 2) << k;
    }
}

TEST(Csv, ResamplingTruncatesLevelsToTenthsOfAMillimetreAndMergesRepeatedPoints) {
    // 1,239 cm is 123.9 tenths: 123; -0,5 l is 0 l. The repeated level 2 cm agrees and merges.
    const std::string text =
        "Канал;Заголовок;Уровень, см;Объём, л\r\n"
        "1;a;0;-0,5\r\n1;a;1,239;10,9\r\n1;a;2;20\r\n1;a;2,0;20\r\n1;a;40;400\r\n"
        "2;b;0;0\r\n2;b;1;10\r\n2;b;1;10\r\n";
    CsvImport read;
    std::string refusal;
    ASSERT_TRUE(parse_csv(text, read, refusal)) << cp1251_to_utf8(refusal);
    EXPECT_TRUE(converted(read.tables.table(0))
                    .equals(as_f1({{"0", "0"}, {"123", "10"}, {"200", "20"}, {"4000", "400"}})));
    // Whole centimetres and litres stay as they are, once the repeated point is merged.
    EXPECT_TRUE(converted(read.tables.table(1)).equals(test::table({0, 10})));
    EXPECT_EQ(read.resampled, 1u);
}

TEST(Csv, ACodePage1251FileWithAnyLineEndImports) {
    const std::string text = cp("Канал;Заголовок;Уровень, см;Объем, л\r"
                                "2;Ёмкость №7 — дизель;0;0\n"
                                "2;Ёмкость №7 — дизель;1;12\r\n"
                                "2;Ёмкость №7 — дизель;2;25\r");
    ASSERT_FALSE(is_utf8(text));
    CsvImport read;
    std::string refusal;
    ASSERT_TRUE(parse_csv(text, read, refusal)) << cp1251_to_utf8(refusal);
    ASSERT_EQ(read.tables.count, 2u);
    EXPECT_FALSE(read.tables.table(0).filled());
    EXPECT_EQ(read.tables.table(1).name, cp("Ёмкость №7 — дизель"));
    EXPECT_TRUE(converted(read.tables.table(1)).equals(test::table({0, 12, 25})));
}

TEST(Csv, AnyOtherFirstRowIsReadByItsWordsOrRefusedNamingTheLine) {
    // The export's layout in millimetres is a spreadsheet table like any other.
    CsvImport read;
    std::string refusal;
    ASSERT_TRUE(
        parse_csv("Канал;Заголовок;Уровень, мм;Объём, л\r\n1;a;0;0\r\n1;a;10;5\r\n", read, refusal))
        << cp1251_to_utf8(refusal);
    EXPECT_TRUE(converted(read.tables.table(0)).equals(test::table({0, 5})));
    EXPECT_EQ(refusal_of("\r\n;;\r\n1;a;0;0\r\n"),
              "Строка 3: нет столбца уровня; нет столбца объёма");
    EXPECT_EQ(refusal_of(""), "Строка 1: нет столбца уровня; нет столбца объёма");
    EXPECT_EQ(refusal_of("Канал;Заголовок;Уровень, см;Объём, л\r\n\r\n"),
              "Строка 1: за строкой заголовка нет ни одной точки");
}

TEST(Csv, EveryRefusalNamesItsLinesInOneMessage) {
    const std::string text = "Канал;Заголовок;Уровень, см;Объём, л\r\n"
                             "1;a;0;0\r\n"          // 2
                             "1;a;1;x\r\n"          // 3 unreadable
                             "1;\"a\r\n\";2;20\r\n" // 4-5 another header ("a ", trimmed: "a")
                             "17;a;0;0\r\n"         // 6 outside
                             "2;b;0;0\r\n"          // 7
                             "2;c;1;10\r\n"         // 8 another header
                             "2;b;1,001;11\r\n"     // 9 same tenths, other volume
                             "0;a;0;0\r\n"          // 10 outside
                             "3;d;5;5\r\n"          // 11 one point
                             "4;e;0;0;extra\r\n"    // 12 unreadable
                             "1;a;1 2;5\r\n"        // 13 "12" after the blanks go: fine
                             "5;f;99999999;1\r\n5;f;1;1\r\n"; // 14 unreadable (beyond 32 bits)
    EXPECT_EQ(refusal_of(text),
              "Строки 3, 12, 14: не прочитаны: нужны канал, заголовок, уровень (см) и объём (л), "
              "разделённые \";\"\r"
              "Строки 6, 10: номер канала вне 1–16\r"
              "Строка 8: заголовок канала 2 не тот, что в строке 7\r"
              "Строки 8, 9: канал 2: на одном уровне разные объёмы\r"
              "Строка 11: канал 3: меньше двух точек\r"
              "Строка 15: канал 5: меньше двух точек");
}

TEST(Csv, LongListsOfLinesAreCut) {
    std::string text = "Канал;Заголовок;Уровень, см;Объём, л\r\n";
    for (int i = 0; i < 12; ++i)
        text += "1;a;?;0\r\n";
    EXPECT_EQ(refusal_of(text).rfind("Строки 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, … (всего 12): ", 0),
              0u);
}

TEST(TableCrc, IsTheCommonCrc32OfTheLittleEndianLitres) {
    EXPECT_EQ(crc32("123456789", 9), 0xCBF43926u); // the well-known check value
    EXPECT_EQ(table_crc(test::table({0x34333231, 0x38373635, -2})),
              crc32("12345678\xFE\xFF\xFF\xFF", 12));
    EXPECT_EQ(crc_text(0x0BF43926), "0BF43926");
}
