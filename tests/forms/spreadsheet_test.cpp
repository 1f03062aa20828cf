// Strap tables as calibration labs hand them over: each file as a spreadsheet program writes
// it, the litres expected computed here from the file's own decimal texts.
#include "forms/convert.h"
#include "forms/csv_reader.h"
#include "forms/csv_records.h"
#include "forms/form_kind.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/tables.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tgm;

namespace {

// A volume of `litres` as cubic metres with three decimals and a "," ("12,345").
std::string cubic_text(int64_t litres) {
    std::string frac = std::to_string(litres % 1000);
    return std::to_string(litres / 1000) + "," + std::string(3 - frac.size(), '0') + frac;
}

// By hand: cubic metres with three decimals are litres once the "," goes.
int32_t litres_of_cubic(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c != ',')
            digits += c;
    return std::stoi(digits);
}

// A made-up tank: litres at `mm` millimetres of level.
int64_t tank_litres(int64_t mm) { return mm * mm * 7 / 3 + mm * 11; }

PARTAB litres_table(const std::vector<int32_t>& litres) {
    PARTAB t;
    t.resize(static_cast<int32_t>(litres.size()));
    for (std::size_t i = 0; i < litres.size(); ++i)
        t.point(static_cast<int32_t>(i)) = litres[i];
    return t;
}

PARTAB converted(const FORMA& table) {
    PARTAB out;
    EXPECT_TRUE(convert_table(table, out));
    return out;
}

// The file is kept as a seed of the CSV fuzz target when TGM_WRITE_SEEDS is set.
const std::string& seed(const std::string& name, const std::string& bytes) {
    static std::string kept;
    if (std::getenv("TGM_WRITE_SEEDS")) {
        const std::string dir = test::examples_dir() + "/../tests/fuzz/seeds/fuzz_csv";
        std::filesystem::create_directories(dir);
        test::write_file(dir + "/" + name, bytes);
    }
    kept = bytes;
    return kept;
}

CsvImport read_ok(const std::string& bytes) {
    CsvImport read;
    std::string refusal;
    EXPECT_TRUE(parse_csv(bytes, read, refusal)) << cp1251_to_utf8(refusal);
    return read;
}

std::string refusal_of(const std::string& bytes) {
    CsvImport read;
    std::string refusal;
    EXPECT_FALSE(parse_csv(bytes, read, refusal));
    return cp1251_to_utf8(refusal);
}

} // namespace

