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

constexpr int kVersionRows = 35;
extern const VersionRow kVersionTable[kVersionRows];

// First row whose version matches; 34 at 10000 and above, 33 above 9626, otherwise 35.
int32_t code_of_version(int32_t version);
// "?" when no row has the code.
std::string name_of_code(int32_t code);
// 16 when no row has the code.
int32_t driver_of_code(int32_t code);

// The version number that a unit reports as three bytes: a sub-version below 10 counts in
// tens (6,3,4 is 6340; 6,3,41 is 6341).
int32_t compose_version(uint8_t major, uint8_t minor, uint8_t sub);
// Folds the versions that share a table row onto it: 8530-9545 to 8530, 9600-9615 to 9600,
// 9620-9625 to 9620.
int32_t normalize_version(int32_t version);

} // namespace tgm
