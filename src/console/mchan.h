#pragma once
// The remote console's channel: finds out how the unit on the port talks (K, V, V in transport
// mode) and which display it has, then sends keys and reads the display.
#include "link/kmaster.h"
#include "link/vmaster.h"

#include <cstdint>

namespace tgm {

class MCHAN {
public:
    // Transport modes: addressed framing found at 9600 or at 19200 Bd.
    static constexpr int32_t kNoTransport = 0;
    static constexpr int32_t kTransport9600 = 1;
    static constexpr int32_t kTransport19200 = 2;

    MCHAN() { set_kind(0); }
    MCHAN(const MCHAN&) = delete;
    MCHAN& operator=(const MCHAN&) = delete;

    // 0 K protocol, 1 V protocol (normal framing); other values are ignored.
    void set_kind(int32_t k);
    void set_transport(int32_t t);
    bool open(int32_t first_byte_timeout);
    void close();

    // Detection: true when the unit answered; display_kind 0, 1 or 2.
    bool connect(int32_t& display_kind);
    bool send_key(int32_t answer_length, int32_t code);
    bool read_display(int32_t answer_length);
    // The last answer: a leading byte, then the display bytes.
    const DATA& answer_bytes();

    KMASTER kmaster;
    VMASTER vmaster;
    int32_t port = 0;
    int32_t kind = 0;
    int32_t transport = kNoTransport;
    bool via_v = false;

private:
    bool detect_k(int32_t& display_kind, bool& answered);
    bool detect_v();
    bool console_request(uint8_t param1);
};

} // namespace tgm
