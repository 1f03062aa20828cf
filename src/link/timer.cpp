#include "link/timer.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <time.h>

namespace tgm {
namespace {
std::atomic<uint32_t> tick_offset{0};
}

uint32_t tick_ms() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms) + tick_offset.load(std::memory_order_relaxed);
}

void set_tick_offset(uint32_t offset) { tick_offset.store(offset, std::memory_order_relaxed); }

void sleep_ms(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TIMER::start(int32_t ms) {
    duration = ms;
    deadline = tick_ms() + static_cast<uint32_t>(ms);
}

uint32_t TIMER::elapsed() const {
    return tick_ms() - (deadline - static_cast<uint32_t>(duration));
}

bool TIMER::expired() const {
    // A negative duration is already over.
    return duration <= 0 || elapsed() >= static_cast<uint32_t>(duration);
}

} // namespace tgm
