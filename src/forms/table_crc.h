#pragma once
// The checksum that ties a printed sheet, a file and the unit's table together: CRC-32 of the
// litres at 0, 1, 2 ... cm, each as four bytes little-endian.
#include "model/partab.h"

#include <cstdint>
#include <string>

namespace tgm {

uint32_t table_crc(const PARTAB& table);
// Eight upper-case hexadecimal digits.
std::string crc_text(uint32_t crc);

} // namespace tgm
