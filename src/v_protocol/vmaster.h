#pragma once
// The V-protocol master: owns the port, the frame driver, the request layer and the answer.
#include "ports/numbered_port.h"
#include "support/data.h"
#include "v_protocol/synt.h"
#include "v_protocol/vms.h"

#include <atomic>
#include <string>

namespace tgm {

class VMASTER {
public:
    static constexpr int kNormalFraming = 0;
    static constexpr int kAddressedFraming = 2;

    VMASTER() = default;
    VMASTER(const VMASTER&) = delete;
    VMASTER& operator=(const VMASTER&) = delete;

    void set_framing(int framing, int32_t speed_index, uint32_t address);
    // Opens at speed_index, even parity, 8 data bits, one stop bit.
    bool open(int32_t port, int32_t first_byte_timeout);
    void close();
    // True when the request completed at the protocol level; the unit's verdict is then
    // result_code() and its payload answer_data().
    bool request(uint8_t command, uint8_t param1, uint8_t param2, const uint8_t* payload,
                 int32_t payload_length);

    int32_t result_code() const { return vms.result_code; }
    const DATA& answer_data() const { return answer_data_; }
    // The request layer's status of the last request (frame statuses included).
    int32_t status() const { return vms.status; }
    const std::string& traffic_text() const { return vms.trafic.text; }
    void set_trace(bool on) { vms.trafic.enabled = on; }
    void set_cancel_flag(const std::atomic<bool>* flag) {
        synt.cancel_flag = flag;
        port_.set_cancel_flag(flag);
    }
    void set_progress_out(std::atomic<int32_t>* cell) { vms.progress_out = cell; }
    void set_max_wait_out(std::atomic<int32_t>* cell) { synt.max_wait_out = cell; }
    // The largest long answer any request of the caller can legitimately bring.
    void set_answer_limit(uint32_t bytes) { vms.answer_limit = bytes; }

    bool addressed() const { return synt.addressed; }
    int32_t speed_index() const { return speed_index_; }

private:
    // The port and the answer come first: the driver and the request layer refer to them.
    NumberedPort port_;
    DATA answer_data_;
    SYNT synt{port_};
    VMS vms{synt, answer_data_};
    uint32_t address_ = 0;
    int32_t speed_index_ = 9;
};

} // namespace tgm
