#include "ports/timer.h"

namespace tgm {

void TIMER::start(int32_t ms) {
    duration = ms;
    deadline = clock_->now_ms() + static_cast<uint32_t>(ms);
}

uint32_t TIMER::elapsed() const {
    return clock_->now_ms() - (deadline - static_cast<uint32_t>(duration));
}

bool TIMER::expired() const {
    // A negative duration is already over.
    return duration <= 0 || elapsed() >= static_cast<uint32_t>(duration);
}

} // namespace tgm
