#pragma once
// What the protocols need of a serial line: open by number with a line setting, single-byte
// reads with a time-out, block writes and purging. The real one is PCI; the masters get theirs
// from the port factory, which tests replace to put a scripted unit on the line.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace tgm {

// What opening a line came to; the numbers are the codes the port layer has always given.
enum class OpenResult {
    ok = 0,
    unavailable = 1,     // absent or in use
    bad_setting = 2,     // the line setting cannot be formed
    setting_refused = 3, // the port refused the line setting
    negative_port = 4,
};

// What a one-byte read came to.
enum class ReadResult {
    byte = 0,      // a byte was read and is returned
    failed = 1,    // the read failed, the port is closed or a cancel ended the wait
    timed_out = 2, // none arrived within the read time-out: not an error of the port
};

// A line setting by the port layer's own codes: an index into PCI::kSpeeds, the Windows parity
// code (0 none, 1 odd, 2 even, 3 mark, 4 space), an index into PCI::kDataBits and the Windows
// stop-bit code (0 one, 1 one and a half, 2 two).
struct LineSetting {
    int8_t baud_index = 7;
    int8_t parity = 2;
    int8_t size_index = 4;
    int8_t stop_bits = 0;

    // The same framing at another speed.
    constexpr LineSetting at_speed(int8_t index) const {
        return LineSetting{index, parity, size_index, stop_bits};
    }
    bool operator==(const LineSetting&) const = default;
};

// The K protocol's line, and the V protocol's framing at its own speed: 9600 Bd, 8 data bits,
// even parity, one stop bit.
constexpr LineSetting kKLine{7, 2, 4, 0};

class LinePort {
public:
    virtual ~LinePort() = default;

    virtual OpenResult open_with(int32_t port, LineSetting setting) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    virtual void set_read_timeout(uint32_t ms) = 0;
    virtual uint8_t read_byte(ReadResult& status) = 0;
    // Returns the count written; on a closed port nothing is written and count is returned.
    virtual int32_t write(const uint8_t* bytes, int32_t count) = 0;
    // Discards what has arrived and was not read, when the port is open.
    virtual void purge_input() = 0;
    // Returns once what was written has left the port, or after about twice its line time; at
    // once on a line that holds nothing back.
    virtual void drain_output() {}
    // Milliseconds the line takes to carry `bytes` bytes (11 bits a byte) at its speed; 0 on a
    // line that takes any amount at once.
    virtual uint32_t line_ms(int32_t bytes) const {
        (void)bytes;
        return 0;
    }

    // A flag that, once set, ends any wait of the port at once (a read then fails).
    virtual void set_cancel_flag(const std::atomic<bool>* flag) { (void)flag; }

    void write_byte(uint8_t byte) {
        if (is_open())
            (void)write(&byte, 1);
    }

    enum class Quiet { reached, never, cancelled, failed };
    // Reads and drops what arrives until nothing has come for `quiet_ms`: a unit may still be
    // sending the rest of an answer that a cancel or a failure gave up, and those bytes must not
    // meet the next request. `never` once more than `cap_bytes` have come or `cap_ms` have passed
    // on the link clock; `cancelled` when `cancel` is set; `failed` when the port fails. Leaves
    // the read time-out at `quiet_ms`.
    Quiet wait_until_quiet(uint32_t quiet_ms, uint32_t cap_ms, int64_t cap_bytes,
                           const std::atomic<bool>* cancel);
};

// Makes the port object for a port number; shared, because a scripted line in a test outlives
// the masters that open it one after another.
using PortFactory = std::function<std::shared_ptr<LinePort>(int32_t port)>;

// The factory's port for a number: a PCI unless another factory is installed.
std::shared_ptr<LinePort> make_line_port(int32_t port);
// Installs a factory (an empty one: PCI again); returns the one it replaces.
PortFactory set_port_factory(PortFactory factory);

} // namespace tgm
