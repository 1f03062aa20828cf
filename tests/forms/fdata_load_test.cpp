#include "forms/fdata.h"

#include "forms/form_kind.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/recording_sink.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tgm;
using tgm::test::RecordingSink;
using tgm::test::TempDir;

namespace {

struct Loaded {
    bool ok;
    FDATA data;
    std::vector<std::string> messages;
};

Loaded load(const TempDir& dir, const std::string& name, const std::string& content) {
    test::write_file(dir.file(name), content);
    RecordingSink sink;
    Loaded r;
    r.ok = r.data.load_form_file(dir.file(name));
    r.messages = sink.messages;
    return r;
}

} // namespace

TEST(FdataLoad, FileNameKinds) {
    EXPECT_EQ(form_type_of_file("/a/tank.FS1"), kFormFs1);
    EXPECT_EQ(form_type_of_file("tank.Fs31"), kFormFs31);
    EXPECT_EQ(form_type_of_file("tank.fs.bak"), kFormNone);
    EXPECT_EQ(form_type_of_file("/dir.fs/tank"), kFormNone);
    EXPECT_EQ(form_file_name("/x/a.fs", kFormFs31), "/x/a.fs31");
    EXPECT_EQ(form_file_name("/x.y/a", kFormFs2), "/x.y/a.fs2");
    EXPECT_EQ(form_file_name("a.fs", kFormNone), "a");
    EXPECT_EQ(numbered_file_name("/d/tank.fs31", 2), "/d/tank_t3.fs31");
    EXPECT_EQ(numbered_file_name("/d/tank.fs31", -1), "/d/tank.fs31");
    EXPECT_EQ(single_table_name("/d/tank.v2.fs31"), "tank");
}

