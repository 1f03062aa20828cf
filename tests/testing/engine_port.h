#pragma once
// The simulated unit's engine on a line driven byte for byte: the unit answers on a thread of
// its own, and a read that finds nothing waits until the unit has dealt with everything sent
// and waits itself; only then is it a time-out, which moves the link clock instead of taking
// time. Runs that time out many times cost a test nothing, and every run is the same.
#include "ports/line_port.h"
#include "sim/sim_unit.h"

#include <atomic>
#include <memory>
#include <thread>

namespace tgm::test {

class EnginePort : public LinePort {
public:
    // Serves `unit` until destroyed.
    explicit EnginePort(SimUnit& unit);
    ~EnginePort() override;
    EnginePort(const EnginePort&) = delete;
    EnginePort& operator=(const EnginePort&) = delete;

    // Opens any number; the unit hears the line at the speed asked.
    OpenResult open_with(int32_t port, LineSetting setting) override;
    void close() override { open_ = false; }
    bool is_open() const override { return open_; }
    void set_read_timeout(uint32_t ms) override { timeout_ = ms; }
    uint8_t read_byte(ReadResult& status) override;
    int32_t write(const uint8_t* bytes, int32_t count) override;
    void purge_input() override;

private:
    // Returns once the unit has taken every byte written and waits for more.
    void wait_for_unit() const;
    bool take(uint8_t& byte);
    void discard();

    SimUnit& unit_;
    int tool_fd_ = -1;                         // the tool's end of the line
    int unit_fd_ = -1;                         // the unit's end
    int speed_master_ = -1, speed_slave_ = -1; // a terminal that only carries the line's speed
    std::atomic<bool> stop_{false};
    std::thread thread_;
    int64_t written_ = 0;
    int64_t heard_before_ = 0; // what the unit had received before this line
    uint32_t timeout_ = 10;
    bool open_ = false;
};

// A unit's engine for a configuration, for an EnginePort to serve; throws with the reason.
std::unique_ptr<SimUnit> make_engine(const SimConfig& config);

} // namespace tgm::test
