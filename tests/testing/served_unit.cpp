#include "testing/served_unit.h"

#include <stdexcept>

namespace tgm::test {

SimConfig unit_config(char protocol, const char* firmware) {
    SimConfig config;
    config.protocol = protocol;
    config.firmware = firmware;
    return config;
}

ServedUnit::ServedUnit(const SimConfig& config) {
    std::string error;
    auto unit = make_sim_unit(config, error);
    if (!unit)
        throw std::runtime_error(error);
    pty_ = std::make_unique<SimPty>(std::move(unit));
    if (!pty_->open(error))
        throw std::runtime_error(error);
    pty_->start();
}

} // namespace tgm::test
