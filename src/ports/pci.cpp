#include "ports/pci.h"

#include "ports/byte_wait.h"

namespace tgm {

const int32_t PCI::kSpeeds[kSpeedCount] = {75,   110,   300,   600,   1200,  2400,  4800,
                                           9600, 14400, 19200, 38400, 56000, 57600, 115200};
const int32_t PCI::kDataBits[kSizeCount] = {4, 5, 6, 7, 8};

OpenResult PCI::open_with(int32_t port, LineSetting setting) {
    port_ = port;
    baud_index_ = setting.baud_index;
    parity_ = setting.parity;
    size_index_ = setting.size_index;
    stop_bits_ = setting.stop_bits;
    return open();
}

bool PCI::cancelled() const {
    return cancel_flag_ != nullptr && cancel_flag_->load(std::memory_order_relaxed);
}

uint8_t PCI::read_byte(ReadResult& status) {
    status = ReadResult::failed;
    if (!is_open_)
        return 0;
    return wait_for_byte(
        read_total_constant_, cancel_flag_,
        [this](uint32_t ms, uint8_t& byte) { return wait_slice(ms, byte); }, status);
}

uint32_t PCI::line_ms(int32_t bytes) const {
    if (baud_index_ < 0 || baud_index_ >= kSpeedCount)
        return 0;
    return line_time_ms(bytes, kSpeeds[baud_index_]);
}

} // namespace tgm
