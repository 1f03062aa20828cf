#include "ports/pci.h"

#include "ports/port_names.h"

#include <windows.h>

namespace tgm {

struct PCI::Device {
    HANDLE handle = INVALID_HANDLE_VALUE;
    // The read total constant last given to the port, so that a slice of the same length
    // does not set the record again.
    DWORD applied = MAXDWORD;
};

namespace {

// The time-out record with `read_ms` as the read total constant: a one-byte read returns at
// once when a byte is waiting and otherwise waits at most that long for the first. Zero means
// no wait at all, which needs the multiplier cleared.
COMMTIMEOUTS timeouts(DWORD read_ms, DWORD write_multiplier) {
    COMMTIMEOUTS record{};
    record.ReadIntervalTimeout = MAXDWORD;
    record.ReadTotalTimeoutMultiplier = read_ms == 0 ? 0 : MAXDWORD;
    record.ReadTotalTimeoutConstant = read_ms;
    record.WriteTotalTimeoutMultiplier = write_multiplier;
    record.WriteTotalTimeoutConstant = 0;
    return record;
}

// A pseudo-terminal behind a COM port (Wine) takes the setting but drops the parity, which is
// then reported as a refusal; speed and data bits tell whether it really was refused.
bool took_setting(HANDLE handle, const DCB& wanted) {
    DCB now{};
    now.DCBlength = sizeof now;
    return ::GetCommState(handle, &now) && now.BaudRate == wanted.BaudRate &&
           now.ByteSize == wanted.ByteSize;
}

} // namespace

PCI::PCI() = default;
PCI::~PCI() { close(); }

OpenResult PCI::open() {
    // Step 1 and 2: the setting from the mode string, then the stored values, before the old
    // port is touched.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (baud_index_ < 0 || baud_index_ >= kSpeedCount || size_index_ < 0 ||
        size_index_ >= kSizeCount || !::BuildCommDCBA("96,e,8,1", &dcb))
        return OpenResult::bad_setting;
    dcb.fBinary = TRUE;
    dcb.fParity = parity_ != 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.BaudRate = static_cast<DWORD>(kSpeeds[baud_index_]);
    dcb.ByteSize = static_cast<BYTE>(kDataBits[size_index_]);
    dcb.Parity = static_cast<BYTE>(parity_);
    dcb.StopBits = static_cast<BYTE>(stop_bits_);
    close();
    if (port_ < 0)
        return OpenResult::negative_port;
    // Share mode 0: the port is ours alone while open; another program holding it is "in use".
    const HANDLE handle =
        ::CreateFileA(port_device_path(port_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return OpenResult::unavailable;
    if (!::SetCommState(handle, &dcb) && !took_setting(handle, dcb)) {
        ::CloseHandle(handle);
        return OpenResult::setting_refused;
    }
    device_ = std::make_unique<Device>(Device{handle, read_total_constant_});
    COMMTIMEOUTS record = timeouts(read_total_constant_, write_multiplier_);
    (void)::SetCommTimeouts(handle, &record);
    (void)::PurgeComm(handle, PURGE_RXCLEAR);
    is_open_ = true;
    return OpenResult::ok;
}

void PCI::close() {
    if (is_open_) {
        ::CloseHandle(device_->handle);
        device_.reset();
        is_open_ = false;
    }
}

void PCI::set_read_timeout(uint32_t ms) {
    read_total_constant_ = ms;
    if (!is_open_)
        return;
    COMMTIMEOUTS record = timeouts(ms, write_multiplier_);
    if (::SetCommTimeouts(device_->handle, &record))
        device_->applied = ms;
}

ByteSlice PCI::wait_slice(uint32_t ms, uint8_t& byte) {
    if (device_->applied != ms) {
        COMMTIMEOUTS record = timeouts(ms, write_multiplier_);
        if (!::SetCommTimeouts(device_->handle, &record))
            return ByteSlice::failed;
        device_->applied = ms;
    }
    DWORD n = 0;
    if (!::ReadFile(device_->handle, &byte, 1, &n, nullptr))
        return ByteSlice::failed;
    return n == 1 ? ByteSlice::byte : ByteSlice::none;
}

int32_t PCI::write(const uint8_t* bytes, int32_t count) {
    if (!is_open_ || count <= 0)
        return count < 0 ? 0 : count;
    // The record lets the write take write_multiplier_ ms per byte before it gives up.
    DWORD n = 0;
    (void)::WriteFile(device_->handle, bytes, static_cast<DWORD>(count), &n, nullptr);
    return static_cast<int32_t>(n);
}

void PCI::drain_output() {
    if (!is_open_)
        return;
    // Polled rather than one FlushFileBuffers, which no time-out bounds on an adapter that
    // stalls, and which a cancel cannot end.
    const bool emptied = wait_for_output_queue(
        [this](int64_t& bytes) {
            COMSTAT stat{};
            DWORD errors = 0;
            if (!::ClearCommError(device_->handle, &errors, &stat))
                return false;
            bytes = stat.cbOutQue;
            return true;
        },
        [this](int32_t bytes) { return line_ms(bytes); }, cancel_flag_);
    // The queue is empty: what is left is the last byte in the shift register.
    if (emptied)
        (void)::FlushFileBuffers(device_->handle);
}

void PCI::purge_input() {
    if (is_open_)
        (void)::PurgeComm(device_->handle, PURGE_RXCLEAR);
}

} // namespace tgm
