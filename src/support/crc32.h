#pragma once
// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320, from and finally XORed
// with 0xFFFFFFFF), so that any common tool can check a value the program prints.
#include <cstddef>
#include <cstdint>

namespace tgm {

// `crc` continues an earlier run over preceding bytes; 0 starts one.
uint32_t crc32(const void* bytes, std::size_t count, uint32_t crc = 0);

} // namespace tgm
