#pragma once
// The remote console's channel: finds out how the unit on the port talks (K, V, V in transport
// mode) and which display it has, then sends keys and reads the display.
#include "operations/protocol_channel.h"

#include <cstdint>

namespace tgm {

class MCHAN : public ProtocolChannel {
public:
    MCHAN() { set_kind(kK); }

    // Detection: true when the unit answered; display_kind 0, 1 or 2.
    bool connect(int32_t& display_kind);
    bool send_key(int32_t answer_length, int32_t code);
    bool read_display(int32_t answer_length);
    // The last answer: a leading byte, then the display bytes.
    const DATA& answer_bytes();

private:
    bool detect_k(int32_t& display_kind, bool& answered);
    bool detect_v();
    bool console_request(uint8_t param1);
};

} // namespace tgm
