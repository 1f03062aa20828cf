// tgm-cli read, write, clear and compare as a user runs them, against the simulated unit.
#include "support/syscfg.h"
#include "testing/files.h"
#include "testing/pdf_reader.h"
#include "testing/pty_pair.h"
#include "testing/run_program.h"
#include "testing/served_unit.h"
#include "testing/sim_program.h"
#include "testing/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace tgm::test {
namespace {

std::string example(const std::string& name) { return examples_dir() + "/" + name; }

// The status bar's line without its last panel, the response time, which varies.
std::string status_of(const RunResult& r) {
    const auto end = r.out.find('\n');
    const std::string line = r.out.substr(0, end);
    return line.substr(0, line.rfind('\t'));
}

std::string after_status(const RunResult& r) { return r.out.substr(r.out.find('\n') + 1); }

struct CliUnit : ::testing::Test {
    TempDir dir;
    EnvGuard home{"TGM_HOME", dir.path()};
};

TEST_F(CliUnit, WriteReadCompareAndClearAVUnit) {
    ServedUnit unit(unit_config('v', "9600"));
    const std::vector<std::string> port = {"--port", unit.path()};
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), port.begin(), port.end());
        return run_program("tgm-cli", args);
    };
    const std::string reboot = "Выполняется перезагрузка системы\n";

    RunResult r = cli({"write", example("station_litres.fs2")});
    ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    EXPECT_EQ(status_of(r), "F9600\tOK");
    EXPECT_EQ(after_status(r), "Запись таблиц завершена.\n" + reboot);
    EXPECT_EQ(r.err, "");

    r = cli({"read", dir.file("unit.fs")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(after_status(r), "");
    EXPECT_EQ(run_program("tgm-cli", {"dump", dir.file("unit.fs")}).out,
              run_program("tgm-cli", {"dump", example("station_litres.fs2")}).out);
    // Into a CSV file as convert writes one.
    r = cli({"read", dir.file("unit.csv")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    ASSERT_EQ(run_program("tgm-cli", {"convert", dir.file("unit.fs"), dir.file("converted.csv")})
                  .exit_code,
              0);
    EXPECT_EQ(read_file(dir.file("unit.csv")), read_file(dir.file("converted.csv")));

    // The same tanks in cubic metres are the same litres: headers and kinds play no part.
    r = cli({"compare", example("station_cubic.fs1")});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы совпадают с проектом.\n");
    r = cli({"compare", example("rgs50.fs31")});
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(after_status(r), "Таблицы системы отличны от проекта !\n1\tdiffers\t1\t9\t15\t320\n"
                               "2\tunit-only\t321\n3\tunit-only\t221\n4\tunit-only\t191\n");
    // A gap in the unit where the project has a table that does not convert: never "the same".
    write_file(dir.file("gap.fs2"), "# a\r\n1\r\n2\r\n# gap\r\n# c\r\n3\r\n4\r\n");
    write_file(dir.file("bad.fs2"), "# a\r\n1\r\n2\r\n# b\r\n1\r\n-\r\n# c\r\n3\r\n4\r\n");
    ASSERT_EQ(cli({"write", dir.file("gap.fs2")}).exit_code, 0);
    EXPECT_EQ(cli({"compare", dir.file("gap.fs2")}).exit_code, 0);
    r = cli({"compare", dir.file("bad.fs2")});
    EXPECT_EQ(r.exit_code, 3) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы отличны от проекта !\n2\tunconverted\n");

    r = cli({"--trace", "clear"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(status_of(r), "96XX\tOK");
    EXPECT_EQ(after_status(r), "Таблицы удалены.\n" + reboot);
    EXPECT_EQ(r.err, " clear v-F9600 svv\n");

    r = cli({"read", dir.file("none.fs")});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(after_status(r), "Таблицы объёма в системе отсутствуют\n");
    EXPECT_FALSE(file_exists(dir.file("none.fs")));
    r = cli({"compare", example("station_litres.fs2")});
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(after_status(r), "Таблицы объёма в системе отсутствуют\n");

    // Without --port, the port of tgm.cfg: here port 0, which the stand-in device folder
    // makes the unit's line.
    EnvGuard devices("TGM_DEV_DIR", dir.path());
    ASSERT_EQ(::symlink(unit.path().c_str(), dir.file("ttyS0").c_str()), 0);
    config().start_config({}, dir.path() + "/", dir.path());
    config().chanpar().port = 0;
    ASSERT_TRUE(config().save_config());
    r = run_program("tgm-cli", {"read", dir.file("none.fs")});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы объёма в системе отсутствуют\n");
}

// compare names each channel that is not the same: one level of one, the length of another, a
// table that does not convert, a slot on one side only.
TEST_F(CliUnit, CompareNamesEachChannelThatDiffers) {
    ServedUnit unit(unit_config('k', "9600"));
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", unit.path()});
        return run_program("tgm-cli", args);
    };
    write_file(dir.file("unit.fs2"), "# a\r\n0\r\n10\r\n20\r\n30\r\n# b\r\n0\r\n5\r\n10\r\n"
                                     "# c\r\n0\r\n1\r\n2\r\n# d\r\n0\r\n7\r\n8\r\n");
    ASSERT_EQ(cli({"write", dir.file("unit.fs2")}).exit_code, 0);
    write_file(dir.file("in.fs2"), "# a\r\n0\r\n10\r\n21\r\n30\r\n# b\r\n0\r\n5\r\n10\r\n15\r\n"
                                   "20\r\n# c\r\n0\r\n1\r\n-\r\n");
    RunResult r = cli({"compare", dir.file("in.fs2")});
    EXPECT_EQ(r.exit_code, 3) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы отличны от проекта !\n"
                               "1\tdiffers\t2\t20\t21\t1\n"
                               "2\tdiffers\t3\t-\t15\t2\n"
                               "3\tunconverted\n"
                               "4\tunit-only\t3\n");
    write_file(dir.file("more.fs2"),
               "# a\r\n0\r\n10\r\n20\r\n30\r\n# b\r\n0\r\n5\r\n10\r\n"
               "# c\r\n0\r\n1\r\n2\r\n# d\r\n0\r\n7\r\n8\r\n# e\r\n0\r\n1\r\n");
    r = cli({"compare", dir.file("more.fs2")});
    EXPECT_EQ(r.exit_code, 3) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы отличны от проекта !\n5\tproject-only\t2\n");
    r = cli({"compare", dir.file("unit.fs2")});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы совпадают с проектом.\n");
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start)); // a line cut short
    return lines;
}

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(';', start)) != std::string::npos; start = end + 1)
        fields.push_back(line.substr(start, end - start));
    fields.push_back(line.substr(start));
    return fields;
}