TEST(SpreadsheetShapes, EachShapeGivesTheLitresOfItsOwnTexts) {
    {
        // "Save as CSV (UTF-8)": a byte-order mark, CR LF, ";", a level every 10 mm, m³ and a
        // coefficient column the tool does not need.
        std::string text = "\xEF\xBB\xBF"
                           "Уровень наполнения, мм;Вместимость, м³;"
                           "Коэффициент вместимости, м³/мм\r\n";
        std::vector<int32_t> expected;
        for (int mm = 0; mm <= 2500; mm += 10) {
            const std::string v = cubic_text(tank_litres(mm));
            text += std::to_string(mm) + ";" + v + ";0,001\r\n";
            expected.push_back(litres_of_cubic(v));
        }
        const CsvImport read = read_ok(seed("utf8_bom_mm_m3.csv", text));
        ASSERT_EQ(read.tables.count, 1u);
        EXPECT_TRUE(converted(read.tables.table(0)).equals(litres_table(expected)));
        EXPECT_FALSE(read.is_resampled(0));
        EXPECT_EQ(read.rows, 251);
    }
    {
        // A Russian "Save as CSV": code page 1251, ";", "," decimals, a title line, levels every
        // half centimetre (the halves dropped), litres with decimals (cut off).
        std::string text = "Градуировочная таблица резервуара РГС-50 №3;;\r\n"
                           ";;\r\n"
                           "Высота налива, см;Объём, л\r\n";
        std::vector<int32_t> expected;
        for (int half = 0; half <= 401; ++half) {
            const int64_t tenths_of_litre = half * half * 31 + 7;
            const std::string v =
                std::to_string(tenths_of_litre / 10) + "," + std::to_string(tenths_of_litre % 10);
            text += std::to_string(half / 2) + (half % 2 ? ",5" : "") + ";" + v + "\r\n";
            if (half % 2 == 0)
                expected.push_back(std::stoi(v.substr(0, v.find(','))));
        }
        const std::string bytes = utf8_to_cp1251(text);
        ASSERT_FALSE(is_utf8(bytes));
        const CsvImport read = read_ok(seed("cp1251_title_cm.csv", bytes));
        EXPECT_TRUE(converted(read.tables.table(0)).equals(litres_table(expected)));
        EXPECT_FALSE(read.is_resampled(0));
        EXPECT_EQ(cp1251_to_utf8(read.tables.table(0).name),
                  "Градуировочная таблица резервуара РГС-50 №3");
    }
    {
        // A TAB-separated copy in English words, levels every 7 mm: resampled on the straight
        // line between the points around each centimetre (whole litres, truncated).
        std::string text = "LEVEL (mm)\tVolume, dm3\n";
        for (int mm = 0; mm <= 700; mm += 7)
            text += std::to_string(mm) + "\t" + std::to_string(tank_litres(mm)) + ".25\n";
        std::vector<int32_t> expected;
        for (int64_t mm = 0; mm <= 710; mm += 10) {
            const int64_t a = std::min<int64_t>(mm / 7, 99) * 7; // the point at or below
            const int64_t la = tank_litres(a), lb = tank_litres(a + 7);
            expected.push_back(static_cast<int32_t>(la + (lb - la) * (mm - a) / 7));
        }
        const CsvImport read = read_ok(seed("tab_mm_dm3.tsv", text));
        EXPECT_TRUE(converted(read.tables.table(0)).equals(litres_table(expected)));
        EXPECT_TRUE(read.is_resampled(0));
    }
    {
        // Title lines and three column pairs across as printed sheets lay them out, a level
        // every 1 mm, m³ with three decimals, the last pair shorter; channel 1 by default.
        std::string text = "\xEF\xBB\xBF"
                           "Градуировочная таблица;;;;;\r\n"
                           "Резервуар РВС-1000 №2;;;;;\r\n"
                           "H, мм;V, м3;H, мм;V, м3;H, мм;V, м3\r\n";
        std::vector<int32_t> expected(26);
        for (int row = 0; row < 100; ++row) {
            for (int pair = 0; pair < 3; ++pair) {
                const int mm = pair * 100 + row;
                if (mm > 250) {
                    text += pair < 2 ? ";;" : ";";
                    continue;
                }
                const std::string v = cubic_text(tank_litres(mm));
                text += std::to_string(mm) + ";" + v + (pair < 2 ? ";" : "");
                if (mm % 10 == 0)
                    expected[static_cast<std::size_t>(mm / 10)] = litres_of_cubic(v);
            }
            text += "\r\n";
        }
        const CsvImport read = read_ok(seed("title_three_pairs_mm.csv", text));
        ASSERT_EQ(read.tables.count, 1u);
        EXPECT_TRUE(converted(read.tables.table(0)).equals(litres_table(expected)));
        EXPECT_EQ(read.sources[0].points, 251);
        EXPECT_EQ(read.sources[0].top_tenths, 2500);
        EXPECT_EQ(cp1251_to_utf8(read.tables.table(0).name), "Градуировочная таблица");
    }
    {
        // A channel column, "," between fields (numbers quoted) and levels in metres.
        const std::string text = "Channel,Level m,Volume l\r\n"
                                 "2,0,0\r\n2,\"0,01\",\"12,9\"\r\n2,\"0,02\",30\r\n"
                                 "4,0,0\r\n4,\"0,015\",15\r\n";
        const CsvImport read = read_ok(seed("comma_channels_m.csv", text));
        ASSERT_EQ(read.tables.count, 4u);
        EXPECT_FALSE(read.tables.table(0).filled());
        EXPECT_TRUE(converted(read.tables.table(1)).equals(test::table({0, 12, 30})));
        EXPECT_EQ(read.resampled, 1u << 3);
    }
}

