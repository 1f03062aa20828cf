#pragma once
// The probe channel: finds out whether the unit on a port speaks the K or the V protocol and
// whether it is in transport mode. Lives for one probe; its port is closed when it ends.
#include "operations/protocol_channel.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tgm {

class TCHAN : public ProtocolChannel {
public:
    // Results of probe().
    static constexpr int kAnswered = 0;
    static constexpr int kPortBusy = 1;
    static constexpr int kNoAnswer = 2;
    // The line never went quiet before the probe (see probe()).
    static constexpr int kLineBusy = 3;

    // The most a unit can still send once an exchange has been given up: its largest answer,
    // an image of 65,535 bytes with its frame, and how long that takes at 9600 Bd (11 bits a
    // byte), with a second to spare.
    static constexpr int64_t kLongestAnswer = 65535 + 16;
    static constexpr uint32_t kLongestAnswerMs =
        static_cast<uint32_t>(kLongestAnswer * 11 * 1000 / 9600 + 1000);

    explicit TCHAN(int32_t port);

    // First waits until the line has been quiet for one probe time-out (an operation cancelled
    // or failed before may have left the unit sending the rest of a long answer), at most for
    // the longest answer: kLineBusy when bytes still come then. Then the K presence probe, the
    // V request in normal framing at 19200 Bd, and addressed framing at 9600 and at 19200 Bd;
    // the first answer decides.
    int probe();
    // The traffic of the probe's attempts.
    std::string log;
    // Set by the caller: a cancel ends the wait for a quiet line (the probe itself runs on).
    const std::atomic<bool>* cancel_flag = nullptr;

private:
    bool k_test();
    bool v_test();
};

} // namespace tgm
