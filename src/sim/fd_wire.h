#pragma once
// The unit's end of a line on POSIX descriptors: the bytes go through `data_fd` (a
// pseudo-terminal's master, or a socket), and the tool's speed is read off the terminal
// `speed_fd`.
#include "sim/sim_wire.h"

namespace tgm {

class FdWire : public SimWire {
public:
    // Makes data_fd non-blocking; the descriptors stay the caller's.
    FdWire(int data_fd, int speed_fd);

    int read(uint8_t& byte) override;
    void wait_readable(int ms) override;
    long write(const uint8_t* bytes, std::size_t count) override;
    void wait_writable(int ms) override;
    int32_t speed() const override;

private:
    int data_fd_;
    int speed_fd_;
};

} // namespace tgm