TEST(SpreadsheetShapes, WhatCannotBeReadIsRefusedSayingWhatWasFoundAndMissed) {
    EXPECT_EQ(
        refusal_of(seed("no_volume.csv",
                        "Резервуар №1\r\nУровень, мм;Коэффициент вместимости, м³/мм\r\n0;1\r\n")),
        "Строка 2: найдено: уровень — столбец 1, мм; нет столбца объёма");
    EXPECT_EQ(refusal_of(seed("no_units.csv", "H;V\r\n0;0\r\n10;100\r\n")),
              "Строка 1: найдено: уровень — столбец 1; объём — столбец 2; "
              "единицы уровня не указаны; единицы объёма не указаны");
    EXPECT_EQ(refusal_of("Уровень, см;Объём, м3\r\n0;0\r\n1;0,010\r\n1;0,011\r\n2;0,020\r\n"),
              "Строки 3, 4: канал 1: на одном уровне разные объёмы");
    EXPECT_EQ(refusal_of("Уровень, см;Объём, л\r\n0;0\r\nитого;5\r\n2;20;7\r\n"),
              "Строки 3, 4: не прочитаны: в столбцах уровня и объёма нужны числа\r"
              "Строка 2: канал 1: меньше двух точек");
    // The units given where the header has none: the same file reads.
    CsvSource source;
    std::string refusal;
    ASSERT_TRUE(find_csv_shape("H;V\r\n0;0\r\n10;100\r\n", source, refusal));
    EXPECT_EQ(source.layout.level_unit, LevelUnit::unknown);
    source.layout.level_unit = LevelUnit::mm;
    source.layout.volume_unit = VolumeUnit::litre;
    source.layout.table_channel = 3;
    CsvImport read;
    ASSERT_TRUE(read_csv_source(source, read, refusal)) << cp1251_to_utf8(refusal);
    EXPECT_EQ(read.tables.count, 3u);
    EXPECT_TRUE(converted(read.tables.table(2)).equals(test::table({0, 100})));
}

// Points between the centimetres are resampled on their tenths of a millimetre and exactly on
// the line through them; the whole-millimetre rule of the .f1 files gave 0 137 271 414 here.
TEST(SpreadsheetShapes, ResamplingFollowsTheLineThroughThePoints) {
    CsvImport read = read_ok("Уровень, мм;Объём, л\r\n0;0\r\n7,5;100\r\n15;200\r\n22,5;300\r\n");
    EXPECT_TRUE(converted(read.tables.table(0)).equals(test::table({0, 133, 266, 400})));
    EXPECT_TRUE(read.is_resampled(0));
    // 190 l per 1,5 mm above the two highest points (0,5 mm apart): 10 mm give 190 l more.
    read = read_ok("Уровень, мм;Объём, л\r\n0;0\r\n1;100\r\n1,5;195\r\n");
    EXPECT_TRUE(converted(read.tables.table(0)).equals(test::table({0, 1810})));
}

