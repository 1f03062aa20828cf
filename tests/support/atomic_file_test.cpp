// Kills at the worst moment: a form save cut off anywhere leaves the old form file or the new
// one, byte for byte, and the temporaries it leaves are cleared by the next save of that file.
#include "forms/fdata.h"
#include "support/atomic_file.h"
#include "testing/files.h"
#include "testing/kill_seed.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace tgm::test {
namespace {

int steps_left = 0; // in the saving child

void die_at_countdown(ReplaceStep) {
    if (--steps_left == 0)
        ::kill(::getpid(), SIGKILL);
}

// A child that saves A, B, A, B ... over `target` until it is killed; with kill_at_step it
// kills itself at that step of the saves, counted from 1.
pid_t start_saving(const FDATA& a, const FDATA& b, const std::string& target, int kill_at_step) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (kill_at_step > 0) {
            steps_left = kill_at_step;
            set_replace_hook(die_at_countdown);
        }
        for (uint64_t i = 0;; ++i)
            (i % 2 == 0 ? a : b).save_form_file(target);
    }
    return pid;
}

bool killed(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

std::vector<std::string> hidden_files(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name[0] == '.' && name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool temporary_of(const std::string& name, const std::string& target) {
    const std::string prefix = "." + target + ".tgm-";
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

struct TwoProjects : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(a.load_form_file(examples_dir() + "/tank_farm.fs"));
        b.assign(a);
        ASSERT_TRUE(b.delete_table(0));
        ASSERT_TRUE(b.save_form_file(target));
        text_b = read_file(target);
        ASSERT_TRUE(a.save_form_file(dir.file("a.fs")));
        text_a = read_file(dir.file("a.fs"));
        ASSERT_NE(text_a, text_b);
        ::unlink(dir.file("a.fs").c_str());
    }
    TempDir dir;
    const std::string target = dir.file("t.fs");
    FDATA a, b;
    std::string text_a, text_b;
};

// Saves of A over B and of B over A, killed after each of their four steps: until the rename
// the old form stays, from it on the new one; the temporaries left carry the target's name.
TEST_F(TwoProjects, AKillAtEachStepLeavesTheOldFormOrTheNew) {
    for (int step = 1; step <= 8; ++step) {
        ASSERT_TRUE(b.save_form_file(target));
        ASSERT_TRUE(killed(start_saving(a, b, target, step))) << step;
        const int save = (step - 1) / 4; // A first, then B
        const bool renamed = (step - 1) % 4 == 3;
        const bool holds_a = renamed ? save == 0 : save == 1;
        EXPECT_EQ(read_file(target), holds_a ? text_a : text_b) << "killed at step " << step;
        const std::vector<std::string> left = hidden_files(dir.path());
        EXPECT_EQ(left.size(), renamed ? 0u : 1u) << step;
        for (const std::string& name : left)
            EXPECT_TRUE(temporary_of(name, "t.fs")) << name;
    }
}

// Kills at seeded random moments of a child that saves without pause (TGM_KILL_SEED repeats a
// run); then a save of another file keeps this file's temporaries, and a save of this file
// clears them and keeps the other file's.
TEST_F(TwoProjects, KillsAtRandomMomentsLeaveTheOldFormOrTheNew) {
    const unsigned seed = kill_seed();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay_us(0, 20000);
    int holding_a = 0, holding_b = 0, mid_save = 0;
    for (int run = 0; run < 100; ++run) {
        const pid_t pid = start_saving(a, b, target, 0);
        ::usleep(static_cast<useconds_t>(delay_us(random)));
        ::kill(pid, SIGKILL);
        ASSERT_TRUE(killed(pid));
        const std::string text = read_file(target);
        ASSERT_TRUE(text == text_a || text == text_b) << "run " << run << ", seed " << seed;
        ++(text == text_a ? holding_a : holding_b);
        for (const std::string& name : hidden_files(dir.path())) {
            ASSERT_TRUE(temporary_of(name, "t.fs")) << name;
            ++mid_save;
            ::unlink(dir.file(name).c_str()); // counted once
        }
    }
    std::printf("100 kills: A %d times, B %d times, %d in the middle of a save\n", holding_a,
                holding_b, mid_save);

    ASSERT_TRUE(killed(start_saving(a, b, target, 2))); // leaves a half-written temporary
    ASSERT_TRUE(a.save_form_file(dir.file("other.fs")));
    const auto count_of = [&](const std::string& of) {
        int n = 0;
        for (const std::string& name : hidden_files(dir.path()))
            n += temporary_of(name, of) ? 1 : 0;
        return n;
    };
    EXPECT_EQ(count_of("t.fs"), 1);
    write_file(dir.file(".other.fs.tgm-abcdef"), "another save's");
    ASSERT_TRUE(b.save_form_file(target));
    EXPECT_EQ(count_of("t.fs"), 0);
    EXPECT_EQ(count_of("other.fs"), 1);
}

} // namespace
} // namespace tgm::test
