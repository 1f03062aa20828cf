#pragma once
// The probe channel: finds out whether the unit on a port speaks the K or the V protocol and
// whether it is in transport mode. Lives for one probe; its port is closed when it ends.
#include "operations/protocol_channel.h"

#include <cstdint>
#include <string>

namespace tgm {

class TCHAN : public ProtocolChannel {
public:
    // Results of probe().
    static constexpr int kAnswered = 0;
    static constexpr int kPortBusy = 1;
    static constexpr int kNoAnswer = 2;

    explicit TCHAN(int32_t port);

    // The K presence probe, then the V request in normal framing at 19200 Bd, then addressed
    // framing at 9600 and at 19200 Bd; the first answer decides.
    int probe();
    // The traffic of the probe's attempts.
    std::string log;

private:
    bool k_test();
    bool v_test();
};

} // namespace tgm
