#pragma once
// The simulated unit's end of a line: a pseudo-terminal's master on POSIX (FdWire), or a line
// inside the program (SimLine) on either system.
#include <cstddef>
#include <cstdint>

namespace tgm {

class SimWire {
public:
    virtual ~SimWire() = default;

    // Takes one byte that has arrived: 1, 0 when none has, -1 when the line failed.
    virtual int read(uint8_t& byte) = 0;
    // Returns when a byte may have arrived, or after at most `ms`.
    virtual void wait_readable(int ms) = 0;
    // Puts up to `count` bytes on the line: how many went (0 while it is full), -1 on failure.
    virtual long write(const uint8_t* bytes, std::size_t count) = 0;
    // Returns when the line may take more, or after at most `ms`.
    virtual void wait_writable(int ms) = 0;
    // The speed the tool's end is set to, in Bd: 0 when it cannot be told, -1 for a speed no
    // unit uses.
    virtual int32_t speed() const = 0;
};

} // namespace tgm
