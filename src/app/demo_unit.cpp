#include "app/demo_unit.h"

#include "sim/sim_line.h"

namespace tgm {
namespace {

constexpr const char* kOption = "--simulate";

} // namespace

bool DemoUnit::take_option(std::vector<std::string>& params, std::string& choice) {
    const std::string with_value = std::string(kOption) + "=";
    bool found = false;
    for (auto it = params.begin(); it != params.end();) {
        if (*it == kOption) {
            choice = kDefault;
        } else if (it->rfind(with_value, 0) == 0) {
            choice = it->substr(with_value.size());
        } else {
            ++it;
            continue;
        }
        found = true;
        it = params.erase(it);
    }
    return found;
}

std::unique_ptr<DemoUnit> DemoUnit::start(const std::string& choice, std::string& error) {
    const char protocol = choice.size() > 2 && choice[1] == ':' ? choice[0] : '\0';
    if (protocol != 'k' && protocol != 'v') {
        error = "--simulate=" + choice + ": expected k:FIRMWARE or v:FIRMWARE";
        return nullptr;
    }
    SimConfig config;
    config.protocol = protocol;
    config.firmware = choice.substr(2);
    // Answers come at the line's own pace, so the progress dialog shows what a real unit shows.
    config.real_time = true;
    std::unique_ptr<SimLine> line = SimLine::serve_on_port(config, kPort, error);
    if (!line)
        return nullptr;
    std::unique_ptr<DemoUnit> demo(new DemoUnit);
    demo->line_ = std::move(line);
    demo->protocol_ = protocol;
    demo->firmware_ = config.firmware;
    return demo;
}

DemoUnit::~DemoUnit() = default;

std::string DemoUnit::label() const {
    return std::string(1, static_cast<char>(protocol_ - 'a' + 'A')) + " " + firmware_;
}

} // namespace tgm
