#pragma once
// The link thread of the table operations: 1 write `group` into the unit, 2 read the unit's
// tables into `group`, 3 delete them. Each operation probes the port for the protocol and
// hands over to the K or the V side.
#include "model/grouptab.h"
#include "operations/txthread.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tgm {

class TBVLink : public TXThread {
public:
    static constexpr int32_t kWrite = 1;
    static constexpr int32_t kRead = 2;
    static constexpr int32_t kClear = 3;

    // How far a write or a delete got: nothing of it sent to the unit, its first command that
    // changes the flash gone out, or every table sent (the finishing command may follow). What
    // the unit holds after a failure or a cancel is told from it.
    enum class Sent { nothing, some, all };

    TBVLink() = default;
    ~TBVLink() override;

    // Probe and hand-over; false with error_text set on failure.
    bool run_link();

    // Set while the thread is idle.
    GROUPTAB group;
    bool log_traffic = false;
    bool allow_v = false;
    int32_t port = 0;
    // Results, read once `operation` is 0.
    std::string chan_log;
    int32_t version_code = -1;
    std::string version_text;
    // The reason under the error text: why the port did not open (denied to this user, no
    // such device), what to check when no unit answered the probe, or the figures behind a
    // refused write (the channels that fit no compression, the image against the flash, the
    // version the unit reported). Empty when there is none.
    std::string port_note;
    // The outcome code behind error_text (ports/link_codes.h); 0 after success.
    int32_t error_code = 0;
    // Set by the link thread as the change goes out; read once `operation` is 0.
    std::atomic<Sent> sent{Sent::nothing};
    // Longest wait for a byte in ms; kept across operations.
    std::atomic<int32_t> max_response{0};

protected:
    bool run_operation() override;
};

} // namespace tgm
