#include "ports/byte_wait.h"

#include "ports/timer.h"

#include <algorithm>
#include <cstdint>

namespace tgm {
namespace {

// A slice of a wait that ends this much past its end held the tool itself up; such time is
// given back to the read, at most kHeldUpCapMs for one byte.
constexpr uint32_t kHeldUpMs = 25;
constexpr uint32_t kHeldUpCapMs = 1000;

} // namespace

uint8_t wait_for_byte(uint32_t timeout_ms, const std::atomic<bool>* cancel,
                      const ByteSliceWait& slice, ReadResult& status) {
    status = ReadResult::failed;
    const TIMER timer(0, system_clock());
    // Time the tool itself did not run (a slice of the wait that ended far past its end: a
    // virtual machine paused, a machine that stalled) says nothing about the line, and the
    // unit may have been held up with it; it is waited again, up to a second for one byte.
    uint64_t allowed = timeout_ms;
    uint32_t held_up = 0;
    for (;;) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return 0;
        const uint32_t waited = timer.elapsed();
        const uint32_t left =
            waited >= allowed ? 0 : static_cast<uint32_t>(std::min<uint64_t>(allowed - waited, 50));
        uint8_t byte = 0;
        switch (slice(left, byte)) {
        case ByteSlice::byte: status = ReadResult::byte; return byte;
        case ByteSlice::failed: return 0;
        case ByteSlice::again:
            // Interrupted, or another reader took the byte that was announced: wait on for the
            // rest of the time-out.
            if (timer.elapsed() >= allowed) {
                status = ReadResult::timed_out;
                return 0;
            }
            continue;
        case ByteSlice::none: break;
        }
        const uint32_t slept = timer.elapsed() - waited;
        if (slept > left + kHeldUpMs && held_up < kHeldUpCapMs) {
            // The time over, and at least a slice more from now: the unit comes back too.
            const uint64_t fresh = std::min<uint64_t>(
                std::max<uint64_t>(allowed + (slept - left), waited + slept + left),
                allowed + (kHeldUpCapMs - held_up));
            held_up += static_cast<uint32_t>(fresh - allowed);
            allowed = fresh;
            continue;
        }
        if (waited + slept >= allowed) {
            status = ReadResult::timed_out;
            return 0;
        }
    }
}

bool wait_for_output_queue(const std::function<bool(int64_t& bytes)>& queued,
                           const std::function<uint32_t(int32_t bytes)>& line_ms,
                           const std::atomic<bool>* cancel) {
    int64_t waiting = 0;
    if (!queued(waiting))
        return false;
    const auto line = [&line_ms](int64_t bytes) {
        return line_ms(static_cast<int32_t>(std::min<int64_t>(bytes, INT32_MAX)));
    };
    TIMER timer(static_cast<int32_t>(2 * line(waiting) + 1000), system_clock());
    while (waiting > 0 && !timer.expired() &&
           !(cancel != nullptr && cancel->load(std::memory_order_relaxed))) {
        system_clock().sleep_ms(std::clamp<uint32_t>(line(waiting), 1, 10));
        if (!queued(waiting))
            return false;
    }
    return waiting == 0;
}

uint32_t line_time_ms(int32_t bytes, int32_t bits_per_second) {
    if (bytes <= 0 || bits_per_second <= 0)
        return 0;
    return static_cast<uint32_t>((int64_t{bytes} * 11 * 1000 + bits_per_second - 1) /
                                 bits_per_second);
}

} // namespace tgm
