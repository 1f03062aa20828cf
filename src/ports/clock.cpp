#include "ports/clock.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <time.h>

namespace tgm {
namespace {

std::atomic<uint32_t> tick_offset{0};

class SystemClock : public Clock {
public:
    uint32_t now_ms() override {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        const uint64_t ms =
            static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms) + tick_offset.load(std::memory_order_relaxed);
    }
    void sleep_ms(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    uint64_t now_us() override {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint64_t>(ts.tv_sec) * 1000000u +
               static_cast<uint64_t>(ts.tv_nsec) / 1000u;
    }
    void sleep_us(uint64_t us) override {
        std::this_thread::sleep_for(std::chrono::microseconds(us));
    }
};

std::atomic<Clock*> installed{nullptr};

} // namespace

Clock& system_clock() {
    static SystemClock clock;
    return clock;
}

void set_tick_offset(uint32_t offset) { tick_offset.store(offset, std::memory_order_relaxed); }

Clock& link_clock() {
    Clock* clock = installed.load(std::memory_order_acquire);
    return clock != nullptr ? *clock : system_clock();
}

Clock* set_link_clock(Clock* clock) { return installed.exchange(clock, std::memory_order_acq_rel); }

} // namespace tgm
