#include "support/file_locations.h"

#include "testing/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

using namespace tgm;

namespace {

// Sets or clears an environment variable for one test and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

TEST(FileLocations, OnlyAPortableBuildKeepsItsFilesBesideTheExecutable) {
    test::TempDir config;
    ScopedEnv home("TGM_HOME", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", config.path().c_str());
    const std::string own = std::filesystem::path(program_path()).parent_path().string() + "/";
    ASSERT_EQ(::access(own.c_str(), W_OK), 0) << "the test needs a writable build folder";

    EXPECT_EQ(home_folder(true), own);
    // Installed: not beside itself, though the folder is writable (as it is to root).
    EXPECT_EQ(home_folder(false), config.file("tgm") + "/");
    EXPECT_TRUE(std::filesystem::is_directory(config.file("tgm")));

    ScopedEnv forced("TGM_HOME", config.path().c_str());
    EXPECT_EQ(home_folder(true), config.path() + "/");
    EXPECT_EQ(home_folder(false), config.path() + "/");
}
