#pragma once
// The link's one clock: the millisecond tick that timers and latencies read, and the sleeps of
// the pauses between exchanges and of the readiness waits. Tests replace it as a whole, so that
// a wait of many seconds costs them nothing while the program really waits.
#include <cstdint>

namespace tgm {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a 32-bit tick that wraps at 2^32.
    virtual uint32_t now_ms() = 0;
    virtual void sleep_ms(uint32_t ms) = 0;
};

// CLOCK_MONOTONIC cut to 32 bits (plus the offset of set_tick_offset), and real sleeps.
Clock& system_clock();
// Shifts the system clock's tick so that tests can run a timer across the wrap.
void set_tick_offset(uint32_t offset);

// The clock of the link: the system clock unless another is installed.
Clock& link_clock();
// Installs a clock (nullptr: the system clock again); returns the one it replaces.
Clock* set_link_clock(Clock* clock);

} // namespace tgm
