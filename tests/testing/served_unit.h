#pragma once
// A simulated unit served from this process on a pseudo-terminal for a test's lifetime; the
// code under test opens its line by port number or by path.
#include "sim/sim_pty.h"

#include <memory>
#include <string>

namespace tgm::test {

SimConfig unit_config(char protocol, const char* firmware);

class ServedUnit {
public:
    explicit ServedUnit(const SimConfig& config);

    SimUnit& sim() { return pty_->unit(); }
    SimFlash& flash() { return pty_->unit().flash(); }
    int32_t port() const { return pty_->port(); }
    const std::string& path() const { return pty_->slave_path(); }

private:
    std::unique_ptr<SimPty> pty_;
};

} // namespace tgm::test
