#pragma once
// A file opened for exact-count reads and writes; closed on destruction.
#include "support/pstream.h"

#include <limits>
#include <string>

namespace tgm {

class XFILE : public pstream {
public:
    enum class Mode { read, write, read_write };

    // Opens an existing regular file; a missing one is created only when `create` is set. Anything
    // else (a folder, a FIFO, a device) is never opened: a FIFO would block the program and a
    // serial device would have its modem lines toggled.
    XFILE(const std::string& name, bool create, Mode mode);
    ~XFILE() override;
    XFILE(const XFILE&) = delete;
    XFILE& operator=(const XFILE&) = delete;

    bool is_open() const { return fd_ >= 0; }
    bool write(const void* p, std::size_t n) override;
    bool read(void* p, std::size_t n) override;
    // Size of the open file in bytes, or -1.
    long long file_size() const;
    // Moves the position to the end of the file (appending without O_APPEND).
    bool seek_end();
    bool close();

private:
    int fd_ = -1;
};

// Reads a whole regular file; false when it is missing, not a regular file, larger than
// `max_bytes` or not read whole.
bool read_whole_file(const std::string& name, std::string& bytes,
                     long long max_bytes = std::numeric_limits<long long>::max());

} // namespace tgm