TEST(FdataLoad, MessagesOfFailedLoads) {
    TempDir dir;
    RecordingSink sink;
    FDATA d;
    d.count = 1;
    d.table(0).make_new(kFormFs);
    EXPECT_FALSE(d.load_form_file(dir.file("tank.txt")));
    EXPECT_FALSE(d.load_form_file(dir.file("missing.fs")));
    ::mkdir(dir.file("folder.fs").c_str(), 0755);
    EXPECT_FALSE(d.load_form_file(dir.file("folder.fs")));
    ASSERT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(sink.messages[0], cp("Неизвестная форма!"));
    EXPECT_EQ(sink.messages[1], cp("Файл испорчен!"));
    EXPECT_EQ(sink.messages[2], cp("Файл испорчен!"));
    EXPECT_EQ(d.count, 1u); // untouched by these failures
    EXPECT_EQ(d.table(0).point_count(), 2);

    Loaded r = load(dir, "bars.fs", "# t\r\n12 13 14\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages, std::vector<std::string>{cp(" Ошибка формы! ")});
    EXPECT_EQ(r.data.count, 0u);
}

TEST(FdataLoad, MultiTableFile) {
    TempDir dir;
    Loaded r = load(dir, "farm.fs",
                    "ignored before the first table\r\n"
                    "|  1 2 3\r\n"
                    "#   Резервуар 1  \r\n"
                    "| 0 10 20 // remark\r\n"
                    "/* a block\r\n| 99 99\r\n*/\r\n"
                    "|  30 40\r\n"
                    "#\r\n"
                    "| 5\r\n"
                    "# third\r\n"
                    "| 1 2\r\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.data.count, 3u);
    const FORMA& t0 = r.data.table(0);
    EXPECT_EQ(t0.name, "Резервуар 1");
    EXPECT_EQ(t0.volumes.text(), "0\r\n10\r\n20\r\n30\r\n40");
    EXPECT_EQ(t0.levels.text(), "0\r\n1\r\n2\r\n3\r\n4");
    EXPECT_TRUE(t0.filled());
    EXPECT_EQ(r.data.table(1).name, "");
    EXPECT_FALSE(r.data.table(1).filled()); // a one-point table in the middle stays as a gap
    EXPECT_TRUE(r.data.table(2).filled());
    EXPECT_EQ(r.data.kind(), kFormFs);
}

TEST(FdataLoad, TrailingGapsAreDropped) {
    TempDir dir;
    std::string text = "# big\r\n|";
    for (int i = 0; i < 30; ++i)
        text += " " + std::to_string(i);
    text += "\r\n# one\r\n| 5\r\n# other\r\n| 6\r\n# empty\r\n";
    Loaded r = load(dir, "t.fs", text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.data.count, 1u);
    EXPECT_EQ(r.data.table(0).point_count(), 30);
}

TEST(FdataLoad, SeventeenthTableAndEverythingAfterIsIgnored) {
    TempDir dir;
    std::string text;
    for (int k = 1; k <= 17; ++k)
        text += "# t" + std::to_string(k) + "\r\n| " + std::to_string(k) + " " +
                std::to_string(k + 1) + "\r\n";
    text += "# t18\r\n| 1 2\r\n";
    Loaded r = load(dir, "many.fs2", text);
    ASSERT_TRUE(r.ok);
    // .fs2 bar lines are count lines: "| k k+1" gives k zero volumes.
    EXPECT_EQ(r.data.count, 16u);
    EXPECT_EQ(r.data.table(15).name, "t16");
    EXPECT_EQ(r.data.table(15).point_count(), 16);
    EXPECT_FALSE(r.data.table(0).filled()); // one zero point only
}

TEST(FdataLoad, SingleTableKinds) {
    TempDir dir;
    Loaded r = load(dir, "tank.main.fs31", "# not a header\r\n0\r\n1,5\r\n2.25 3\r\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.data.count, 1u);
    EXPECT_EQ(r.data.table(0).name, "tank");
    EXPECT_EQ(r.data.table(0).volumes.text(), "0\r\n1.5\r\n2.25\r\n3");

    Loaded one = load(dir, "lonely.fs32", "7\r\n");
    EXPECT_FALSE(one.ok);
    EXPECT_EQ(one.messages, std::vector<std::string>{cp(" Ошибка формы! ")});
}

TEST(FdataLoad, CubicFileWithCommasAndLoneMinus) {
    TempDir dir;
    Loaded r = load(dir, "c.FS1", "# c\r\n0 1,5 1.5\r\n- 2\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.data.table(0).volumes.text(), "0\r\n1.5\r\n1.5\r\n-\r\n2");
    r.data.run_control();
    EXPECT_FALSE(r.data.table(0).converts()); // the lone minus shows up only in the control
}

TEST(FdataLoad, SingleTableHeaderIsTheFileNameInCodePage1251) {
    TempDir dir;
    Loaded r = load(dir, "Резервуар №7.v2.fs31", "0\r\n1\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.data.table(0).name, cp("Резервуар №7"));
    // No 1251 form, or no UTF-8 at all: one "?" each.
    r = load(dir, "Бак 中\xFF.fs32", "0\r\n1\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.data.table(0).name, cp("Бак ??"));
}

TEST(FdataLoad, CountLinesAboveAUnitTableFailTheLoad) {
    TempDir dir;
    for (const char* count : {"65536", "99999999999"}) {
        Loaded r =
            load(dir, "big.fs2", std::string("# a\r\n|2\r\n# b\r\n| ") + count + "\r\n5\r\n");
        EXPECT_FALSE(r.ok) << count;
        EXPECT_EQ(r.messages, std::vector<std::string>{cp(" Ошибка формы! ")}) << count;
        EXPECT_EQ(r.data.count, 0u);
    }
    Loaded r = load(dir, "max.fs32", "|65535\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.data.table(0).point_count(), 65535);
}

TEST(FdataLoad, FileLoadsAsItsLinesFedOneByOne) {
    // The loader carries out only each table's last count line; the outcome must stay that of
    // every line in turn.
    const std::vector<std::string> lines = {"|3",  "0.5", "| 2 x", "7,5 8",  "| none", "9",
                                            "|-1", "|",   "4",     "|65535", "|2",     "1 2"};
    TempDir dir;
    for (std::size_t n = 1; n <= lines.size(); ++n) {
        std::string text = "# t\r\n";
        FORMA expected;
        expected.make_empty(kFormFs1);
        for (std::size_t i = 0; i < n; ++i) {
            text += lines[i] + "\r\n";
            expected.parse_line(lines[i]);
        }
        text += "# u\r\n|2\r\n"; // keeps the file a form when the first table is a gap
        Loaded r = load(dir, "t.fs1", text);
        ASSERT_TRUE(r.ok) << n;
        EXPECT_EQ(r.data.table(0).volumes, expected.volumes) << n;
        EXPECT_EQ(r.data.table(0).levels, expected.levels) << n;
    }
}

TEST(FdataLoad, HostileFilesAreDamagedAndLeaveTheListAlone) {
    TempDir dir;
    FDATA d;
    d.count = 1;
    d.table(0).make_new(kFormFs);
    RecordingSink sink;
    // A FIFO without a writer would block for ever; a device must not be opened at all.
    ASSERT_EQ(::mkfifo(dir.file("pipe.fs").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", dir.file("null.fs").c_str()), 0);
    EXPECT_FALSE(d.load_form_file(dir.file("pipe.fs")));
    EXPECT_FALSE(d.load_form_file(dir.file("null.fs")));
    // 64 MiB is the most a form file may hold (sparse here: nothing is written).
    auto sized = [&](const std::string& name, off_t size) {
        const std::string path = dir.file(name);
        test::write_file(path, "");
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    };
    EXPECT_FALSE(d.load_form_file(sized("huge.fs", FDATA::kMaxFormFileBytes + 1)));
    EXPECT_EQ(sink.messages, std::vector<std::string>(3, cp("Файл испорчен!")));
    EXPECT_EQ(sink.kinds, std::vector<MessageKind>(3, MessageKind::error));
    EXPECT_EQ(d.count, 1u);
    EXPECT_EQ(d.table(0).point_count(), 2);
    // One byte less is read, and is no form.
    EXPECT_FALSE(d.load_form_file(sized("large.fs", FDATA::kMaxFormFileBytes)));
    EXPECT_EQ(sink.messages.back(), cp(" Ошибка формы! "));
}
