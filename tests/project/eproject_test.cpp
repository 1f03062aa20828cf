#include "project/eproject.h"

#include "encoding/arj_tab.h"
#include "forms/form_kind.h"
#include "testing/files.h"
#include "testing/tables.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

using namespace tgm;
using tgm::test::TempDir;

namespace {

// A project holding n tables of `points` points each, header "pK".
void fill(EPROJECT& p, int n, int points = 3, int base = 0) {
    GROUPTAB g;
    for (int k = 0; k < n; ++k) {
        PARTAB t = test::line(points, base + 100 * k, 1);
        t.set_header("p" + std::to_string(base + k));
        g.add_copy(t);
    }
    p.take_group(g, "test");
    p.set_modified(false);
}

} // namespace

TEST(Eproject, NewProjectAndLimits) {
    EPROJECT p;
    EXPECT_EQ(p.count(), 0);
    p.new_project();
    EXPECT_EQ(p.name(), "NONAME");
    EXPECT_EQ(p.count(), 1);
    EXPECT_TRUE(p.modified());
    p.set_modified(false);
    EXPECT_FALSE(p.delete_table(0));
    EXPECT_FALSE(p.paste_table(0)); // empty clipboard
    EXPECT_FALSE(p.modified());
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(p.add_table());
    EXPECT_FALSE(p.add_table());
    EXPECT_FALSE(p.insert_gap(0));
}

TEST(Eproject, ClipboardOutlivesANewProject) {
    EPROJECT p;
    fill(p, 2);
    p.copy_table(1);
    p.new_project();
    ASSERT_TRUE(p.paste_table(0));
    EXPECT_EQ(p.count(), 2);
    EXPECT_EQ(p.header(0), "p1");
    EXPECT_EQ(p.capacity_text(0), "102");
}

TEST(Eproject, GapsAndControlTexts) {
    EPROJECT p;
    fill(p, 2);
    ASSERT_TRUE(p.insert_gap(1));
    p.update_control();
    EXPECT_EQ(p.count(), 3);
    EXPECT_EQ(p.control_text(1), "");
    EXPECT_EQ(p.header(2), "p1"); // the former table 1 is now on channel 3
    EXPECT_EQ(p.control_text(0), "OK ");
    EXPECT_TRUE(p.writable(1));

    GROUPTAB g;
    g.add_copy(test::table({0, 200, 201}));
    g.add_copy(test::table({100, 50}));
    g.add_copy(test::table({0, 40000}));
    PARTAB wide(200);
    for (int i = 0; i < 200; ++i)
        wide.point(i) = i;
    g.add_copy(wide);
    p.take_group(g, "Система");
    p.update_control();
    EXPECT_EQ(p.control_text(0), "OK*");
    EXPECT_EQ(p.control_text(1), "OK*");
    EXPECT_EQ(p.control_text(2), "OK**");
    EXPECT_EQ(p.max_level_text(3), "199");
}

TEST(Eproject, HeadersAndEditedCopies) {
    EPROJECT p;
    fill(p, 2);
    p.set_header(0, "p0");
    EXPECT_FALSE(p.modified());
    FDATA copy;
    copy.assign(p.tables());
    p.take_edited(copy);
    EXPECT_FALSE(p.modified());
    copy.table(1).name = "changed";
    p.take_edited(copy);
    EXPECT_TRUE(p.modified());
    EXPECT_EQ(p.header(1), "changed");
    p.set_modified(false);
    p.set_header(0, "new");
    EXPECT_TRUE(p.modified());
}

TEST(Eproject, InsertTablesCutsTheProjectsLastTables) {
    EPROJECT p, imported;
    fill(p, 14);
    fill(imported, 5, 3, 1000);
    ASSERT_TRUE(p.insert_tables(0, imported));
    EXPECT_EQ(p.count(), 16);
    EXPECT_TRUE(p.modified());
    EXPECT_EQ(p.header(0), "p1000");
    EXPECT_EQ(p.header(4), "p1004");
    EXPECT_EQ(p.header(5), "p0");
    EXPECT_EQ(p.header(15), "p10");

    EPROJECT q, more;
    fill(q, 2);
    fill(more, 2, 4, 500);
    ASSERT_TRUE(q.add_tables(more));
    EXPECT_EQ(q.count(), 4);
    EXPECT_EQ(q.header(2), "p500");
}

TEST(Eproject, TablesThatDoNotConvertAreNeverCombined) {
    TempDir dir;
    test::write_file(dir.file("bad.fs2"), "# bad\r\n1\r\n-\r\n3\r\n");
    EPROJECT imported;
    ASSERT_TRUE(imported.open_form(dir.file("bad.fs2")));
    EPROJECT p;
    fill(p, 2);
    EXPECT_FALSE(p.add_tables(imported));
    EXPECT_FALSE(p.insert_tables(1, imported));
    EXPECT_EQ(p.count(), 2);
    EXPECT_FALSE(p.modified());
}

TEST(Eproject, OpenAndTakeTablesGoThroughLitres) {
    TempDir dir;
    test::write_file(dir.file("c.fs1"), "# cubic\r\n0\r\n1.5\r\n2,25\r\n");
    EPROJECT imported;
    ASSERT_TRUE(imported.open_form(dir.file("c.fs1")));
    EXPECT_TRUE(imported.table_form());
    EXPECT_EQ(imported.name(), dir.file("c.fs1"));
    EXPECT_FALSE(imported.modified());
    EPROJECT p;
    ASSERT_TRUE(p.take_tables(imported));
    EXPECT_FALSE(p.modified());
    EXPECT_EQ(p.tables().kind(), kFormFs);
    EXPECT_EQ(p.capacity_text(0), "2250");
    ASSERT_TRUE(p.save_form(dir.file("out.fs")));
    EXPECT_EQ(test::read_file(dir.file("out.fs")), "\r\n\r\n# cubic\r\n\r\n\r\n|  0 1500 2250");

    EPROJECT none;
    EXPECT_FALSE(p.take_tables(none));
    EXPECT_EQ(p.count(), 0);

    test::write_file(dir.file("s.f1"), "# s\r\n| 100 50\r\n| 300 150\r\n");
    ASSERT_TRUE(imported.open_form(dir.file("s.f1")));
    EXPECT_FALSE(imported.table_form());
}

TEST(Eproject, AOnePointTableIsWrittenAndExportedAsTheGapItShows) {
    TempDir dir;
    test::write_file(dir.file("mid.fs"),
                     "# a\r\n| 0 10 20\r\n# one\r\n| 500\r\n# c\r\n| 0 30 70\r\n");
    EPROJECT p;
    ASSERT_TRUE(p.open_form(dir.file("mid.fs")));
    p.update_control();
    EXPECT_EQ(p.control_text(1), "");
    EXPECT_TRUE(p.all_writable());
    GROUPTAB g;
    ASSERT_TRUE(p.build_group(g));
    EXPECT_EQ(g.item(1).count(), 0);
    EXPECT_EQ(g.item(1).header(), "one");
    // Second differences hold what the unit is sent: a lone point would have failed the pack.
    TArjTab image(0);
    image.pack(g);
    EXPECT_EQ(image.failures(), 0);
    ASSERT_TRUE(p.export_form(dir.file("x.fs32"), kFormFs32));
    EXPECT_EQ(test::read_file(dir.file("x_t2.fs32")), "");
}
