#pragma once
// A manual link clock that can stop the link thread inside a sleep: while `hold_if` says so for
// a sleep, the sleeping thread waits until release(). A test can so keep an operation running
// for as long as it likes, at a stage of its choosing.
#include "testing/manual_clock.h"

#include <condition_variable>
#include <functional>
#include <mutex>

namespace tgm::test {

class HoldingClock : public ManualClock {
public:
    // Asked once per sleep, on the sleeping thread, with the sleep's length.
    void hold_if(std::function<bool(uint32_t ms)> predicate) {
        std::lock_guard<std::mutex> lock(mutex_);
        predicate_ = std::move(predicate);
        released_ = false;
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        predicate_ = nullptr;
        wake_.notify_all();
    }
    // A thread is waiting in a held sleep.
    bool holding() {
        std::lock_guard<std::mutex> lock(mutex_);
        return held_ > 0;
    }

    void sleep_ms(uint32_t ms) override {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (predicate_ && predicate_(ms)) {
                ++held_;
                wake_.wait(lock, [this] { return released_; });
                --held_;
            }
        }
        ManualClock::sleep_ms(ms);
    }

    ~HoldingClock() override { release(); }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<bool(uint32_t)> predicate_;
    bool released_ = false;
    int held_ = 0;
};

} // namespace tgm::test
