#include "forms/fdata.h"

#include "forms/form_kind.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/recording_sink.h"
#include "testing/tables.h"
#include "testing/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tgm;
using tgm::test::RecordingSink;
using tgm::test::TempDir;

namespace {

FDATA project_of(std::initializer_list<PARTAB> tables) {
    GROUPTAB g;
    for (const PARTAB& t : tables)
        g.add_copy(t);
    FDATA d;
    d.fill_from_group(g, kFormFs);
    return d;
}

} // namespace

TEST(FdataSave, FsLayoutIsByteExact) {
    PARTAB a = test::line(12, 0, 1);
    a.set_header("A");
    PARTAB b = test::line(3, 100, 1);
    b.set_header("B");
    FDATA d = project_of({a, b});
    EXPECT_EQ(d.form_text(), "\r\n\r\n# A\r\n\r\n"
                             "\r\n|  0 1 2 3 4 5 6 7 8 9"
                             "\r\n|  10 11"
                             "\r\n\r\n# B\r\n\r\n"
                             "\r\n|  100 101 102");
    // Ten points give one bar line, eleven give two.
    EXPECT_EQ(project_of({test::line(10, 0, 1)}).form_text(),
              "\r\n\r\n# t1\r\n\r\n\r\n|  0 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(project_of({test::line(11, 0, 1)}).form_text(),
              "\r\n\r\n# t1\r\n\r\n\r\n|  0 1 2 3 4 5 6 7 8 9\r\n|  10");
}

TEST(FdataSave, OtherKindsLayouts) {
    GROUPTAB g;
    g.add_copy(test::table({0, 1234, 2000}));
    FDATA cubic;
    cubic.fill_from_group(g, kFormFs1);
    EXPECT_EQ(cubic.form_text(), "\r\n\r\n# t1\r\n\r\n0\r\n1.234\r\n2\r\n");
    FDATA single;
    single.fill_single_table(g, kFormFs32, 0);
    EXPECT_EQ(single.form_text(), "0\r\n1234\r\n2000\r\n");
    EXPECT_EQ(single.table(0).name, "");
}

TEST(FdataSave, SaveReplacesTheExtensionAndRoundTrips) {
    TempDir dir;
    PARTAB a = test::line(25, -3, 1);
    a.set_header(cp("Резервуар №1"));
    FDATA d = project_of({a, PARTAB(), test::line(2, 0, 1)});
    ASSERT_TRUE(d.save_form_file(dir.file("farm.txt")));
    FDATA back;
    ASSERT_TRUE(back.load_form_file(dir.file("farm.fs")));
    EXPECT_TRUE(back.equals(d));
    EXPECT_EQ(back.table(0).name, cp("Резервуар №1"));
    EXPECT_FALSE(back.table(1).filled());
}

TEST(FdataSave, F1RoundTripKeepsTexts) {
    TempDir dir;
    FDATA d;
    d.count = 1;
    FORMA& f = d.table(0);
    f.make_empty(kFormF1);
    f.name = "survey";
    f.add_point("300", "150");
    f.add_point("100", "50");
    f.add_point("-", "");
    f.add_point("200", "-7");
    ASSERT_TRUE(d.save_form_file(dir.file("s.f1")));
    FDATA back;
    ASSERT_TRUE(back.load_form_file(dir.file("s.f1")));
    EXPECT_EQ(back.table(0).levels.text(), f.levels.text());
    EXPECT_EQ(back.table(0).volumes.text(), f.volumes.text());
}

TEST(FdataSave, ExportToSingleTableKinds) {
    TempDir dir;
    FDATA three = project_of({test::line(4, 0, 1), test::line(5, 0, 1), test::line(6, 0, 1)});
    ASSERT_TRUE(three.export_form_file(dir.file("a.fs31"), kFormFs31, -1));
    EXPECT_TRUE(test::file_exists(dir.file("a_t1.fs31")));
    EXPECT_TRUE(test::file_exists(dir.file("a_t3.fs31")));
    EXPECT_FALSE(test::file_exists(dir.file("a.fs31")));
    EXPECT_EQ(test::read_file(dir.file("a_t2.fs31")), "0\r\n0.001\r\n0.002\r\n0.003\r\n0.004\r\n");

    ASSERT_TRUE(three.export_form_file(dir.file("b.fs32"), kFormFs32, 1));
    EXPECT_FALSE(test::file_exists(dir.file("b_t1.fs32")));
    EXPECT_TRUE(test::file_exists(dir.file("b_t2.fs32")));

    FDATA one = project_of({test::line(4, 0, 1)});
    ASSERT_TRUE(one.export_form_file(dir.file("c.fs31"), kFormFs31, -1));
    EXPECT_TRUE(test::file_exists(dir.file("c.fs31")));

    EXPECT_FALSE(one.export_form_file(dir.file("d.f1"), kFormF1, -1)); // no such export
    FDATA empty;
    EXPECT_FALSE(empty.export_form_file(dir.file("e.fs2"), kFormFs2, -1));
}

