#include "operations/version_table.h"

namespace tgm {

// clang-format off
const VersionRow kVersionTable[kVersionRows] = {
    {0, "5X0 ", 0, 0},        {1, "501 ", 5010, 1},     {2, "511 ", 5110, 1},
    {3, "521 ", 5210, 1},     {4, "621a ", 6210, 2},    {6, "632 ", 6320, 3},
    {7, "633 ", 6330, 4},     {8, "634 ", 6340, 4},     {9, "6341 ", 6341, 4},
    {10, "6342 ", 6342, 5},   {11, "6343 ", 6343, 5},   {12, "635 ", 6350, 5},
    {13, "636 ", 6360, 5},    {14, "6362 ", 6362, 5},   {15, "6363 ", 6363, 6},
    {16, "6364 ", 6364, 6},   {17, "641 ", 6410, 7},    {21, "731 ", 7310, 5},
    {18, "735 ", 7350, 5},    {19, "7364 ", 7364, 6},   {20, "741 ", 7410, 7},
    {23, "7411 ", 7411, 7},   {22, "843 ", 8430, 8},    {24, "8431 ", 8431, 8},
    {25, "8432 ", 8432, 8},   {27, "8433 ", 8433, 8},   {26, "851 ", 8510, 9},
    {28, "852 ", 8520, 10},   {29, "853 ", 8530, 11},   {30, "960 ", 9600, 12},
    {31, "96XX", 9616, 14},   {32, "962 ", 9620, 13},   {33, "96XX", 9626, 14},
    {34, "10XXX", 1000, 15},  {0, nullptr, 0, 0},
};
// clang-format on

int32_t code_of_version(int32_t version) {
    for (const VersionRow& row : kVersionTable)
        if (row.version == version)
            return row.code;
    if (version >= 10000)
        return kCode10XXX;
    if (version > 9626)
        return kCode96XX;
    return kCodeNoDriver;
}

std::string name_of_code(int32_t code) {
    for (const VersionRow& row : kVersionTable)
        if (row.code == code)
            return row.name != nullptr ? row.name : "";
    return "?";
}

int32_t driver_of_code(int32_t code) {
    for (const VersionRow& row : kVersionTable)
        if (row.code == code)
            return row.driver;
    return kNoDriver;
}

int32_t normalize_version(int32_t version) {
    if (version >= 8530 && version <= 9545)
        return 8530;
    if (version >= 9600 && version <= 9615)
        return 9600;
    if (version >= 9620 && version <= 9625)
        return 9620;
    return version;
}

} // namespace tgm
