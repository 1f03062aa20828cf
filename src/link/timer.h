#pragma once
// A millisecond deadline timer over a wrapping 32-bit tick, like the unit's own clocks.
#include <cstdint>

namespace tgm {

// Milliseconds of CLOCK_MONOTONIC cut to 32 bits, plus the test offset; wraps at 2^32.
uint32_t tick_ms();
// Shifts tick_ms() so that tests can run a timer across the wrap.
void set_tick_offset(uint32_t offset);
void sleep_ms(uint32_t ms);

class TIMER {
public:
    explicit TIMER(int32_t ms) { start(ms); }

    void start(int32_t ms);
    // Milliseconds since the last start, in wrapping arithmetic.
    uint32_t elapsed() const;
    bool expired() const;

    int32_t duration = 0;
    uint32_t deadline = 0;
};

} // namespace tgm