// "1:XXXXXXXX 2:XXXXXXXX": what dump --crc prints, in the journal's one field.
std::string crcs_of(const std::string& file) {
    const std::string dump = run_program("tgm-cli", {"dump", file, "--crc"}).out;
    std::string field;
    std::size_t start = 0;
    for (std::size_t end; (end = dump.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = dump.substr(start, end - start);
        const auto colon = line.find(':');
        if (line.size() > colon + 1)
            field +=
                (field.empty() ? "" : " ") + line.substr(0, colon) + ":" + line.substr(colon + 2);
    }
    return field;
}

// A write over other tables with --backup and --verify: the copy holds the old tables, the
// unit the new ones, the check says so, and the journal has a line for each change and each
// check, with the CRCs the sheets print. A journal that cannot be written stops the change
// before a byte is sent; --no-journal writes none.
TEST_F(CliUnit, WriteWithCopyAndCheckLeavesItsJournal) {
    ServedUnit unit(unit_config('v', "9600"));
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", unit.path()});
        return run_program("tgm-cli", args);
    };
    const std::string old_tables = example("station_litres.fs2");
    const std::string new_tables = example("rgs50.fs31");
    ASSERT_EQ(cli({"write", old_tables}).exit_code, 0);
    const std::string journal = dir.file("REPORT/journal.csv");
    ASSERT_EQ(lines_of(read_file(journal)).size(), 3u);

    RunResult r = cli({"write", new_tables, "--backup", dir.file("copies") + "/", "--verify"});
    ASSERT_EQ(r.exit_code, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    const std::string lead = "Запись таблиц завершена.\nВыполняется перезагрузка системы\n"
                             "Копия таблиц системы: " +
                             dir.file("copies") + "/F9600_";
    ASSERT_EQ(after_status(r).substr(0, lead.size()), lead) << r.out;
    const std::string copy = after_status(r).substr(lead.size() - dir.file("copies/F9600_").size(),
                                                    dir.file("copies/F9600_").size() + 22);
    EXPECT_EQ(after_status(r).substr(lead.size() + 22),
              "\nПроверка: таблицы системы совпадают с проектом.\n");
    EXPECT_EQ(run_program("tgm-cli", {"dump", copy}).out,
              run_program("tgm-cli", {"dump", old_tables}).out);
    EXPECT_EQ(run_program("tgm-cli", {"dump", copy}).exit_code, 0);
    r = cli({"compare", new_tables});
    EXPECT_EQ(r.exit_code, 0) << r.out;

    const std::string text = read_file(journal);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = lines_of(text.substr(3));
    ASSERT_EQ(lines.size(), 6u) << text;
    EXPECT_EQ(lines[0], "Дата и время;Операция;Порт;Версия;Результат;Таблиц;CRC-32;Копия;Проверка");
    // Each change is begun in the journal before anything is sent, the version unknown yet
    // unless the copy read it, and then ended.
    const auto after_time = [](const std::string& line) {
        const std::vector<std::string> all = fields_of(line);
        return std::vector<std::string>(all.begin() + 1, all.end());
    };
    const std::vector<std::string> first = fields_of(lines[1]);
    ASSERT_EQ(first.size(), 9u);
    EXPECT_EQ(first[0].size(), 19u); // YYYY-MM-DD HH:MM:SS
    EXPECT_EQ(after_time(lines[1]), std::vector<std::string>({"Запись", unit.path(), "", "Начата",
                                                              "4", crcs_of(old_tables), "", ""}));
    EXPECT_EQ(after_time(lines[2]), std::vector<std::string>({"Запись", unit.path(), "F9600", "OK",
                                                              "4", crcs_of(old_tables), "", ""}));
    EXPECT_EQ(after_time(lines[3]),
              std::vector<std::string>(
                  {"Запись", unit.path(), "F9600", "Начата", "1", crcs_of(new_tables), copy, ""}));
    const std::vector<std::string> write = fields_of(lines[4]);
    EXPECT_EQ(std::vector<std::string>(write.begin() + 1, write.end()),
              std::vector<std::string>(
                  {"Запись", unit.path(), "F9600", "OK", "1", crcs_of(new_tables), copy, ""}));
    const std::vector<std::string> check = fields_of(lines[5]);
    EXPECT_EQ(std::vector<std::string>(check.begin() + 1, check.end()),
              std::vector<std::string>({"Проверка", unit.path(), "F9600", "OK", "1",
                                        crcs_of(new_tables), copy, "совпадают"}));

    // --no-journal: not a line more.
    r = cli({"clear", "--no-journal"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(read_file(journal), text);

    // A folder where the journal should be: nothing is sent, and the reason is given.
    ASSERT_EQ(cli({"write", old_tables}).exit_code, 0);
    ASSERT_EQ(::unlink(journal.c_str()), 0);
    ASSERT_EQ(::mkdir(journal.c_str(), 0777), 0);
    const int64_t heard = unit.sim().bytes_received();
    r = cli({"clear", "--backup", dir.file("copies")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Журнал изменений не записывается: " + journal + " (", 0), 0u) << r.err;
    EXPECT_EQ(unit.sim().bytes_received(), heard);
    EXPECT_EQ(cli({"compare", old_tables}).exit_code, 0);
}

// A unit that stores one point wrong: the write itself says OK, the check names the channel,
// and the write counts as failed.
TEST_F(CliUnit, AWriteReadBackWrongFails) {
    SimConfig config = unit_config('v', "9600");
    config.faults.wrong_point = true;
    ServedUnit unit(config);
    const RunResult r = run_program(
        "tgm-cli", {"--port", unit.path(), "write", example("station_litres.fs2"), "--verify"});
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(status_of(r), "F9600\tOK");
    EXPECT_EQ(after_status(r), "Запись таблиц завершена.\nВыполняется перезагрузка системы\n"
                               "Проверка: таблицы системы отличны от проекта !\n"
                               "1\tdiffers\t276\t25128\t25127\t1\n");
    const std::vector<std::string> lines = lines_of(read_file(dir.file("REPORT/journal.csv")));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(fields_of(lines[3])[8], "отличаются: каналы 1");
}

// What the dynamic loader wrote into `folder` (LD_DEBUG=files): every library it loaded.
std::string loaded_files(const std::string& folder) {
    std::string all;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        all += read_file(entry.path().string());
    return all;
}

// write --verify --protocol against a unit that stores one point wrong: the write fails (exit
// 1) and still leaves its page, one A4 page that names the port and gives each channel's CRC
// written and read back, as dump --crc gives them for the project and for the unit, and the
// verdict. OUT is checked before the port opens, and only --protocol makes write start Qt.
TEST_F(CliUnit, WriteProtocolIsOnePageWithTheCrcsAndTheVerdictAfterAFailedCheck) {
    SimConfig config = unit_config('v', "9600");
    config.faults.wrong_point = true;
    ServedUnit unit(config);
    const std::string in = example("station_litres.fs2");
    RunResult r = run_program("tgm-cli", {"--port", unit.path(), "write", in, "--verify",
                                          "--protocol", dir.file("no/p.pdf")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "Ошибка записи файла " + dir.file("no/p.pdf") + "\nпапка " + dir.file("no") +
                         " не найдена\n");
    EXPECT_EQ(unit.sim().bytes_received(), 0);

    const std::string pdf = dir.file("protocol.pdf");
    const std::string plain_trace = dir.file("plain");
    const std::string protocol_trace = dir.file("protocol");
    ASSERT_EQ(::mkdir(plain_trace.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(protocol_trace.c_str(), 0755), 0);
    {
        EnvGuard debug("LD_DEBUG", "files");
        EnvGuard plain("LD_DEBUG_OUTPUT", plain_trace + "/ld");
        ASSERT_EQ(run_program("tgm-cli", {"--port", unit.path(), "write", in}).exit_code, 0);
        EnvGuard protocol("LD_DEBUG_OUTPUT", protocol_trace + "/ld");
        r = run_program("tgm-cli",
                        {"--port", unit.path(), "write", in, "--verify", "--protocol", pdf});
    }
    if (r.err.find("no Qt") != std::string::npos)
        GTEST_SKIP() << r.err;
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(r.err, ""); // Qt's own notes stay off the output
    // Qt's platform plugin is loaded once Qt starts.
    EXPECT_EQ(loaded_files(plain_trace).find("libqoffscreen"), std::string::npos);
    EXPECT_NE(loaded_files(protocol_trace).find("libqoffscreen"), std::string::npos);

    ASSERT_EQ(pdf_pages(pdf), 1);
    const std::string page = pdf_text(pdf);
    ASSERT_EQ(
        run_program("tgm-cli", {"--port", unit.path(), "read", dir.file("unit.fs2")}).exit_code, 0);
    // "1:XXXXXXXX 2:XXXXXXXX ..." split into its channels' CRCs.
    const auto crcs = [](const std::string& file) {
        std::istringstream field(crcs_of(file));
        std::vector<std::string> each;
        for (std::string one; field >> one;)
            each.push_back(one.substr(one.find(':') + 1));
        return each;
    };
    const std::vector<std::string> sent = crcs(in);
    const std::vector<std::string> held = crcs(dir.file("unit.fs2"));
    ASSERT_EQ(sent.size(), 4u);
    ASSERT_EQ(held.size(), 4u);
    for (std::size_t k = 0; k < sent.size(); ++k) {
        EXPECT_EQ(sent[k] == held[k], k != 0) << k; // the wrong point is in channel 1
        const std::string row = "\n +" + std::to_string(k + 1) + " .* " + sent[k] + " +" + held[k] +
                                " +" + (k == 0 ? "отличается" : "совпадает") + "\n";
        EXPECT_TRUE(std::regex_search(page, std::regex(row))) << row << "\n" << page;
    }
    for (const std::string& text : std::vector<std::string>{
             "Протокол записи градуировочных таблиц", unit.path(), in,
             "Проверка: таблицы системы отличны от проекта !",
             "Канал 1: отличается с 276 см (в системе 25128 л, в проекте 25127 л), "
             "отличных уровней: 1",
             "запись не подтверждена проверкой", "Записал", "Проверил"})
        EXPECT_NE(page.find(text), std::string::npos) << text << "\n" << page;
}

// Ctrl+C while the write waits for the unit: the result as the status line says it, then
// that it was a cancel and what the unit may hold; exit 130; the journal says so too.
TEST_F(CliUnit, CtrlCCancelsAWriteAndExits130) {
    SimConfig config = unit_config('v', "9600");
    config.faults.init_polls = -1;
    ServedUnit unit(config);
    const RunResult r = run_program_interrupted(
        "tgm-cli", {"--port", unit.path(), "--trace", "write", example("rgs50.fs31")},
        [&] { return unit.sim().polls() > 0; });
    EXPECT_EQ(r.exit_code, 130) << r.out << r.err;
    const std::string result = status_of(r).substr(status_of(r).find('\t') + 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), result);
    const std::string told = "\nОперация прервана пользователем.\n";
    EXPECT_EQ(r.err.substr(result.size(), told.size()), told) << r.err;
    // The unit never became ready: nothing of the write went out.
    EXPECT_NE(r.err.find(" ubreak\nТаблицы в системе не изменены.\n"), std::string::npos) << r.err;
    const std::vector<std::string> lines = lines_of(read_file(dir.file("REPORT/journal.csv")));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(fields_of(lines[1])[4], "Начата");
    EXPECT_EQ(fields_of(lines[2])[4], "Прервано пользователем");
}

TEST_F(CliUnit, RefusalsBeforeTheLineAndPortsThatAreNone) {
    ServedUnit unit(unit_config('v', "9600"));
    write_file(dir.file("bad.fs2"), "# a\r\n1\r\n2\r\n# b\r\n1\r\n-\r\n");
    write_file(dir.file("none.fs2"), "# a\r\n\r\n");
    write_file(dir.file("plain"), "not a port");
    const std::string none =
        " Ошибка формы! \n" + dir.file("none.fs2") + ": ни в одной таблице нет двух точек\n";
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    std::vector<Case> refused = {
        {{"--port", unit.path(), "write", dir.file("bad.fs2")},
         "Канал 2: таблица не преобразуется (Контроль \"-\")\n"},
        {{"--port", unit.path(), "write", dir.file("none.fs2")}, none},
        {{"--port", unit.path(), "compare", dir.file("none.fs2")}, none},
        {{"--port", unit.path(), "read", dir.file("out.txt")},
         "Неизвестная форма!\n" + dir.file("out.txt") +
             ": пишутся формы .fs, .fs1, .fs2, .fs31, .fs32 и таблицы .csv\n"},
        {{"--port", dir.file("plain"), "clear"}, ""},
        {{"--port", "200", "clear"}, ""},
        {{"--port", unit.path(), "info", example("rgs50.fs31")}, ""},
        {{"--port"}, ""},
        {{"clear", "extra"}, ""},
    };
    // An output that cannot be written is found before the line is opened.
    write_file(dir.file("protected.fs"), "the user's own file");
    ASSERT_EQ(::chmod(dir.file("protected.fs").c_str(), 0444), 0);
    const std::string cannot = "Ошибка записи файла ";
    const std::string long_name = dir.file(std::string(300, 'x') + ".fs");
    refused.push_back(
        {{"--port", unit.path(), "read", dir.file("no/out.fs")},
         cannot + dir.file("no/out.fs") + "\nпапка " + dir.file("no") + " не найдена\n"});
    refused.push_back(
        {{"--port", unit.path(), "read", dir.file("plain/out.fs")},
         cannot + dir.file("plain/out.fs") + "\n" + dir.file("plain") + " — не папка\n"});
    ASSERT_EQ(::mkdir(dir.file("folder.fs").c_str(), 0755), 0);
    refused.push_back(
        {{"--port", unit.path(), "read", dir.file("folder.fs")},
         cannot + dir.file("folder.fs") + "\n" + dir.file("folder.fs") + " — это папка\n"});
    refused.push_back(
        {{"--port", unit.path(), "read", long_name},
         cannot + long_name + "\nимя файла слишком длинное или пустое: " + long_name + "\n"});
    refused.push_back({{"--port", unit.path(), "read", dir.file("protected.fs")},
                       cannot + dir.file("protected.fs") + "\n" + dir.file("protected.fs") +
                           ": файл защищён от записи\n"});
    for (const Case& c : refused) {
        const RunResult r = run_program("tgm-cli", c.args);
        EXPECT_EQ(r.exit_code, 2) << c.args.back();
        EXPECT_EQ(r.out, "") << c.args.back();
        if (!c.err.empty()) {
            EXPECT_EQ(r.err, c.err);
        }
    }
    EXPECT_EQ(unit.sim().bytes_received(), 0);
    EXPECT_EQ(read_file(dir.file("protected.fs")), "the user's own file");

    // A device that is not there is a port that does not open.
    const RunResult r = run_program(
        "tgm-cli", {"--port", dir.file("ttyUSB9"), "--trace", "read", dir.file("o.fs")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "\tПорт занят\t0\n");
    EXPECT_EQ(r.err,
              "Порт занят\nустройство " + dir.file("ttyUSB9") + " не найдено\n read Порт занят\n");
    // write and clear give the same reason, and that nothing was sent.
    for (const std::vector<std::string>& change :
         {std::vector<std::string>{"write", example("rgs50.fs31"), "--verify"},
          std::vector<std::string>{"clear"}}) {
        std::vector<std::string> args = {"--port", dir.file("ttyUSB9")};
        args.insert(args.end(), change.begin(), change.end());
        const RunResult refused = run_program("tgm-cli", args);
        EXPECT_EQ(refused.exit_code, 1);
        EXPECT_EQ(refused.err, "Порт занят\nустройство " + dir.file("ttyUSB9") +
                                   " не найдено\nТаблицы в системе не изменены.\n");
    }

    // So do a dangling link and a loop of links; numbers outside the table, a pseudo-terminal's
    // number and words are usage errors that say what the table holds.
    ASSERT_EQ(::symlink(dir.file("gone").c_str(), dir.file("dangling").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("loop").c_str(), dir.file("loop").c_str()), 0);
    for (const char* name : {"dangling", "loop"}) {
        const RunResult missing =
            run_program("tgm-cli", {"--port", dir.file(name), "read", dir.file("o.fs")});
        EXPECT_EQ(missing.exit_code, 1);
        EXPECT_EQ(missing.err, "Порт занят\nустройство " + dir.file(name) + " не найдено\n");
    }
    const std::string table = "Порт задаётся номером из таблицы портов (0–31 ttyS0–ttyS31, 32–63 "
                              "ttyUSB0–ttyUSB31, 64–95 ttyACM0–ttyACM31) или путём к устройству\n";
    for (const char* port : {"-1", "96", "260", "999", "abc", ""}) {
        const RunResult refused =
            run_program("tgm-cli", {"--port", port, "read", dir.file("o.fs")});
        EXPECT_EQ(refused.exit_code, 2) << port;
        EXPECT_EQ(refused.out, "") << port;
        EXPECT_EQ(refused.err, std::string("tgm-cli: ") + port +
                                   " is not a port of the port table (see tgm-cli ports)\n" + table)
            << port;
    }
}

// tgm.cfg is written in place, so a save cut off can leave any port number in it: one outside
// the port table is refused as --port refuses one, before any line is opened.
TEST_F(CliUnit, APortOfTgmCfgOutsideThePortTableIsRefused) {
    for (int32_t port : {96, 255, -1}) {
        config().start_config({}, dir.path() + "/", dir.path());
        config().chanpar().port = port;
        ASSERT_TRUE(config().save_config());
        const RunResult r = run_program("tgm-cli", {"clear"});
        EXPECT_EQ(r.exit_code, 2) << port;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
                  "tgm-cli: the port " + std::to_string(port) +
                      " of tgm.cfg is not a port of the port table (see tgm-cli ports)\n");
    }
    // A pseudo-terminal's number, which once opened /dev/pts/(N-256).
    PtyPair other_terminal;
    config().chanpar().port = other_terminal.port();
    ASSERT_TRUE(config().save_config());
    const RunResult r = run_program("tgm-cli", {"clear"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_TRUE(other_terminal.drain(50).empty());
}

TEST_F(CliUnit, KUnitsFailureTraceAndThePowerNotice) {
    ServedUnit old_unit(unit_config('k', "5x0"));
    RunResult r = run_program("tgm-cli", {"--port", old_unit.path(), "--trace", "--traffic",
                                          "write", example("rgs50.fs31")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(status_of(r), "5x0\tОшибка. Версия БВ не поддерживается");
    // The version the unit reported stands under the error, before the event-log line.
    EXPECT_EQ(r.err.rfind("Ошибка. Версия БВ не поддерживается\n"
                          "БВ сообщил версию 5x0: таблицы этой версии программа не читает и не "
                          "пишет.\n write sv-5X0  #",
                          0),
              0u)
        << r.err;
    EXPECT_NE(r.err.find(" >10  <0 55 #"), std::string::npos) << r.err;
    // Refused before a table was sent: the unit is said to hold what it held.
    const std::string tail = " <c  Ошибка. Версия БВ не поддерживается\n"
                             "Таблицы в системе не изменены.\n";
    EXPECT_EQ(r.err.substr(r.err.size() - tail.size()), tail);

    // The older header units must be switched off and on.
    ServedUnit unit(unit_config('k', "6341"));
    r = run_program("tgm-cli", {"--port", unit.path(), "write", example("rgs50.fs31")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 8), "6341\tOK\t");
    EXPECT_EQ(after_status(r), "Запись таблиц завершена.\nВнимание !\nЧтобы записанный проект стал "
                               "активным,\nнеобходимо переключить питание системы\n");
}

TEST_F(CliUnit, TgmSimKeepsTheTablesBetweenItsRuns) {
    const std::vector<std::string> args = {
        "--protocol",     "v",       "--firmware",          "10000", "--link",
        dir.file("unit"), "--state", dir.file("unit.state")};
    {
        SimProgram sim(args);
        const RunResult r = run_program(
            "tgm-cli", {"--port", dir.file("unit"), "write", example("station_litres.fs2")});
        ASSERT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(sim.stop(), 0);
    }
    SimProgram sim(args);
    const RunResult r = run_program(
        "tgm-cli", {"--port", dir.file("unit"), "compare", example("station_litres.fs2")});
    EXPECT_EQ(r.exit_code, 0) << r.out << r.err;
    EXPECT_EQ(after_status(r), "Таблицы системы совпадают с проектом.\n");
}

TEST_F(CliUnit, ConsoleReadsTheDisplaySendsKeysAndRefusesNonKeysBeforeSending) {
    ServedUnit lcd(unit_config('k', "6362"));
    const auto console = [&](std::vector<std::string> keys) {
        std::vector<std::string> args = {"--port", lcd.path(), "console"};
        for (const std::string& k : keys)
            args.insert(args.end(), {"--key", k});
        return run_program("tgm-cli", args);
    };
    RunResult r = console({});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out,
              " 6361 >>\tOK\nC И M У Л Я T O P   6 3 6 2     \nM E H Ю :   1   2   3           \n");
    r = console({"1", "4", "2"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out,
              " 6361 >>\tOK\nУ P O B E H b ,   C M           \n>   4 2 _                       \n");
    // One bad key and nothing is sent: the entry still ends in 42.
    r = console({"3", "x", "+"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, "tgm-cli: not keys of the display \" 6361 >>\": x\n");
    EXPECT_NE(console({}).out.find(">   4 2 _"), std::string::npos);
    EXPECT_EQ(run_program("tgm-cli", {"--port", lcd.path(), "console", "--key", "12"}).exit_code,
              2);

    // A seven-segment display has no "." key; its own decimal points show after the digits.
    ServedUnit segments(unit_config('k', "6341"));
    r = run_program("tgm-cli", {"--port", segments.path(), "console", "--key", "."});
    EXPECT_EQ(r.exit_code, 2);
    r = run_program("tgm-cli", {"--port", segments.path(), "console"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), " << 635\tOK");

    PtyPair silent;
    r = run_program("tgm-cli", {"--port", silent.path(), "console"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "?\tERROR\n");
    r = run_program("tgm-cli", {"--port", dir.file("no-such-adapter"), "console"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err, "Порт занят\nустройство " + dir.file("no-such-adapter") + " не найдено\n");
    EXPECT_EQ(run_program("tgm-cli", {"--trace", "console"}).exit_code, 2);
}

} // namespace
} // namespace tgm::test

namespace tgm::test {
namespace {

// A line that the journal holds, its fields after the date and time.
std::vector<std::string> journal_fields(const std::string& journal, std::size_t line) {
    const std::vector<std::string> lines = lines_of(read_file(journal));
    if (line >= lines.size())
        return {};
    const std::vector<std::string> all = fields_of(lines[line]);
    return std::vector<std::string>(all.begin() + 1, all.end());
}

// True once no byte has reached the unit for 300 ms: the tool waits for an answer.
struct Stalled {
    SimUnit& unit;
    int64_t last = -1;
    std::chrono::steady_clock::time_point since{};
    bool operator()() {
        const int64_t now = unit.bytes_received();
        if (now != last) {
            last = now;
            since = std::chrono::steady_clock::now();
            return false;
        }
        return now > 0 && std::chrono::steady_clock::now() - since > std::chrono::milliseconds(300);
    }
};

} // namespace

// A write with --backup --verify --protocol, cancelled by Ctrl+C at each state of the change:
// during the copy's read, before anything of the change went out, while its tables go out, and
// once all went out, during the check. In each, stdout and stderr, the exit code, the journal
// and the protocol's verdict tell the same state, and the unit holds what they say.
TEST_F(CliUnit, CtrlCAtEachStateOfAWriteIsToldAlikeEverywhere) {
    struct Case {
        const char* name;
        char protocol;
        const char* firmware;
        void (*fault)(SimConfig&);
        bool after_write;    // interrupted once the journal ends the write, not when the unit waits
        const char* state;   // the line of stderr under the cancel: what the unit holds
        const char* verdict; // the protocol's "Итог"; nullptr: no write ran, no page
    };
    const auto init_never = [](SimConfig& u) { u.faults.init_polls = -1; };
    const Case cases[] = {
        {"copy", 'v', "9600", init_never, false, "Таблицы в системе не изменены.", nullptr},
        // Only a write asks a 1000 unit its compression types.
        {"nothing sent", 'k', "1000", [](SimConfig& u) { u.faults.silent_to = 8; }, false,
         "Таблицы в системе не изменены.", "таблицы не записаны"},
        {"sending", 'k', "9610", [](SimConfig& u) { u.faults.silent_after_image = true; }, false,
         "Таблицы в системе могли остаться записанными не полностью.",
         "таблицы могли остаться записанными не полностью"},
        // A unit that answers in real time: the check's read outlasts the test's look.
        {"check", 'v', "9600", [](SimConfig& u) { u.real_time = true; }, true,
         "Таблицы в системе записаны, но не проверены чтением.",
         "таблицы записаны, чтением не проверены"},
    };
    const std::string old_tables = example("station_litres.fs2");
    const std::string new_tables = example("rgs50.fs31");
    const std::string journal = dir.file("REPORT/journal.csv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink(journal.c_str());
        // The unit's old tables, written before its fault is set.
        ServedUnit healthy(unit_config(c.protocol, c.firmware));
        ASSERT_EQ(
            run_program("tgm-cli", {"--port", healthy.path(), "write", old_tables, "--no-journal"})
                .exit_code,
            0);
        SimConfig config = unit_config(c.protocol, c.firmware);
        config.state_file = dir.file("unit.state");
        ASSERT_TRUE(healthy.flash().save(config.state_file));
        c.fault(config);
        ServedUnit faulty(config);
        const std::string flash_before = read_file(config.state_file);
        const auto unit_changed = [&] {
            return faulty.flash().save(dir.file("after.state")) &&
                   read_file(dir.file("after.state")) != flash_before;
        };
        const std::string pdf = dir.file(std::string(c.name) + ".pdf");
        Stalled stalled{faulty.sim()};
        const RunResult r = run_program_interrupted(
            "tgm-cli",
            {"--port", faulty.path(), "write", new_tables, "--backup", dir.file("copies") + "/",
             "--verify", "--protocol", pdf},
            [&] {
                if (c.after_write)
                    return journal_fields(journal, 2).size() == 8 &&
                           journal_fields(journal, 2)[3] == "OK";
                // The write waits for the unit once the journal has begun it; the copy before.
                if (c.verdict && journal_fields(journal, 1).size() != 8)
                    return false;
                return c.fault == init_never ? faulty.sim().polls() > 0 : stalled();
            });
        if (r.err.find("no Qt") != std::string::npos)
            GTEST_SKIP() << r.err;
        EXPECT_EQ(r.exit_code, 130) << r.out << r.err;
        const std::string cancel = "Операция прервана пользователем.\n";
        EXPECT_NE(r.err.find(cancel), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(cancel + c.state + "\n"), std::string::npos) << r.err;
        const std::vector<std::string> begun = journal_fields(journal, 1);
        const std::vector<std::string> ended = journal_fields(journal, 2);
        if (!c.verdict) {
            // Nothing began: no line, no page, no status line.
            EXPECT_TRUE(begun.empty());
            EXPECT_EQ(r.out, "");
            EXPECT_FALSE(file_exists(pdf));
            EXPECT_FALSE(unit_changed());
            continue;
        }
        ASSERT_EQ(begun.size(), 8u) << r.out << r.err << read_file(journal);
        EXPECT_EQ(begun[0], "Запись");
        EXPECT_EQ(begun[3], "Начата");
        EXPECT_EQ(begun[5], crcs_of(new_tables));
        ASSERT_EQ(ended.size(), 8u);
        const std::string page = pdf_text(pdf);
        EXPECT_NE(page.find(c.verdict), std::string::npos) << page;
        if (c.after_write) {
            EXPECT_EQ(ended[3], "OK");
            EXPECT_EQ(journal_fields(journal, 3)[3], "Прервано пользователем");
            EXPECT_EQ(journal_fields(journal, 3)[7],
                      "не прочитаны: Операция прервана пользователем.");
            EXPECT_NE(r.out.find("Запись таблиц завершена.\nВыполняется перезагрузка системы\n"),
                      std::string::npos)
                << r.out;
            EXPECT_NE(r.out.find("Проверка: таблицы системы не прочитаны: Операция прервана "
                                 "пользователем.\n"),
                      std::string::npos)
                << r.out;
            EXPECT_TRUE(unit_changed());
        } else {
            EXPECT_NE(page.find("не проверено"), std::string::npos) << page; // not cut short
            EXPECT_EQ(ended[3], "Прервано пользователем");
            EXPECT_EQ(r.out.find("Запись таблиц завершена."), std::string::npos) << r.out;
            EXPECT_EQ(unit_changed(), std::string(c.state) != "Таблицы в системе не изменены.");
        }
    }
}

// A unit switched off right after a write that it must be switched off and on for: the check
// cannot read, yet the notice and the power-cycle warning are printed, and nothing claims a read.
TEST_F(CliUnit, AWriteWhoseCheckCannotReadStillGivesItsNotice) {
    std::optional<ServedUnit> unit(std::in_place, unit_config('k', "6341"));
    const std::string path = unit->path();
    const std::string journal = dir.file("REPORT/journal.csv");
    const RunResult r = run_program_interrupted(
        "tgm-cli", {"--port", path, "write", example("rgs50.fs31"), "--verify"}, [&] {
            if (unit && journal_fields(journal, 2).size() == 8)
                unit.reset(); // switched off
            return !unit;
        });
    // The SIGINT came after the switch-off: the check was cancelled or could not read.
    EXPECT_NE(r.out.find("Запись таблиц завершена.\nВнимание !\nЧтобы записанный проект стал "
                         "активным,\nнеобходимо переключить питание системы\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Проверка: таблицы системы не прочитаны: "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Таблицы прочитаны сразу после записи"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Таблицы в системе записаны, но не проверены чтением.\n"),
              std::string::npos)
        << r.err;
}

// A journal on a disk that is full refuses the change before anything is sent; a copy or a
// page that names the input file is a usage error before the port opens.
TEST_F(CliUnit, AFullJournalOrACopyOverTheInputSendsNothing) {
    ServedUnit unit(unit_config('v', "9600"));
    const std::string in = dir.file("in.fs2");
    write_file(in, read_file(example("station_litres.fs2")));
    ASSERT_EQ(::mkdir(dir.file("REPORT").c_str(), 0777), 0);
    ASSERT_EQ(::symlink("/dev/full", dir.file("REPORT/journal.csv").c_str()), 0);
    RunResult r = run_program("tgm-cli", {"--port", unit.path(), "write", in, "--verify"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Журнал изменений не записывается: " + dir.file("REPORT/journal.csv") +
                         " (нет места на диске)\nТаблицы в системе не изменены.\n");
    EXPECT_EQ(unit.sim().bytes_received(), 0);

    ASSERT_EQ(::symlink(in.c_str(), dir.file("link.fs2").c_str()), 0);
    const std::string before = read_file(in);
    r = run_program("tgm-cli",
                    {"--port", unit.path(), "write", in, "--backup", dir.file("link.fs2")});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(
        r.err.find("--backup: " + dir.file("link.fs2") + " — это файл IN; копия заменила бы его"),
        std::string::npos)
        << r.err;
    r = run_program("tgm-cli",
                    {"--port", unit.path(), "write", dir.file("./in.fs2"), "--protocol", in});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.err.find("--protocol: " + in + " — это файл IN; протокол заменил бы его"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(read_file(in), before);
    EXPECT_EQ(unit.sim().bytes_received(), 0);
}

} // namespace tgm::test
