#include "ports/pci.h"

#include "ports/timer.h"

#include <algorithm>

namespace tgm {

const int32_t PCI::kSpeeds[kSpeedCount] = {75,   110,   300,   600,   1200,  2400,  4800,
                                           9600, 14400, 19200, 38400, 56000, 57600, 115200};
const int32_t PCI::kDataBits[kSizeCount] = {4, 5, 6, 7, 8};

OpenResult PCI::open_with(int32_t port, LineSetting setting) {
    port_ = port;
    baud_index_ = setting.baud_index;
    parity_ = setting.parity;
    size_index_ = setting.size_index;
    stop_bits_ = setting.stop_bits;
    return open();
}

bool PCI::cancelled() const {
    return cancel_flag_ != nullptr && cancel_flag_->load(std::memory_order_relaxed);
}

uint8_t PCI::read_byte(ReadResult& status) {
    status = ReadResult::failed;
    if (!is_open_)
        return 0;
    // The wait for a byte is real time, whatever clock the link runs on.
    const TIMER timer(0, system_clock());
    // Time the tool itself did not run (a slice of the wait that ended far past its end: a
    // virtual machine paused, a machine that stalled) says nothing about the line, and the
    // unit may have been held up with it; it is waited again, up to a second for one byte.
    uint64_t allowed = read_total_constant_;
    uint32_t held_up = 0;
    for (;;) {
        if (cancelled())
            return 0;
        const uint32_t waited = timer.elapsed();
        const uint32_t left =
            waited >= allowed ? 0 : static_cast<uint32_t>(std::min<uint64_t>(allowed - waited, 50));
        uint8_t byte = 0;
        // In slices, so that a cancellation ends the wait within 50 ms.
        switch (wait_slice(left, byte)) {
        case Slice::byte: status = ReadResult::byte; return byte;
        case Slice::failed: return 0;
        case Slice::again:
            // Interrupted, or another reader took the byte that was announced: wait on for the
            // rest of the time-out.
            if (timer.elapsed() >= allowed) {
                status = ReadResult::timed_out;
                return 0;
            }
            continue;
        case Slice::none: break;
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

uint32_t PCI::line_ms(int32_t bytes) const {
    if (bytes <= 0 || baud_index_ < 0 || baud_index_ >= kSpeedCount)
        return 0;
    return static_cast<uint32_t>((int64_t{bytes} * 11 * 1000 + kSpeeds[baud_index_] - 1) /
                                 kSpeeds[baud_index_]);
}

} // namespace tgm
