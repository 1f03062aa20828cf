#pragma once
// The version number that a unit reports as three bytes, the same in both protocols.
#include <cstdint>

namespace tgm {

// A sub-version below 10 counts in tens (6,3,4 is 6340; 6,3,41 is 6341).
int32_t compose_version(uint8_t major, uint8_t minor, uint8_t sub);

} // namespace tgm
