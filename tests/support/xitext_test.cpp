#include "support/xitext.h"

#include "testing/files.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <vector>

using tgm::XITEXT;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    XITEXT r;
    r.load_bytes(text);
    std::vector<std::string> out;
    while (r.next_line())
        out.push_back(r.line());
    return out;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(Xitext, LineEndsBlanksAndEmptyLines) {
    EXPECT_EQ(lines_of("a\r\n\r\n  b  \r\n\t\r\nc"),
              (Lines{"a", "b", "c"})); // last line without LF
    EXPECT_EQ(lines_of(""), Lines{});
    EXPECT_EQ(lines_of("\r\n \r\n// only a remark\r\n/* x */\r\n"), Lines{});
    EXPECT_EQ(lines_of("x\ry\n"), Lines{"xy"}); // CR is dropped wherever it stands
}

TEST(Xitext, LineComments) {
    EXPECT_EQ(lines_of("key // remark\n// whole line\nnext"), (Lines{"key", "next"}));
    // A lone slash ends the scan: a later "//" is ordinary text.
    EXPECT_EQ(lines_of("path=a/b//c"), Lines{"path=a/b//c"});
}

TEST(Xitext, BlockCommentsSpanLines) {
    // "*/" on the opening line does not close the comment.
    EXPECT_EQ(lines_of("key /* remark */ tail\nskipped\nalso */ after\nlast"),
              (Lines{"key", "after", "last"}));
    // Nested openings need as many closings.
    EXPECT_EQ(lines_of("/* one\n/* two\n*/ still inside\n*/ out\n"), (Lines{"out"}));
    // Outside a comment, "*/" delivers only the text after it.
    EXPECT_EQ(lines_of("word */ other"), Lines{"other"});
    // Inside a comment a line cut by "//" is still skipped.
    EXPECT_EQ(lines_of("/*\nvisible? // no\n*/\nyes"), Lines{"yes"});
}

TEST(Xitext, SplitAtTheLastEquals) {
    XITEXT r;
    r.load_bytes(" a = b = c \nkeyonly\n");
    ASSERT_TRUE(r.next_line());
    ASSERT_TRUE(r.split());
    EXPECT_EQ(r.key(), "a = b");
    EXPECT_EQ(r.value(), "c");
    ASSERT_TRUE(r.next_line());
    ASSERT_TRUE(r.split());
    EXPECT_EQ(r.key(), "keyonly");
    EXPECT_EQ(r.value(), "");
    EXPECT_FALSE(r.next_line());
}

TEST(Xitext, LoadFromFiles) {
    tgm::test::TempDir dir;
    XITEXT r;
    EXPECT_FALSE(r.load(dir.file("missing.ini")));
    EXPECT_FALSE(r.load(dir.path())); // a directory is no file
    tgm::test::write_file(dir.file("empty.ini"), "");
    EXPECT_TRUE(r.load(dir.file("empty.ini")));
    EXPECT_FALSE(r.next_line());
    tgm::test::write_file(dir.file("t.ini"), "title = Склад\r\n");
    XITEXT t;
    ASSERT_TRUE(t.load(dir.file("t.ini")));
    ASSERT_TRUE(t.next_line());
    ASSERT_TRUE(t.split());
    EXPECT_EQ(t.value(), "Склад");
}
