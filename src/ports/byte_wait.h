#pragma once
// The waits every line shares, in real time whatever clock the link runs on: for one byte, in
// slices so that a cancel ends it soon, with time the machine itself did not run given back;
// and for the output queue to empty, bounded so that an adapter that stalls cannot hold the link.
#include "ports/line_port.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace tgm {

// What one wait of at most `ms` for a byte came to: a byte, nothing in time, an interruption
// (wait on for the rest), or a failed line.
enum class ByteSlice { byte, none, again, failed };
using ByteSliceWait = std::function<ByteSlice(uint32_t ms, uint8_t& byte)>;

// Waits up to timeout_ms for a byte through `slice`, at most 50 ms a call; a set `cancel`
// fails the read.
uint8_t wait_for_byte(uint32_t timeout_ms, const std::atomic<bool>* cancel,
                      const ByteSliceWait& slice, ReadResult& status);

// Polls `queued` (false: the line cannot tell) until nothing waits to go out, at most twice the
// line time (`line_ms`) of what waited first and a second; a set `cancel` ends it. True once the
// queue is empty.
bool wait_for_output_queue(const std::function<bool(int64_t& bytes)>& queued,
                           const std::function<uint32_t(int32_t bytes)>& line_ms,
                           const std::atomic<bool>* cancel);

// Milliseconds that `bytes` bytes take at `bits_per_second`, 11 bits a byte, rounded up.
uint32_t line_time_ms(int32_t bytes, int32_t bits_per_second);

} // namespace tgm
