#include "v_protocol/vmaster.h"

namespace tgm {

void VMASTER::set_framing(int framing, int32_t speed_index, uint32_t address) {
    address_ = address;
    speed_index_ = speed_index;
    synt.addressed = framing == kAddressedFraming;
    synt.handshake = framing == kNormalFraming;
}

bool VMASTER::open(int32_t port, int32_t first_byte_timeout) {
    synt.first_byte_timeout = first_byte_timeout;
    return port_.open_with(port, kKLine.at_speed(static_cast<int8_t>(speed_index_))) ==
           OpenResult::ok;
}

void VMASTER::close() { port_.close(); }

bool VMASTER::request(uint8_t command, uint8_t param1, uint8_t param2, const uint8_t* payload,
                      int32_t payload_length) {
    vms.address = address_;
    return vms.run(command, param1, param2, payload, payload_length);
}

} // namespace tgm
