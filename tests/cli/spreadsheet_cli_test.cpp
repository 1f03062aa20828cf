// tgm-cli on strap tables as labs hand them over: units from the header or the options, the
// FOUND line of info, and a write into the simulated unit.
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/pty_pair.h"
#include "testing/run_program.h"
#include "testing/served_unit.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

namespace tgm::test {
namespace {

struct CliSpreadsheet : ::testing::Test {
    TempDir dir;
    EnvGuard home{"TGM_HOME", dir.path()};
};

std::string after_status(const RunResult& r) { return r.out.substr(r.out.find('\n') + 1); }

TEST_F(CliSpreadsheet, UnitsFromTheOptionsCompleteTheHeaderAndTheTableGoesIntoTheUnit) {
    // Code page 1251 as a Russian spreadsheet saves it: a title, no units in the header, levels
    // every 5 mm, cubic metres.
    std::string text = "Резервуар №7;;\r\nH;V\r\n";
    std::string litres = "2:";
    for (int mm = 0; mm <= 400; mm += 5) {
        const int l = mm * 3 + mm * mm / 100;
        text += std::to_string(mm) + ";" + std::to_string(l / 1000) + "," +
                std::to_string(1000 + l % 1000).substr(1) + "\r\n";
        if (mm % 10 == 0)
            litres += " " + std::to_string(l);
    }
    const std::string file = dir.file("lab.CSV");
    write_file(file, utf8_to_cp1251(text));
    ServedUnit unit(unit_config('v', "9600"));

    // Without units nothing opens the port: no status line, the reason and what to give.
    RunResult r = run_program("tgm-cli", {"--port", unit.path(), "write", file});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Строка 2: найдено: уровень — столбец 1; объём — столбец 2; единицы уровня "
                     "не указаны; единицы объёма не указаны\n"
                     "tgm-cli: the file does not say the levels' unit: give --level-unit mm|cm|m\n"
                     "tgm-cli: the file does not say the volumes' unit: give --volume-unit "
                     "l|dm3|m3\n");
    r = run_program("tgm-cli", {"info", file, "--level-unit", "mm"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err.substr(r.err.find('\n') + 1),
              "tgm-cli: the file does not say the volumes' unit: give --volume-unit l|dm3|m3\n");

    const std::vector<std::string> units = {"--level-unit",    "mm", "--volume-unit", "m3",
                                            "--table-channel", "2"};
    auto with_units = [&units](std::vector<std::string> args) {
        args.insert(args.end(), units.begin(), units.end());
        return run_program("tgm-cli", args);
    };
    r = with_units({"info", file});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "FOUND\tlevel=1:mm\tvolume=2:m3\tsep=;\trows=81\n");
    EXPECT_EQ(r.out, "1\t\t\t\t\n2\tOK \t40\t2800\tРезервуар №7\n");
    r = with_units({"dump", file});
    EXPECT_EQ(r.out, "1:\n" + litres + "\n");

    r = with_units({"--port", unit.path(), "write", file});
    ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    r = with_units({"--port", unit.path(), "compare", file});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы совпадают с проектом.\n");

    // The options belong to such tables only; the export's own layout prints no FOUND line.
    r = run_program("tgm-cli", {"info", examples_dir() + "/rgs50.fs31", "--level-unit", "mm"});
    EXPECT_EQ(r.exit_code, 2);
    r = with_units({"convert", file, dir.file("lab.fs")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    r = run_program("tgm-cli", {"convert", dir.file("lab.fs"), dir.file("own.csv")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    r = run_program("tgm-cli", {"info", dir.file("own.csv")});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "1\t\t\t\t\n2\tOK \t40\t2800\tРезервуар №7\n");
    r = run_program("tgm-cli", {"info", dir.file("own.csv"), "--volume-unit", "l"});
    EXPECT_EQ(r.exit_code, 2);
    r = run_program("tgm-cli", {"info", file, "--table-channel", "17"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "tgm-cli: --table-channel takes a channel from 1 to 16\n"
                     "--table-channel: канал от 1 до 16; задано «17»\n");
}

// Workbooks as LibreOffice saved them: every sheet holding a table, or the one --sheet names;
// what was left out and what was resampled said on stderr, never silently.
TEST_F(CliSpreadsheet, WorkbooksGiveTheirSheetsAndSayWhatWasSkippedAndResampled) {
    const std::string books = examples_dir() + "/../tests/forms/workbooks/";
    RunResult r = run_program("tgm-cli", {"info", books + "two_tanks.xlsx"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "FOUND\tlevel=1:m\tvolume=2:m3\tsep=TAB\trows=121\tsheet=Резервуар 1\n"
                     "SKIPPED\t125\n"
                     "FOUND\tlevel=1:m\tvolume=2:m3\tsep=TAB\trows=81\tsheet=Резервуар 2\n"
                     "SKIPPED\t85\n");
    EXPECT_EQ(r.out, "1\tOK \t120\t5383\tРезервуар 1\n2\tOK \t80\t4981\tРезервуар 2\n");
    const RunResult whole = run_program("tgm-cli", {"dump", books + "two_tanks.ods"});
    ASSERT_EQ(whole.exit_code, 0) << whole.err;
    EXPECT_EQ(whole.err, "");
    r = run_program("tgm-cli", {"dump", books + "two_tanks.ods", "--sheet", "Резервуар 2",
                                "--table-channel", "2"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "1:\n" + whole.out.substr(whole.out.find("\n2:") + 1));
    const std::string upper = dir.file("TANKS.XLSX");
    write_file(upper, read_file(books + "two_tanks.xlsx"));
    r = run_program("tgm-cli", {"dump", upper, "--sheet", "9"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "tgm-cli: --sheet names no sheet of the workbook\n--sheet: листы книги: "
                     "«Титул», «Резервуар 1», «Резервуар 2»; задано «9»\n");
    r = run_program("tgm-cli", {"dump", books + "lab_tank_shown.csv", "--sheet", "1"});
    EXPECT_EQ(r.exit_code, 2);

    // A text file renamed: refused with its reason, nothing read.
    const std::string renamed = dir.file("lab.xlsx");
    write_file(renamed, read_file(books + "lab_tank_shown.csv"));
    r = run_program("tgm-cli", {"dump", renamed});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Книга не читается!\n" + renamed +
                         ": это не книга .xlsx или .ods: внутри не архив zip\n");

    // Levels between the centimetres: resampled, and said so.
    const std::string halves = dir.file("halves.csv");
    write_file(halves, "Уровень, мм;Объём, л\r\n0;0\r\n7,5;100\r\n15;200\r\n22,5;300\r\n");
    r = run_program("tgm-cli", {"dump", halves});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "1: 0 133 266 400\n");
    EXPECT_EQ(r.err, "RESAMPLED\t1\n");
}

} // namespace
} // namespace tgm::test
