#include "operations/protocol_channel.h"

namespace tgm {
namespace {

// Speed indexes of the port layer.
constexpr int32_t k9600 = 7;
constexpr int32_t k19200 = 9;

} // namespace

void ProtocolChannel::set_kind(int32_t k) {
    if (k != kK && k != kV)
        return;
    kind = k;
    set_transport(kNoTransport);
}

void ProtocolChannel::set_transport(int32_t t) {
    if (t == kNoTransport) {
        transport = kNoTransport;
        if (kind == kV)
            vmaster.set_framing(VMASTER::kNormalFraming, k19200, 0);
    } else if (t == kTransport9600 || t == kTransport19200) {
        vmaster.set_framing(VMASTER::kAddressedFraming, t == kTransport9600 ? k9600 : k19200, 0);
        transport = t;
    }
    via_v = kind != kK || transport != kNoTransport;
}

bool ProtocolChannel::open(int32_t first_byte_timeout) {
    if (via_v)
        return vmaster.open(port, first_byte_timeout);
    return kmaster.open(port, static_cast<uint32_t>(first_byte_timeout));
}

void ProtocolChannel::close() {
    kmaster.close();
    vmaster.close();
}

// A port that no longer opens simply fails the attempt.
bool ProtocolChannel::find_v(const std::function<bool()>& answers) {
    set_kind(kV);
    open(kProbeTimeout);
    if (answers())
        return true;
    for (const int32_t t : {kTransport9600, kTransport19200}) {
        set_transport(t);
        open(kProbeTimeout);
        if (answers())
            return true;
    }
    return false;
}

} // namespace tgm