// The shapes spreadsheet programs and labs really write; the litres by hand from the texts.
TEST(SpreadsheetShapes, WhatSpreadsheetProgramsWriteIsRead) {
    struct Shape {
        const char* name;
        std::string text;
        std::vector<int32_t> litres;
        std::vector<int32_t> skipped;
    };
    const Shape shapes[] = {
        // A Cyrillic "Н", a Latin "m" in "мм", a Latin "O" in "Oбъём"; a Latin "c" in "см" and
        // a Cyrillic "В".
        {"look-alikes", "Н, mм;Oбъём, м3\r\n0;0,000\r\n10;0,190\r\n", {0, 190}, {}},
        {"look-alikes 2", "H, cм;В, л\r\n0;0\r\n1;190\r\n", {0, 190}, {}},
        // English numbers with "," between digit groups, and Russian ones with ".".
        {"groups",
         "Level, mm\tVolume, l\n0\t0\n10\t\"29,416.7\"\n20\t\"1,058,833.4\"\n",
         {0, 29416, 1058833},
         {}},
        {"groups ru",
         "Уровень, мм;Объём, л\r\n0;0\r\n10;29.416,7\r\n20;1.058.833,4\r\n",
         {0, 29416, 1058833},
         {}},
        // Names in one row, units alone in the next.
        {"two-row header", "Уровень;Объём\r\nмм;м³\r\n0;0,000\r\n10;0,190\r\n", {0, 190}, {}},
        // A correction and an increment beside the volume are no volume columns.
        {"rates",
         "Уровень, см;Объём, м³;Поправка к вместимости, м³;Приращение на 1 см, л\r\n"
         "0;0,000;0,001;19\r\n1;0,019;0,001;19\r\n",
         {0, 19},
         {}},
        // A page break: the title again, the header again, and a signature under the table.
        {"notes",
         "Уровень, см;Объём, л\r\n0;0\r\n1;10\r\nЛист 2 из 2;\r\nУровень, см;Объём, л\r\n2;25\r\n"
         "\r\nПоверитель ______ /Петров П.П./;\r\n",
         {0, 10, 25},
         {4, 8}},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const CsvImport read = read_ok(shape.text);
        EXPECT_TRUE(converted(read.tables.table(0)).equals(litres_table(shape.litres)));
        EXPECT_EQ(read.skipped, shape.skipped);
    }
    // A number beside text in the level and volume columns is a typo, not a note.
    EXPECT_EQ(refusal_of("Уровень, см;Объём, л\r\n0;0\r\n1;десять\r\n2;20\r\n"),
              "Строка 3: не прочитаны: в столбцах уровня и объёма нужны числа");
}

// A row of ten million cells is read over past the columns a spreadsheet can have.
TEST(SpreadsheetShapes, ARowOfCountlessCellsKeepsABoundedNumber) {
    std::string text = "Уровень, мм;Объём, л";
    text.append(200000, ';');
    text += "\r\n0;0\r\n10;5\r\n";
    CsvRecordScanner scanner(text);
    CsvRecord record;
    ASSERT_TRUE(scanner.next(record));
    EXPECT_EQ(record.fields.size(), kMaxCsvFields);
    EXPECT_TRUE(converted(read_ok(text).tables.table(0)).equals(test::table({0, 5})));
}

// The classic printed grid: a row per decimetre (or per 0,1 m), the columns 0 … 9 cm (or 0, 10
// … 90 mm) within it, the unit in the title above; the last row stops at the top.
TEST(SpreadsheetShapes, TheGridGivesAVolumeAtEveryCentimetre) {
    for (const bool metres : {false, true}) {
        SCOPED_TRACE(metres ? "m, mm" : "dm, cm");
        std::string text = "Градуировочная таблица резервуара №5;;;;;;;;;;\r\n"
                           "Вместимость, м³;;;;;;;;;;\r\n";
        text += metres ? "Уровень, м" : "Уровень, дм";
        for (int k = 0; k < 10; ++k)
            text += ";" + std::to_string(metres ? k * 10 : k);
        text += "\r\n";
        std::vector<int32_t> expected;
        const int top_cm = 247;
        for (int row = 0; row * 10 <= top_cm; ++row) {
            text += metres ? "0," + std::to_string(row) : std::to_string(row);
            if (metres && row >= 10)
                text.replace(text.size() - 4, 4,
                             std::to_string(row / 10) + "," + std::to_string(row % 10));
            for (int k = 0; k < 10 && row * 10 + k <= top_cm; ++k) {
                const std::string v = cubic_text(tank_litres((row * 10 + k) * 10));
                text += ";" + v;
                expected.push_back(litres_of_cubic(v));
            }
            text += "\r\n";
        }
        text += "Поверитель ______;\r\n";
        const CsvImport read = read_ok(utf8_to_cp1251(text));
        EXPECT_TRUE(converted(read.tables.table(0)).equals(litres_table(expected)));
        EXPECT_FALSE(read.is_resampled(0));
        EXPECT_EQ(read.skipped.size(), 1u);
    }
}
