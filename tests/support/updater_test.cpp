#include "support/cp1251.h"
#include "support/platform.h"
#include "support/updater.h"
#include "testing/files.h"
#include "testing/recording_sink.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace tgm;
using tgm::test::TempDir;
namespace fs = std::filesystem;

namespace {

// The search works on the current folder, so each test runs inside its own.
class InFolder {
public:
    InFolder() : previous_(fs::current_path()) { fs::current_path(dir.path()); }
    ~InFolder() { fs::current_path(previous_); }
    TempDir dir;

private:
    fs::path previous_;
};

void script(const std::string& path, const std::string& body) {
    test::write_file(path, "#!/bin/sh\n" + body + "\n");
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
}

// The replacement run is not waited for: poll until it has left its line.
std::string wait_for_lines(const std::string& path, int lines) {
    std::string text;
    for (int i = 0; i < 250; ++i) {
        text = test::read_file(path);
        if (std::count(text.begin(), text.end(), '\n') >= lines)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return text;
}

} // namespace

TEST(Updater, WithoutUpdateIniNothingIsFound) {
    InFolder here;
    script("tgmupd", "exit 0");
    UPDATER u;
    EXPECT_FALSE(u.find_updater());
    EXPECT_FALSE(u.found());
}

TEST(Updater, EmptyManagerAndNoUpdaterHereHidesTheCommand) {
    InFolder here;
    test::write_file("update.ini", "manager =\r\n");
    test::write_file("tgmupd-not-executable", "");
    UPDATER u;
    EXPECT_FALSE(u.find_updater());
}

TEST(Updater, ManagerFolderWithoutUpdaterFallsBackToTheBareNameHere) {
    InFolder here;
    fs::create_directory("mgr");
    test::write_file("update.ini", "manager = " + here.dir.file("mgr") + "\r\n");
    script("tgmupd2", "exit 0");
    script("tgmupd1", "exit 0");
    fs::create_directory("tgmupd0"); // a folder is no updater
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    EXPECT_EQ(u.path(), "tgmupd1");
}

TEST(Updater, ManagerFolderWinsAndTheLastManagerKeyCounts) {
    InFolder here;
    fs::create_directory("a");
    fs::create_directory("b");
    script("b/tgmupd_z", "exit 0");
    script("b/tgmupd_B", "exit 0"); // 'B' sorts before 'z'
    script("tgmupd", "exit 0");
    test::write_file("update.ini", "manager = a\r\nmanager = b/\r\n");
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    EXPECT_EQ(u.path(), "b/tgmupd_B");
}

TEST(Updater, CheckRunGetsPidCAndExecutableAndAnOrdinaryExitIsSilent) {
    InFolder here;
    test::RecordingSink sink;
    test::write_file("update.ini", "");
    script("tgmupd", "echo \"$0 $*\" > args.txt; exit 3");
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    EXPECT_EQ(u.run_update("/opt/tgm/tgm"), UPDATER::Outcome::finished);
    EXPECT_EQ(test::read_file("args.txt"),
              "./tgmupd " + std::to_string(::getpid()) + " c /opt/tgm/tgm\n");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(Updater, ExitStatus247AsksForTheReplacementRun) {
    InFolder here;
    test::write_file("update.ini", "");
    script("tgmupd", "echo \"$*\" >> runs.txt; [ \"$2\" = c ] && exit 247; exit 0");
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    EXPECT_EQ(u.run_update("/x/tgm"), UPDATER::Outcome::replace);
    const std::string pid = std::to_string(::getpid());
    EXPECT_EQ(wait_for_lines("runs.txt", 2), pid + " c /x/tgm\n" + pid + " r /x/tgm\n");
}

TEST(Updater, DeathBySignalNineIsNoReplacementRequest) {
    InFolder here;
    test::write_file("update.ini", "");
    script("tgmupd", "kill -9 $$");
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    EXPECT_EQ(u.run_update("/x/tgm"), UPDATER::Outcome::finished);
}

TEST(Updater, StartFailuresShowTheirMessages) {
    InFolder here;
    test::RecordingSink sink;
    test::write_file("update.ini", "");
    script("tgmupd", "rm -f \"$0\"; exit 247");
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    // The updater removes itself, so the replacement run cannot start.
    EXPECT_EQ(u.run_update("/x/tgm"), UPDATER::Outcome::replace_failed);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "update r - " + utf8_to_cp1251(std::strerror(ENOENT)));
    // Now the check run itself cannot start.
    EXPECT_EQ(u.run_update("/x/tgm"), UPDATER::Outcome::start_failed);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1], "update c - " + std::to_string(ENOENT));
}

// The hand-over with a real program in the updater's place (beside this test program), as it
// runs on either system: the check run is waited for and its ordinary end is silent; its replace
// request starts the replacement run, which is not waited for.
TEST(UpdaterProgram, TheCheckRunIsWaitedForAndItsReplaceRequestStartsTheReplacementRun) {
    const std::string beside = fs::path(executable_path()).parent_path().string();
    std::string stand_in = beside + "/stand_in_updater.exe";
    if (!fs::exists(stand_in))
        stand_in = beside + "/stand_in_updater";
    ASSERT_TRUE(fs::exists(stand_in)) << stand_in;
    InFolder here;
    test::RecordingSink sink;
    test::write_file("update.ini", "");
    const std::string updater = "tgmupd" + fs::path(stand_in).extension().string();
    fs::copy_file(stand_in, updater);
    UPDATER u;
    ASSERT_TRUE(u.find_updater());
    const std::string pid = std::to_string(::getpid());
    EXPECT_EQ(u.run_update("C:/tgm/tgm.exe"), UPDATER::Outcome::finished);
    EXPECT_EQ(test::read_file("runs.txt"), pid + " c C:/tgm/tgm.exe\n");
    test::write_file("ask-replace.txt", "");
    EXPECT_EQ(u.run_update("C:/tgm/tgm.exe"), UPDATER::Outcome::replace);
    EXPECT_EQ(wait_for_lines("runs.txt", 3), pid + " c C:/tgm/tgm.exe\n" + pid +
                                                 " c C:/tgm/tgm.exe\n" + pid +
                                                 " r C:/tgm/tgm.exe\n");
    EXPECT_TRUE(sink.messages.empty());
}
