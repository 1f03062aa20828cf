// The committed example files are exactly what the program's writers produce today; a change
// in any writer shows up here as a byte difference.
#include "testing/files.h"
#include "testing/run_program.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

TEST(Examples, RegeneratedFilesAreByteIdentical) {
    tgm::test::TempDir dir;
    const auto r = tgm::test::run_program("tools/examples/tgm-make-examples", {dir.path()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    for (const char* name : {"tank_farm.fs", "station_cubic.fs1", "station_litres.fs2",
                             "rgs50.fs31", "rvs1000.fs32", "survey.f1"}) {
        const std::string committed = tgm::test::read_file(tgm::test::examples_dir() + "/" + name);
        ASSERT_FALSE(committed.empty()) << name;
        EXPECT_EQ(tgm::test::read_file(dir.file(name)), committed) << name;
    }
}
