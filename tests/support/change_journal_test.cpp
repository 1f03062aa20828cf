// The journal of unit changes survives a kill in the middle of an append: every earlier line
// is intact, at most the last one is short.
#include "support/change_journal.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/kill_seed.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace tgm::test {
namespace {

JournalEntry entry() {
    JournalEntry e;
    e.operation = cp("Запись");
    e.port = "/dev/ttyUSB0";
    e.version = "F9600";
    e.result = "OK";
    e.tables = "16";
    // Long enough that an append takes a while: sixteen CRCs, as a full unit has.
    for (int k = 1; k <= 16; ++k)
        e.crcs += (k > 1 ? " " : "") + std::to_string(k) + ":" + "0123ABCD";
    e.copy = "/home/u/BACKUP/F9600_2026-12-09_14-32-05.fs";
    e.verification = cp("совпадают");
    return e;
}

TEST(ChangeJournal, AKillInTheMiddleOfAnAppendLeavesEveryEarlierLine) {
    const unsigned seed = kill_seed();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay_us(0, 20000);
    TempDir dir;
    const ChangeJournal journal(dir.path() + "/");
    const std::string whole = ChangeJournal::line(entry(), 1796826725);
    std::string before;
    int short_lines = 0;
    for (int run = 0; run < 20; ++run) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::string why;
            for (;;)
                journal.append(entry(), 1796826725, why);
        }
        ::usleep(static_cast<useconds_t>(delay_us(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        const std::string text = read_file(journal.path());
        // A kill before the first append has written nothing yet: nothing to check.
        if (text.empty() && before.empty())
            continue;
        ASSERT_EQ(text.rfind(std::string("\xEF\xBB\xBF") + ChangeJournal::header() + "\r\n", 0),
                  0u);
        // What the earlier runs left is untouched ...
        ASSERT_EQ(text.rfind(before, 0), 0u) << "run " << run << ", seed " << seed;
        // ... every line is whole or a prefix of one; short lines are each the last of a run
        // (a later append starts on a line of its own), so no more of them than runs.
        int cut = 0;
        for (std::size_t at = text.find("\r\n") + 2; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
            if (line + "\r\n" != whole) {
                EXPECT_EQ(whole.rfind(line, 0), 0u) << "run " << run << ", seed " << seed;
                ++cut;
            }
            at = end == std::string::npos ? text.size() : end + 2;
        }
        EXPECT_LE(cut, run + 1) << "seed " << seed;
        short_lines = cut;
        before = text;
    }
    std::printf("20 kills, %d of them in the middle of a line\n", short_lines);
    // A write cut off by a power loss, say: the next append ends the short line first.
    const std::string kept = read_file(journal.path());
    const std::string cut = kept.substr(0, kept.size() - 10);
    write_file(journal.path(), cut);
    std::string why;
    EXPECT_TRUE(journal.append(entry(), 1796826725, why)) << why;
    EXPECT_EQ(read_file(journal.path()), cut + "\r\n" + whole);
}

// Fields that hold the separator or quotes are quoted as spreadsheets read them.
TEST(ChangeJournal, QuotesFieldsThatHoldTheSeparator) {
    JournalEntry e;
    e.operation = cp("Запись");
    e.port = "/tmp/a;b";
    e.result = cp("Ошибка \"связи\"");
    EXPECT_EQ(ChangeJournal::line(e, 1796826725).substr(19),
              ";Запись;\"/tmp/a;b\";;\"Ошибка \"\"связи\"\"\";;;;\r\n");
}

} // namespace
} // namespace tgm::test
