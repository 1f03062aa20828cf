#include "support/atomic_file.h"
#include "support/xfile.h"
#include "testing/files.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tgm;
using tgm::test::TempDir;

TEST(Xfile, CreatesOnlyWhenAllowedAndMovesExactCounts) {
    TempDir dir;
    const std::string name = dir.file("a.bin");
    {
        XFILE missing(name, false, XFILE::Mode::read);
        EXPECT_FALSE(missing.is_open());
    }
    {
        XFILE f(name, true, XFILE::Mode::write);
        ASSERT_TRUE(f.is_open());
        EXPECT_TRUE(f.write_int32(0x01020304));
        EXPECT_TRUE(f.write_byte(0xAB));
        EXPECT_TRUE(f.write_text("hi"));
    }
    EXPECT_EQ(test::read_file(name), std::string("\x04\x03\x02\x01\xAB\x02\0\0\0hi", 11));
    XFILE f(name, false, XFILE::Mode::read);
    int32_t v = 0;
    uint8_t b = 0;
    std::string t;
    EXPECT_TRUE(f.read_int32(v));
    EXPECT_EQ(v, 0x01020304);
    EXPECT_TRUE(f.read_byte(b));
    EXPECT_EQ(b, 0xAB);
    EXPECT_TRUE(f.read_text(t));
    EXPECT_EQ(t, "hi");
    EXPECT_FALSE(f.read_byte(b)); // short transfer at the end
}

TEST(Xfile, DamagedTextLengthIsRefused) {
    TempDir dir;
    test::write_file(dir.file("x"), std::string("\xFF\xFF\xFF\x7F"
                                                "abc",
                                                7));
    XFILE f(dir.file("x"), false, XFILE::Mode::read);
    std::string t = "kept";
    EXPECT_FALSE(f.read_text(t));
    EXPECT_EQ(t, "kept");
}

TEST(Xfile, DirectoryIsNotAFile) {
    TempDir dir;
    XFILE f(dir.path(), false, XFILE::Mode::read);
    EXPECT_FALSE(f.is_open());
    std::string bytes;
    EXPECT_FALSE(read_whole_file(dir.path(), bytes));
    EXPECT_FALSE(read_whole_file(dir.file("missing"), bytes));
}

TEST(AtomicFile, ReplacesAndKeepsPermissions) {
    TempDir dir;
    const std::string name = dir.file("t.fs");
    test::write_file(name, "old");
    ::chmod(name.c_str(), 0640);
    ASSERT_TRUE(write_file_replacing(name, "new content"));
    EXPECT_EQ(test::read_file(name), "new content");
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, FailureLeavesNothingBehind) {
    TempDir dir;
    test::write_file(dir.file("plain"), "x");
    // The folder is a file: nothing can be created there.
    EXPECT_FALSE(write_file_replacing(dir.file("plain/t.fs"), "data"));
    // The target is a directory.
    ::mkdir(dir.file("sub").c_str(), 0755);
    EXPECT_FALSE(write_file_replacing(dir.file("sub"), "data"));
    std::string bytes;
    EXPECT_EQ(test::read_file(dir.file("plain")), "x");
}
