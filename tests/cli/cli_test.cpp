#include "testing/files.h"
#include "testing/run_program.h"
#include "testing/temp_dir.h"

#include "support/cp1251.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using tgm::test::run_program;
using tgm::test::TempDir;

namespace {

std::string example(const std::string& name) { return tgm::test::examples_dir() + "/" + name; }

std::string cp1251(const std::string& utf8) { return tgm::utf8_to_cp1251(utf8); }

} // namespace

TEST(CliInfo, ExampleFarm) {
    const auto r = run_program("tgm-cli", {"info", example("tank_farm.fs")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // 16 lines, UTF-8 headers, tab-separated.
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 16);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1),
              "1\tOK \t276\t25127\tРезервуар №1 РГС-25 (Аи-92)\n");
    EXPECT_NE(r.out.find("\n10\tOK*\t1190\t"), std::string::npos);
    EXPECT_NE(r.out.find("\n15\tOK**\t1800\t"), std::string::npos);
}

TEST(CliInfo, GapsBadNumbersAndCubicTexts) {
    TempDir dir;
    tgm::test::write_file(dir.file("odd.fs1"), cp1251("# Первая\r\n| 2\r\n0,5 1.5 // remark\r\n"
                                                      "# вторая\r\n7\r\n"
                                                      "# третья\r\n- 1\r\n"
                                                      "# trailing gap\r\n"));
    const auto r = run_program("tgm-cli", {"info", dir.file("odd.fs1")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "1\tOK*\t3\t1.5\tПервая\n" // second difference 500
                     "2\t\t0\t7\tвторая\n"
                     "3\t-\t1\t1\tтретья\n");
}

TEST(CliInfo, LoadFailuresExitTwoWithTheProgramsText) {
    TempDir dir;
    auto r = run_program("tgm-cli", {"info", dir.file("x.txt")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Неизвестная форма!\n" + dir.file("x.txt") +
                         ": расширение не из форм .fs, .fs1, .fs2, .fs31, .fs32, .f1\n");
    r = run_program("tgm-cli", {"info", dir.path()});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Неизвестная форма!\n" + dir.path() + ": это папка\n");
    // The message, then the file and what happened, with the line the reader stopped at.
    r = run_program("tgm-cli", {"info", dir.file("missing.fs")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Файл испорчен!\n" + dir.file("missing.fs") + ": файл не найден\n");
    std::filesystem::create_directory(dir.file("folder.fs2"));
    r = run_program("tgm-cli", {"info", dir.file("folder.fs2")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Файл испорчен!\n" + dir.file("folder.fs2") + ": это папка\n");
    tgm::test::write_file(dir.file("bars.fs"), "# a\r\n1 2 3\r\n");
    r = run_program("tgm-cli", {"info", dir.file("bars.fs")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, " Ошибка формы! \n" + dir.file("bars.fs") +
                         ": строка 2: ожидалась строка «|» с числами\n");
    EXPECT_EQ(r.out, "");
    // Blank and comment lines count; the one value of a table is no table.
    tgm::test::write_file(dir.file("word.fs2"), "# a\r\n// remark\r\n\r\nlitres\r\n5\r\n");
    r = run_program("tgm-cli", {"info", dir.file("word.fs2")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, " Ошибка формы! \n" + dir.file("word.fs2") + ": строка 4: ожидалось число\n");
    r = run_program("tgm-cli", {"info"});
    EXPECT_EQ(r.exit_code, 2);
    r = run_program("tgm-cli", {"frobnicate"});
    EXPECT_EQ(r.exit_code, 2);
}

TEST(CliInfo, AFormFileLargerThanMemoryIsADamagedFile) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a sanitized program cannot start under a data-memory limit";
#else
    TempDir dir;
    // Four million points: far more memory than the limit below leaves the program.
    std::string line = "|";
    for (int i = 0; i < 5000; ++i)
        line += " 0";
    line += "\r\n";
    std::string text = "# a\r\n";
    for (int i = 0; i < 800; ++i)
        text += line;
    tgm::test::write_file(dir.file("big.fs"), text);
    const auto r = run_program("tgm-cli", {"info", dir.file("big.fs")}, 64u << 20);
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Файл испорчен!\n" + dir.file("big.fs") +
                         ": не хватает памяти, чтобы прочесть файл\n");
#endif
}

TEST(CliDump, LitresPerCentimetre) {
    TempDir dir;
    tgm::test::write_file(dir.file("d.f1"), "# a\r\n| 300 150\r\n| 100 50\r\n"
                                            "# gap\r\n| 5 5\r\n"
                                            "# bad\r\n| 100 x\r\n| 200 7\r\n"
                                            "# b\r\n| 0 0\r\n| 100 10\r\n");
    const auto r = run_program("tgm-cli", {"dump", dir.file("d.f1")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // "x" is not read as a number, so table 3 has one point with an empty volume.
    EXPECT_EQ(r.out, "1: 0 50 100 150 200\n2:\n3: -\n4: 0 10 20\n");
}

TEST(CliConvert, KindsAndNumberedFiles) {
    TempDir dir;
    auto r = run_program("tgm-cli", {"convert", example("station_cubic.fs1"), dir.file("out.FS2")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // The writer uses the kind's own lower-case extension.
    EXPECT_EQ(tgm::test::read_file(dir.file("out.fs2")),
              tgm::test::read_file(example("station_litres.fs2")));

    r = run_program("tgm-cli", {"convert", example("station_litres.fs2"), dir.file("t.fs31")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(tgm::test::file_exists(dir.file("t_t1.fs31")));
    EXPECT_TRUE(tgm::test::file_exists(dir.file("t_t4.fs31")));
    EXPECT_FALSE(tgm::test::file_exists(dir.file("t_t5.fs31")));
    EXPECT_EQ(tgm::test::read_file(dir.file("t_t2.fs31")),
              tgm::test::read_file(example("rgs50.fs31")));

    // An existing output is overwritten.
    tgm::test::write_file(dir.file("one.fs"), "old");
    r = run_program("tgm-cli", {"convert", example("rvs1000.fs32"), dir.file("one.fs")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(tgm::test::read_file(dir.file("one.fs")).substr(0, 17), "\r\n\r\n# rvs1000\r\n\r\n");
}

TEST(CliConvert, RefusalsWriteNothing) {
    TempDir dir;
    auto r = run_program("tgm-cli", {"convert", example("tank_farm.fs"), dir.file("out.f1")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_FALSE(tgm::test::file_exists(dir.file("out.f1")));
    r = run_program("tgm-cli", {"convert", example("tank_farm.fs"), dir.file("out.txt")});
    EXPECT_EQ(r.exit_code, 2);

    tgm::test::write_file(dir.file("bad.fs2"),
                          "# a\r\n1\r\n2\r\n# b\r\n1\r\n-\r\n# c\r\n5\r\n1x\r\n");
    r = run_program("tgm-cli", {"convert", dir.file("bad.fs2"), dir.file("o.fs")});
    EXPECT_EQ(r.exit_code, 2);
    // "1x" scans as 1 and x, so only table 2 stops the conversion.
    EXPECT_EQ(r.err, "Канал 2: таблица не преобразуется (Контроль \"-\")\n");
    EXPECT_FALSE(tgm::test::file_exists(dir.file("o.fs")));

    // The folder is a file: the write fails with the program's message, its reason under it,
    // and exit code 1.
    tgm::test::write_file(dir.file("plain"), "x");
    r = run_program("tgm-cli", {"convert", example("rgs50.fs31"), dir.file("plain/o.fs")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "Ошибка записи файла " + dir.file("plain/o.fs") + "\n" + dir.file("plain") +
                         " — не папка\n");

    // A write-protected file stays as it was, though the rename would replace it.
    for (const char* name : {"protected.fs", "protected.csv"}) {
        const std::string target = dir.file(name);
        tgm::test::write_file(target, "the user's own file");
        ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
        r = run_program("tgm-cli", {"convert", example("rgs50.fs31"), target});
        EXPECT_EQ(r.exit_code, 1) << name;
        EXPECT_EQ(r.err,
                  "Ошибка записи файла " + target + "\n" + target + ": файл защищён от записи\n");
        EXPECT_EQ(tgm::test::read_file(target), "the user's own file");
    }
}

TEST(CliUsage, TheLineUnderAUsageErrorNamesTheOptionAndWhatItTakes) {
    struct Case {
        std::vector<std::string> args;
        std::string first_two_lines;
    };
    const std::vector<Case> cases = {
        {{"write", "in.fs", "--verfy"},
         "usage: tgm-cli [options] write IN [--backup PATH] [--verify] [--protocol OUT.pdf] "
         "[--no-journal]\n"
         "--verfy: неизвестный параметр; допустимы --backup PATH, --verify, --protocol OUT.pdf, "
         "--no-journal\n"},
        // clear reads nothing back, so --verify is not one of its options.
        {{"clear", "--verify"},
         "usage: tgm-cli [options] clear [--backup PATH] [--no-journal]\n"
         "--verify: неизвестный параметр; допустимы --backup PATH, --no-journal\n"},
        {{"console", "--key", "F1"},
         "usage: tgm-cli [--port P] console [--key C]...  (each --key is one character)\n"
         "--key: ровно один символ клавиши; задано «F1»\n"},
        {{"read", "a.fs", "b.fs"},
         "usage: tgm-cli [options] read OUT\nожидаются аргументы: OUT; заданы: a.fs b.fs\n"},
        {{"--port"},
         "tgm-cli: --port needs a port number or a device path\n"
         "--port: номер порта 0–95 (tgm-cli ports) или путь к устройству; значение не задано\n"},
    };
    for (const Case& c : cases) {
        const auto r = run_program("tgm-cli", c.args);
        EXPECT_EQ(r.exit_code, 2) << c.first_two_lines;
        const auto second_end = r.err.find('\n', r.err.find('\n') + 1);
        EXPECT_EQ(r.err.substr(0, second_end + 1), c.first_two_lines);
    }
}
