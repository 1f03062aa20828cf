#include "testing/served_unit.h"

#include <stdexcept>

namespace tgm::test {

SIMCONFIG unit_config(char protocol, const char* firmware) {
    SIMCONFIG config;
    config.protocol = protocol;
    config.firmware = firmware;
    return config;
}

ServedUnit::ServedUnit(const SIMCONFIG& config) {
    std::string error;
    auto unit = make_sim_unit(config, error);
    if (!unit)
        throw std::runtime_error(error);
    pty_ = std::make_unique<SIMPTY>(std::move(unit));
    if (!pty_->open(error))
        throw std::runtime_error(error);
    pty_->start();
}

} // namespace tgm::test
