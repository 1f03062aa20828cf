#pragma once
// A simulated unit on port 0, the configured port of a fresh program, through a line inside the
// program (as the demo mode's), so that the window tests run alike on every system.
#include "ports/port_names.h"
#include "sim/sim_line.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace tgm::test {

struct UnitOnPort0 {
    explicit UnitOnPort0(const SimConfig& config) {
        std::string error;
        unit = SimLine::serve_on_port(config, 0, error);
        if (!unit)
            throw std::runtime_error(error);
    }
    explicit UnitOnPort0(const char* firmware) : UnitOnPort0(with_firmware(firmware)) {}

    static SimConfig with_firmware(const char* firmware) {
        SimConfig config;
        config.firmware = firmware;
        return config;
    }
    SimFlash& flash() { return unit->unit().flash(); }
    // What the program calls the port in its questions, journal and protocol.
    static std::string port_name() { return port_device_path(0); }

    std::unique_ptr<SimLine> unit;
};

} // namespace tgm::test
