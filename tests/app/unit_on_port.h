#pragma once
// A simulated unit on ttyS0 of a private device folder, which port 0, the configured port of a
// fresh program, then names.
#include "sim/sim_pty.h"
#include "testing/pty_pair.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace tgm::test {

struct UnitOnPort0 {
    explicit UnitOnPort0(const SimConfig& config) {
        std::string error;
        unit = std::make_unique<SimPty>(make_sim_unit(config, error));
        EXPECT_TRUE(unit->open(error)) << error;
        EXPECT_EQ(::symlink(unit->slave_path().c_str(), dev.file("ttyS0").c_str()), 0);
        unit->start();
    }
    explicit UnitOnPort0(const char* firmware) : UnitOnPort0(with_firmware(firmware)) {}

    static SimConfig with_firmware(const char* firmware) {
        SimConfig config;
        config.firmware = firmware;
        return config;
    }
    SimFlash& flash() { return unit->unit().flash(); }

    TempDir dev;
    EnvGuard dev_dir{"TGM_DEV_DIR", dev.path()};
    std::unique_ptr<SimPty> unit;
};

} // namespace tgm::test
