#pragma once
// A link clock that moves only when the link sleeps on it, installed for its lifetime: the
// pauses and readiness waits of an operation cost a test nothing, and every latency is 0.
#include "ports/clock.h"

#include <atomic>
#include <thread>

namespace tgm::test {

class ManualClock : public Clock {
public:
    ManualClock() : previous_(set_link_clock(this)) {}
    ~ManualClock() override { set_link_clock(previous_); }
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    uint32_t now_ms() override { return now_.load(); }
    void sleep_ms(uint32_t ms) override {
        now_ += ms;
        std::this_thread::yield();
    }

private:
    std::atomic<uint32_t> now_{1000};
    Clock* previous_;
};

} // namespace tgm::test
