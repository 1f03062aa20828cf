#include "support/cp1251.h"
#include "support/syscfg.h"
#include "testing/files.h"
#include "testing/recording_sink.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tgm;
using tgm::test::TempDir;

namespace {

struct Started {
    TempDir dir;
    test::RecordingSink sink;
    SYSCFG cfg;

    std::string folder() const { return dir.path() + "/"; }
    void ini(const std::string& text) { test::write_file(dir.file("tgm.ini"), text); }
    void start(const std::vector<std::string>& params = {}) {
        cfg.start_config(params, folder(), "/forms/x");
    }
};

std::string record(const std::string& folder, int32_t keyboard) {
    std::string r("\3\0\0\0tgm", 7);
    r += std::string("\5\0\0\0\x09\0\0\0\xA0\x0F\0\0\x07", 13);
    const uint32_t n = static_cast<uint32_t>(folder.size());
    r += std::string{char(n), 0, 0, 0} + folder;
    r += std::string{char(keyboard), 0, 0, 0};
    return r;
}

} // namespace

TEST(Syscfg, DefaultsWithoutFiles) {
    Started s;
    s.start();
    EXPECT_FALSE(s.cfg.traffic());
    EXPECT_FALSE(s.cfg.trace());
    EXPECT_EQ(s.cfg.title(), cp("Tarvel-Сервис. Градуировочные таблицы"));
    EXPECT_EQ(s.cfg.chanpar().port, 0);
    EXPECT_EQ(s.cfg.chanpar().reserved_1, 9);
    EXPECT_EQ(s.cfg.chanpar().reserved_2, 4000);
    EXPECT_EQ(s.cfg.syspar().forms_folder(), "/forms/");
    EXPECT_EQ(s.cfg.syspar().console_keyboard, 0);
    EXPECT_TRUE(s.sink.messages.empty());
    EXPECT_FALSE(test::file_exists(s.dir.file("tgm.cfg")));
}

TEST(Syscfg, TrafficKeySetsBothSwitchesWhateverItsValue) {
    for (const char* text : {"traffic\r\n", "traffic = off\r\n", "  traffic=0"}) {
        Started s;
        s.ini(text);
        s.start();
        EXPECT_TRUE(s.cfg.traffic()) << text;
        EXPECT_TRUE(s.cfg.trace()) << text;
    }
    Started s;
    s.ini("Traffic\r\nTRACE\r\n");
    s.start();
    EXPECT_FALSE(s.cfg.traffic());
    EXPECT_FALSE(s.cfg.trace());
    Started t;
    t.ini("trace\r\n");
    t.start();
    EXPECT_FALSE(t.cfg.traffic());
    EXPECT_TRUE(t.cfg.trace());
}

TEST(Syscfg, TitleRules) {
    Started s;
    s.ini("title = first\r\ntitle  =  " + cp("Два слова") + "  \r\n");
    s.start();
    EXPECT_EQ(s.cfg.title(), cp("Два слова"));

    // Split at the last "=": the key becomes "title = a", not "title".
    Started eq;
    eq.ini("title = a=b\r\n");
    eq.start();
    EXPECT_EQ(eq.cfg.title(), default_title());

    Started bare;
    bare.ini("title\r\n");
    bare.start();
    EXPECT_EQ(bare.cfg.title(), "");
}

// Only the first 64 KiB are read: a huge line there is ignored as an unknown key is, and so is
// whatever follows it.
TEST(Syscfg, OnlyTheHeadOfAHugeIniIsRead) {
    Started s;
    s.ini("trace\r\ntitle = short\r\ntitle = " + std::string(SYSCFG::kMaxIniBytes, 'x') +
          "\r\ntraffic\r\n");
    s.start();
    EXPECT_TRUE(s.cfg.trace());
    EXPECT_FALSE(s.cfg.traffic());
    EXPECT_EQ(s.cfg.title(), "short");
}

TEST(Syscfg, OnlyAnExactFirstParameterDashTSetsTraffic) {
    Started s;
    s.start({"-t"});
    EXPECT_TRUE(s.cfg.traffic());
    EXPECT_TRUE(s.cfg.trace());
    Started upper;
    upper.start({"-T"});
    EXPECT_FALSE(upper.cfg.traffic());
    Started second;
    second.start({"x", "-t"});
    EXPECT_FALSE(second.cfg.traffic());
}

