#pragma once
// A line inside the program between the simulated unit and the tool, for systems without
// pseudo-terminals and for the program's demo mode: the unit serves one end on a thread of its
// own, and the port factory hands the tool's ends out for one port number. Paced as the unit's
// configuration asks, as on a pseudo-terminal.
#include "ports/line_port.h"
#include "sim/sim_unit.h"

#include <atomic>
#include <memory>
#include <thread>

namespace tgm {

class SimLine {
public:
    explicit SimLine(std::unique_ptr<SimUnit> unit);
    // Stops the unit and gives the port number back to the factory it had before.
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // Serves on a thread of its own until stop() or the end of the line.
    void start();
    void stop();
    // Makes `port` name this line from now on; other numbers keep their ports.
    void put_on_port(int32_t port);

    // A tool's end of the line. One end at a time may hold it open, as with a real port; an end
    // that outlives the line reads nothing.
    std::shared_ptr<LinePort> make_port();
    SimUnit& unit() { return *unit_; }

private:
    struct State;
    class UnitEnd;
    class ToolEnd;

    std::unique_ptr<SimUnit> unit_;
    std::shared_ptr<State> state_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    bool on_port_ = false;
    PortFactory previous_;
};

} // namespace tgm
