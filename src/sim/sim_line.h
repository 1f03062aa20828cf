#pragma once
// A line inside the program between the simulated unit and the tool, for systems without
// pseudo-terminals and for the program's demo mode: the unit serves one end on a thread of its
// own, and the port factory hands the tool's ends out for one port number. Paced as the unit's
// configuration asks, as on a pseudo-terminal.
#include "ports/line_port.h"
#include "sim/sim_unit.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace tgm {

class SimLine {
public:
    // A unit for `config` serving from now on at `port`; null with the reason when the
    // configuration names no unit.
    static std::unique_ptr<SimLine> serve_on_port(const SimConfig& config, int32_t port,
                                                  std::string& error);

    explicit SimLine(std::unique_ptr<SimUnit> unit);
    // Stops the unit and gives the port number back to the factory it had before.
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // Serves on a thread of its own until stop() or the end of the line.
    void start();
    void stop();
    // Makes `port` name this line from now on; other numbers keep their ports. The tool's ends
    // the factory hands out: one at a time may hold the line open, as with a real port, and an
    // end that outlives the line reads nothing.
    void put_on_port(int32_t port);

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