TEST(Syscfg, ShorterRecordOverwritesInPlaceAndKeepsTheLength) {
    Started s;
    s.start();
    s.cfg.chanpar().port = 5;
    s.cfg.chanpar().reserved_3 = 7;
    s.cfg.syspar().set_forms_folder("/abcdefgh/x.fs"); // "/abcdefgh/": 10 characters
    s.cfg.syspar().console_keyboard = 2;
    ASSERT_TRUE(s.cfg.save_config());
    const std::string first = test::read_file(s.dir.file("tgm.cfg"));
    EXPECT_EQ(first, record("/abcdefgh/", 2));
    ASSERT_EQ(first.size(), 38u);

    s.cfg.syspar().set_forms_folder("/a/b");
    s.cfg.syspar().console_keyboard = 1;
    ASSERT_TRUE(s.cfg.save_config());
    const std::string second = test::read_file(s.dir.file("tgm.cfg"));
    ASSERT_EQ(second.size(), 38u);
    EXPECT_EQ(second.substr(0, 31), record("/a/", 1));
    EXPECT_EQ(second.substr(31), first.substr(31));

    // The tail is never read: the next start sees the new record.
    SYSCFG again;
    again.start_config({}, s.folder(), "/elsewhere/");
    EXPECT_EQ(again.chanpar().port, 5);
    EXPECT_EQ(again.chanpar().reserved_3, 7);
    EXPECT_EQ(again.syspar().forms_folder(), "/a/");
    EXPECT_EQ(again.syspar().console_keyboard, 1);
    EXPECT_TRUE(s.sink.messages.empty());
}

// tgm.cfg is written in place: a save killed after any byte leaves the new record's start over
// the old file. Every such file still starts the program, and a keypad type outside 0 to 2 (here
// bytes of the old folder text read as one) is taken as 0.
TEST(Syscfg, ASaveKilledAfterAnyByteStillStarts) {
    const std::string old_record = record("/an-older-forms-folder/", 2);
    const std::string new_record = record("/f/", 1);
    for (std::size_t written = 0; written <= new_record.size(); ++written) {
        Started s;
        test::write_file(s.dir.file("tgm.cfg"),
                         new_record.substr(0, written) + old_record.substr(written));
        s.start();
        const int32_t keypad = s.cfg.syspar().console_keyboard;
        EXPECT_TRUE(keypad >= 0 && keypad <= 2) << written;
        if (written == 0 || written == new_record.size()) {
            EXPECT_EQ(keypad, written == 0 ? 2 : 1);
            EXPECT_TRUE(s.sink.messages.empty());
        }
        if (written == 24) {
            EXPECT_EQ(s.cfg.syspar().forms_folder(), "/"); // the new length over the old "/an"
            EXPECT_EQ(keypad, 0);
        }
    }
    for (int32_t stored : {3, 255}) {
        Started s;
        test::write_file(s.dir.file("tgm.cfg"), record("/f/", stored));
        s.start();
        EXPECT_EQ(s.cfg.syspar().console_keyboard, 0) << stored;
    }
}

TEST(Syscfg, ForeignSignatureKeepsDefaultsSilentlyAndIsOverwritten) {
    Started s;
    test::write_file(s.dir.file("tgm.cfg"), std::string("\3\0\0\0TGM", 7) + std::string(40, '\1'));
    s.start();
    EXPECT_EQ(s.cfg.chanpar().port, 0);
    EXPECT_EQ(s.cfg.syspar().forms_folder(), "/forms/");
    EXPECT_TRUE(s.sink.messages.empty());
    ASSERT_TRUE(s.cfg.save_config());
    EXPECT_EQ(test::read_file(s.dir.file("tgm.cfg")).substr(0, 7), std::string("\3\0\0\0tgm", 7));
}

TEST(Syscfg, ShortFileReportsAndKeepsWhatWasRead) {
    Started s;
    test::write_file(s.dir.file("tgm.cfg"), record("/f/", 1).substr(0, 13)); // port and half
    s.start();
    EXPECT_EQ(s.cfg.chanpar().port, 5);
    EXPECT_EQ(s.cfg.chanpar().reserved_2, 4000);
    ASSERT_EQ(s.sink.messages.size(), 1u);
    EXPECT_EQ(s.sink.messages[0], cp("Ошибка при чтении файла конфигурации"));
}

TEST(Syscfg, DirectoryInPlaceOfTheFileGivesBothMessages) {
    Started s;
    std::filesystem::create_directory(s.dir.file("tgm.cfg"));
    s.start();
    EXPECT_FALSE(s.cfg.save_config());
    ASSERT_EQ(s.sink.messages.size(), 2u);
    EXPECT_EQ(s.sink.messages[0], cp("Ошибка при чтении файла конфигурации"));
    EXPECT_EQ(s.sink.messages[1], cp("Ошибка при записи файла конфигурации"));
}

TEST(Syscfg, FolderThroughAFileCannotBeWritten) {
    Started s;
    test::write_file(s.dir.file("plain"), "x");
    s.cfg.start_config({}, s.dir.file("plain") + "/", "/forms/");
    EXPECT_TRUE(s.sink.messages.empty()); // missing files are no error
    EXPECT_FALSE(s.cfg.save_config());
    ASSERT_EQ(s.sink.messages.size(), 1u);
    EXPECT_EQ(s.sink.messages[0], cp("Ошибка при записи файла конфигурации"));
}
