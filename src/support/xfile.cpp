#include "support/xfile.h"

#include "support/full_transfer.h"
#include "support/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tgm {

XFILE::XFILE(const std::string& name, bool create, Mode mode) {
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return;
    int flags = mode == Mode::read ? O_RDONLY : mode == Mode::write ? O_WRONLY : O_RDWR;
    // Should the name be swapped for something else after the check, opening still neither
    // waits for a FIFO's writer nor makes a terminal ours; fstat below then refuses it.
    flags |= plain_open_flags();
    fd_ = ::open(name.c_str(), flags);
    if (fd_ < 0 && errno == ENOENT && create)
        fd_ = ::open(name.c_str(), flags | O_CREAT, 0666);
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd_);
        fd_ = -1;
    }
}

XFILE::~XFILE() { close(); }

bool XFILE::close() {
    if (fd_ < 0)
        return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

bool XFILE::write(const void* p, std::size_t n) { return fd_ >= 0 && write_all(fd_, p, n); }

bool XFILE::read(void* p, std::size_t n) { return fd_ >= 0 && read_all(fd_, p, n); }

long long XFILE::file_size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return -1;
    return static_cast<long long>(st.st_size);
}

bool XFILE::seek_end() { return fd_ >= 0 && ::lseek(fd_, 0, SEEK_END) >= 0; }

bool read_whole_file(const std::string& name, std::string& bytes, long long max_bytes) {
    XFILE file(name, false, XFILE::Mode::read);
    const long long size = file.file_size();
    if (!file.is_open() || size < 0 || size > max_bytes)
        return false;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !file.read(buffer.data(), buffer.size()))
        return false;
    bytes = std::move(buffer);
    return true;
}

} // namespace tgm
