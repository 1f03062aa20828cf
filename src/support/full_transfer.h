#pragma once
// Whole reads and writes on a file descriptor: a short transfer goes on, an interrupted one is
// tried again.
#include <cstddef>

namespace tgm {

// False on an error, or when the file ends before n bytes were read.
bool read_all(int fd, void* p, std::size_t n);
bool write_all(int fd, const void* p, std::size_t n);

} // namespace tgm
