#pragma once
// The simulated unit's V protocol: normal framing (0x15 and acknowledges) or addressed framing
// (transport mode), short and long requests and answers, the requests the tool uses.
#include "sim/sim_unit.h"

namespace tgm {

class VUnit : public SimUnit {
public:
    using SimUnit::SimUnit;

protected:
    void handle(uint8_t first) override;

private:
    // The request frame's data, or false when the frame was incomplete or damaged (nack set
    // when the unit should say so).
    bool read_frame(uint8_t first, Bytes& data, bool& nack);
    // The answer frame's data for a request frame's data; empty for no answer.
    Bytes respond(const Bytes& request);
    Bytes execute(uint8_t command, uint8_t param1, uint8_t param2, const Bytes& payload);
    // A short answer, or the header of a long one whose blocks follow on request.
    Bytes answer_for(int32_t result, const Bytes& payload);
    Bytes next_answer_block();
    void send_frame(const Bytes& data);

    // The command being served, for the faults aimed at one command.
    int32_t command_ = -1;
    // A long request being gathered.
    Bytes long_header_;
    Bytes long_payload_;
    // A long answer being handed out.
    Bytes pending_;
    std::size_t pending_at_ = 0;
    bool trickle_ = false; // the pending answer goes out a byte a block
};

} // namespace tgm