TEST(FdataSave, ExportFileNamesAreTheFilesWritten) {
    FDATA three = project_of({test::line(4, 0, 1), PARTAB(), test::line(6, 0, 1)});
    FDATA one = project_of({test::line(4, 0, 1)});
    struct Case {
        const FDATA* list;
        int kind;
        int32_t index;
    };
    for (const Case c :
         {Case{&three, kFormFs31, -1}, Case{&three, kFormFs32, 2}, Case{&three, kFormFs31, 7},
          Case{&one, kFormFs32, -1}, Case{&three, kFormFs1, -1}, Case{&three, kFormFs, -1}}) {
        TempDir dir;
        FDATA list;
        list.assign(*c.list);
        const std::vector<std::string> names =
            list.export_file_names(dir.file("x.FS"), c.kind, c.index);
        ASSERT_TRUE(list.export_form_file(dir.file("x.FS"), c.kind, c.index));
        std::vector<std::string> written;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            written.push_back(entry.path().string());
        std::sort(written.begin(), written.end());
        EXPECT_EQ(names, written) << c.kind << " " << c.index;
    }
    // A gap still gets its file; nothing else is written under the name itself.
    EXPECT_EQ(three.export_file_names("/d/x.fs", kFormFs31, -1),
              (std::vector<std::string>{"/d/x_t1.fs31", "/d/x_t2.fs31", "/d/x_t3.fs31"}));
    EXPECT_TRUE(three.export_file_names("/d/x.fs", kFormF1, -1).empty());
    EXPECT_TRUE(FDATA().export_file_names("/d/x.fs", kFormFs2, -1).empty());
}

TEST(FdataSave, FailedWritesKeepTheOldFileAndSayWhich) {
    TempDir dir;
    FDATA d = project_of({test::line(3, 0, 1)});
    RecordingSink sink;
    test::write_file(dir.file("plain"), "x");
    EXPECT_FALSE(d.save_form_file(dir.file("plain/t.fs")));
    ::mkdir(dir.file("dir.fs").c_str(), 0755);
    EXPECT_FALSE(d.save_form_file(dir.file("dir.fs")));
    ASSERT_EQ(sink.messages.size(), 2u);
    // The reason on a line of its own.
    EXPECT_EQ(sink.messages[0], cp("Ошибка записи файла ") + dir.file("plain/t.fs") + "\r" +
                                    dir.file("plain") + cp(" — не папка"));
    EXPECT_EQ(sink.messages[1], cp("Ошибка записи файла ") + dir.file("dir.fs") + "\r" +
                                    dir.file("dir.fs") + cp(" — это папка"));

    // An export of tables that do not convert writes nothing, keeps the old file and names
    // each such channel instead of a write error that never happened.
    test::write_file(dir.file("old.fs2"), "previous");
    FDATA bad = project_of({test::line(3, 0, 1), test::line(3, 0, 1), test::line(3, 0, 1)});
    bad.table(0).set_volume_text(1, "x");
    bad.table(2).set_volume_text(0, "-");
    EXPECT_FALSE(bad.export_form_file(dir.file("old.fs2"), kFormFs2, -1));
    EXPECT_EQ(test::read_file(dir.file("old.fs2")), "previous");
    EXPECT_EQ(sink.messages.back(), cp("Канал 1: таблица не преобразуется (Контроль \"-\")\r"
                                       "Канал 3: таблица не преобразуется (Контроль \"-\")"));
    EXPECT_EQ(sink.kinds.back(), MessageKind::warning);
    EXPECT_EQ(sink.messages.size(), 3u);
}

TEST(FdataSave, GroupRoundTripAndHeaders) {
    GROUPTAB g;
    PARTAB named = test::line(3, 0, 1);
    named.set_header("N");
    g.add_copy(test::line(2, 0, 1));
    g.add_copy(named);
    g.add_empty();
    FDATA d;
    d.fill_from_group(g, kFormFs);
    EXPECT_EQ(d.table(0).name, "t1");
    EXPECT_EQ(d.table(1).name, "N");
    EXPECT_EQ(d.table(2).name, "t3");
    EXPECT_FALSE(d.table(2).filled());
    GROUPTAB back;
    ASSERT_TRUE(d.build_group(back));
    EXPECT_TRUE(back.equals(g));
    EXPECT_EQ(back.item(1).header(), "N");
}

TEST(FdataSave, ListOperations) {
    FDATA d = project_of({test::line(3, 0, 1)});
    EXPECT_FALSE(d.delete_table(0));       // never the last table
    EXPECT_FALSE(d.insert_table(1, true)); // only before an existing table
    ASSERT_TRUE(d.insert_table(0, false));
    EXPECT_EQ(d.count, 2u);
    EXPECT_EQ(d.table(0).point_count(), 0);
    EXPECT_EQ(d.table(1).point_count(), 3);
    while (d.add_table()) {
    }
    EXPECT_EQ(d.count, 16u);
    EXPECT_FALSE(d.insert_table(0, true));
    ASSERT_TRUE(d.delete_table(0));
    EXPECT_EQ(d.table(0).point_count(), 3);
    EXPECT_EQ(d.table(15).point_count(), 0);
}
