#include "app/demo_unit.h"

namespace tgm {

// The simulated unit serves a pseudo-terminal, which Windows does not have; until it can talk
// through a line inside the program, the demo mode says so.
std::unique_ptr<DemoUnit> DemoUnit::start(const std::string& choice, std::string& error) {
    error = "--simulate=" + choice + ": the simulated unit is not available on Windows";
    return nullptr;
}

const std::string& DemoUnit::path() const {
    static const std::string none;
    return none;
}

} // namespace tgm
