#pragma once
// One serial port: opened by number with a line setting, single-byte reads with a time-out,
// block writes and purging of the input.
#include "ports/byte_wait.h"
#include "ports/line_port.h"

#include <cstdint>
#include <memory>

namespace tgm {

class PCI : public LinePort {
public:
    // Speed table and data-bit table, indexed by baud_index and size_index.
    static constexpr int kSpeedCount = 14;
    static const int32_t kSpeeds[kSpeedCount];
    static constexpr int kSizeCount = 5;
    static const int32_t kDataBits[kSizeCount];

    PCI();
    ~PCI() override;
    PCI(const PCI&) = delete;
    PCI& operator=(const PCI&) = delete;

    // Stores the port number and the setting's four values and opens; see open().
    OpenResult open_with(int32_t port, LineSetting setting) override;
    // (Re)opens the port with the stored values.
    OpenResult open();
    void close() override;
    void set_read_timeout(uint32_t ms) override;
    uint8_t read_byte(ReadResult& status) override;
    int32_t write(const uint8_t* bytes, int32_t count) override;
    void purge_input() override;
    // Waits for the output queue to empty, at most twice the line time of what it held plus a
    // second (POSIX: TIOCOUTQ, then tcdrain; Windows: ClearCommError, then FlushFileBuffers).
    void drain_output() override;
    uint32_t line_ms(int32_t bytes) const override;
    void set_cancel_flag(const std::atomic<bool>* flag) override { cancel_flag_ = flag; }

    bool is_open() const override { return is_open_; }
    int32_t port() const { return port_; }
    int8_t baud_index() const { return baud_index_; }

private:
    bool cancelled() const;
    // One wait of at most `ms` for a byte (pci_posix.cpp, pci_win32.cpp).
    ByteSlice wait_slice(uint32_t ms, uint8_t& byte);

    // The open device and what the system needs kept with it (pci_posix.cpp, pci_win32.cpp).
    struct Device;
    std::unique_ptr<Device> device_;
    const std::atomic<bool>* cancel_flag_ = nullptr;
    // The time-out record: a read waits at most read_total_constant_ ms for its byte; a write
    // may take write_multiplier_ ms per byte.
    uint32_t read_total_constant_ = 10;
    uint32_t write_multiplier_ = 50;
    bool is_open_ = false;
    int32_t port_ = 0;
    int8_t baud_index_ = kKLine.baud_index;
    int8_t size_index_ = kKLine.size_index;
    int8_t parity_ = kKLine.parity;
    int8_t stop_bits_ = kKLine.stop_bits;
};

} // namespace tgm
