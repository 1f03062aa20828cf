#include "support/cp1251.h"
#include "support/hist.h"
#include "support/report_writer.h"
#include "testing/files.h"
#include "testing/recording_sink.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tgm;
using tgm::test::TempDir;

namespace {

std::tm local(std::time_t t) {
    std::tm when{};
    ::localtime_r(&t, &when);
    return when;
}

} // namespace

TEST(Hist, AppendsToTheLastLineOnly) {
    HIST log;
    int changes = 0;
    log.on_change = [&] { ++changes; };
    log.append_to_last_line("x");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(changes, 0);
    log.add_line("w1 K");
    log.add_line("r2 V");
    log.append_to_last_line(" ubreak");
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[1], "r2 V  ubreak");
    EXPECT_EQ(log.text(), "w1 K\r\nr2 V  ubreak");
    EXPECT_EQ(changes, 3);
}

TEST(ReportWriter, NamesAndTimesDoNotDependOnTheLocale) {
    std::tm when{};
    when.tm_mday = 5;
    when.tm_mon = 2;
    when.tm_year = 126;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 7;
    EXPECT_EQ(report_file_name(when), "05.03.2026.txt");
    EXPECT_EQ(report_time_text(when), "9:05:07");
    when.tm_hour = 23;
    EXPECT_EQ(report_time_text(when), "23:05:07");
}

TEST(ReportWriter, TwoRunsOnOneDayAppendTwoBlocks) {
    TempDir dir;
    test::RecordingSink sink;
    const std::time_t t1 = 1780000000, t2 = t1 + 61;
    ASSERT_TRUE(write_report("w1 OK\r\nr2 ERR", dir.path() + "/", t1));
    const std::string file = dir.path() + "/REPORT/" + report_file_name(local(t1));
    const std::string first = test::read_file(file);
    EXPECT_EQ(first, report_time_text(local(t1)) + "\r\nw1 OK\r\nr2 ERR\r\n");
    ASSERT_TRUE(write_report(cp("сбой"), dir.path() + "/", t2));
    EXPECT_EQ(test::read_file(file),
              first + report_time_text(local(t2)) + "\r\n" + cp("сбой") + "\r\n");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(ReportWriter, EmptyLogCreatesNothing) {
    TempDir dir;
    EXPECT_TRUE(write_report("", dir.path() + "/", 1780000000));
    EXPECT_FALSE(test::file_exists(dir.file("REPORT")));
}

TEST(ReportWriter, FailuresAreReported) {
    TempDir dir;
    test::RecordingSink sink;
    test::write_file(dir.file("REPORT"), "a file where the folder belongs");
    EXPECT_FALSE(write_report("x", dir.path() + "/", 1780000000));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], cp("Ошибка при создании каталога REPORT"));

    TempDir other;
    const std::time_t t = 1780000000;
    std::filesystem::create_directories(other.path() + "/REPORT/" + report_file_name(local(t)));
    EXPECT_FALSE(write_report("x", other.path() + "/", t));
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1], cp("Ошибка при записи отчёта"));
}
