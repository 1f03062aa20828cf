#pragma once
// The firmware version table: each generation's code, name, version number and table driver.
#include <cstdint>
#include <string>

namespace tgm {

struct VersionRow {
    uint8_t code;
    const char* name; // nullptr in the end row
    int32_t version;  // major * 1000 + minor * 100 + sub-version
    uint8_t driver;
};

// The code of a unit that answers the probe as the 621 units do; they give no version.
constexpr int32_t kCode621 = 4;
// The codes of the versions no row names.
constexpr int32_t kCode96XX = 33;     // a 96XX version above 9626; also every V unit
constexpr int32_t kCode10XXX = 34;    // 10000 and above
constexpr int32_t kCodeNoDriver = 35; // any other version: no table driver
// The table drivers whose code says more than which header layout to use.
constexpr int32_t kDriver853 = 11;
constexpr int32_t kDriver960 = 12;
constexpr int32_t kDriver962 = 13;
constexpr int32_t kDriver96XX = 14;
constexpr int32_t kDriver10XXX = 15;
constexpr int32_t kNoDriver = 16;

constexpr int kVersionRows = 35;
extern const VersionRow kVersionTable[kVersionRows];

// First row whose version matches; kCode10XXX at 10000 and above, kCode96XX above 9626,
// otherwise kCodeNoDriver.
int32_t code_of_version(int32_t version);
// "?" when no row has the code.
std::string name_of_code(int32_t code);
// kNoDriver when no row has the code.
int32_t driver_of_code(int32_t code);

// Folds the versions that share a table row onto it: 8530-9545 to 8530, 9600-9615 to 9600,
// 9620-9625 to 9620.
int32_t normalize_version(int32_t version);

} // namespace tgm
