#include "support/full_transfer.h"

#include <cerrno>
#include <unistd.h>

namespace tgm {
namespace {

template <class Byte, class Op>
bool transfer_all(Op op, int fd, Byte* bytes, std::size_t n) {
    while (n > 0) {
        const ssize_t k = op(fd, bytes, n);
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0)
            return false;
        bytes += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

} // namespace

bool read_all(int fd, void* p, std::size_t n) {
    return transfer_all(::read, fd, static_cast<char*>(p), n);
}

bool write_all(int fd, const void* p, std::size_t n) {
    return transfer_all(::write, fd, static_cast<const char*>(p), n);
}

} // namespace tgm
