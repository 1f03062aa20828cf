#pragma once
// A port with both masters on it: which one carries the exchanges follows from the protocol the
// unit was found to speak and from its transport mode. The link's probe and the remote console
// both look for the unit this way.
#include "k_protocol/kmaster.h"
#include "v_protocol/vmaster.h"

#include <cstdint>
#include <functional>

namespace tgm {

class ProtocolChannel {
public:
    // Kinds.
    static constexpr int32_t kK = 0;
    static constexpr int32_t kV = 1;
    // Transport modes: addressed framing found at 9600 or at 19200 Bd.
    static constexpr int32_t kNoTransport = 0;
    static constexpr int32_t kTransport9600 = 1;
    static constexpr int32_t kTransport19200 = 2;
    // First-byte wait of every probing attempt, K or V.
    static constexpr int32_t kProbeTimeout = 100;

    explicit ProtocolChannel(int32_t port = 0) : port(port) {}
    ProtocolChannel(const ProtocolChannel&) = delete;
    ProtocolChannel& operator=(const ProtocolChannel&) = delete;

    // kK or kV (normal framing), and no transport mode; other values are ignored.
    void set_kind(int32_t k);
    // kV's normal framing at 19200 Bd, or addressed framing at the transport mode's speed.
    void set_transport(int32_t t);
    // Opens the port through the master that via_v selects.
    bool open(int32_t first_byte_timeout);
    // Closes both masters: after a switch of protocol the other one may still hold the port.
    void close();
    // Looks for a V unit: normal framing at 19200 Bd, then addressed framing at 9600 and at
    // 19200 Bd, reopening the port each time with the probe's 100 ms; `answers` runs one test
    // request. True at the first answer, with kind and transport saying which framing it was.
    bool find_v(const std::function<bool()>& answers);

    int32_t port;
    int32_t kind = kK;
    int32_t transport = kNoTransport;
    bool via_v = false;
    KMASTER kmaster;
    VMASTER vmaster;
};

} // namespace tgm
