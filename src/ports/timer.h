#pragma once
// A millisecond deadline timer over a wrapping 32-bit tick, like the unit's own clocks.
#include "ports/clock.h"

#include <cstdint>

namespace tgm {

// The link clock's tick and sleep.
inline uint32_t tick_ms() { return link_clock().now_ms(); }
inline void sleep_ms(uint32_t ms) { link_clock().sleep_ms(ms); }

class TIMER {
public:
    // Runs on the link clock unless given another (the port's real waits use the system clock).
    explicit TIMER(int32_t ms, Clock& clock = link_clock()) : clock_(&clock) { start(ms); }

    void start(int32_t ms);
    // Milliseconds since the last start, in wrapping arithmetic.
    uint32_t elapsed() const;
    bool expired() const;

    int32_t duration = 0;
    uint32_t deadline = 0;

private:
    Clock* clock_;
};

} // namespace tgm
