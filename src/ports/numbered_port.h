#pragma once
// A master's port: at each open it takes the factory's port for the number asked, so that the
// same master code runs on a real line or on a test's scripted one. Until the first open it is
// a closed port; destroying it closes the port.
#include "ports/line_port.h"

#include <memory>

namespace tgm {

class NumberedPort : public LinePort {
public:
    NumberedPort() = default;
    ~NumberedPort() override;
    NumberedPort(const NumberedPort&) = delete;
    NumberedPort& operator=(const NumberedPort&) = delete;

    OpenResult open_with(int32_t port, LineSetting setting) override;
    void close() override;
    bool is_open() const override;
    void set_read_timeout(uint32_t ms) override;
    uint8_t read_byte(ReadResult& status) override;
    int32_t write(const uint8_t* bytes, int32_t count) override;
    void purge_input() override;
    void drain_output() override;
    uint32_t line_ms(int32_t bytes) const override;
    void set_cancel_flag(const std::atomic<bool>* flag) override;

private:
    std::shared_ptr<LinePort> port_;
    int32_t number_ = 0;
    uint32_t read_timeout_ = 10;
    const std::atomic<bool>* cancel_flag_ = nullptr;
};

} // namespace tgm
