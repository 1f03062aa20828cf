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
    // Microseconds, for a pause that must not end a tick early; the tick itself truncates, so
    // a pause measured on it alone may end almost a millisecond short. Clocks without a finer
    // reading give the tick's.
    virtual uint64_t now_us() { return uint64_t{now_ms()} * 1000u; }
    virtual void sleep_us(uint64_t us) { sleep_ms(static_cast<uint32_t>((us + 999) / 1000)); }
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
