#include "encoding/unit_version.h"
#include "operations/version_table.h"

#include <gtest/gtest.h>

namespace tgm {
namespace {

TEST(VersionTable, LookupsAndTheirFallbacks) {
    EXPECT_EQ(code_of_version(6210), 4);
    EXPECT_EQ(code_of_version(7310), 21);
    EXPECT_EQ(code_of_version(9626), kCode96XX);
    EXPECT_EQ(code_of_version(9627), kCode96XX);
    EXPECT_EQ(code_of_version(10000), kCode10XXX);
    EXPECT_EQ(code_of_version(1000), kCode10XXX);
    EXPECT_EQ(code_of_version(9625), kCodeNoDriver);
    EXPECT_EQ(code_of_version(0), 0);
    EXPECT_EQ(name_of_code(35), "?");
    EXPECT_EQ(name_of_code(4), "621a ");
    EXPECT_EQ(name_of_code(31), "96XX");
    EXPECT_EQ(name_of_code(34), "10XXX");
    EXPECT_EQ(name_of_code(0), "5X0 ");
    EXPECT_EQ(driver_of_code(5), kNoDriver);
    EXPECT_EQ(driver_of_code(kCodeNoDriver), kNoDriver);
    EXPECT_EQ(driver_of_code(29), 11);
    EXPECT_EQ(driver_of_code(33), 14);
}

TEST(VersionTable, VersionsFromBytesAndTheirFolding) {
    EXPECT_EQ(compose_version(6, 3, 4), 6340);
    EXPECT_EQ(compose_version(6, 3, 41), 6341);
    EXPECT_EQ(compose_version(9, 6, 10), 9610);
    EXPECT_EQ(compose_version(10, 0, 0), 10000);
    // Version bytes 9,5,0 / 9,6,10 / 9,6,16 / 9,7,0 / 1,0,0 reach drivers 11, 12, 14, 14, 15.
    auto driver = [](int32_t v) { return driver_of_code(code_of_version(normalize_version(v))); };
    EXPECT_EQ(driver(9500), 11);
    EXPECT_EQ(driver(9610), 12);
    EXPECT_EQ(driver(9616), 14);
    EXPECT_EQ(driver(9700), 14);
    EXPECT_EQ(driver(9622), 13);
    EXPECT_EQ(driver(1000), 15);
    EXPECT_EQ(driver(8529), 16);
}

} // namespace
} // namespace tgm
