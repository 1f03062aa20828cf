#include "app/demo_unit.h"

#include "sim/sim_pty.h"

namespace tgm {

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
    std::unique_ptr<SimUnit> unit = make_sim_unit(config, error);
    if (!unit)
        return nullptr;
    std::unique_ptr<DemoUnit> demo(new DemoUnit);
    demo->pty_ = std::make_shared<SimPty>(std::move(unit));
    if (!demo->pty_->open(error))
        return nullptr;
    demo->port_ = demo->pty_->port();
    if (demo->port_ < 0) {
        // TGM_DEV_DIR stands for /dev, and the pseudo-terminal lies outside it.
        error = demo->pty_->slave_path() + " has no port number";
        return nullptr;
    }
    demo->protocol_ = protocol;
    demo->firmware_ = config.firmware;
    demo->pty_->start();
    return demo;
}

const std::string& DemoUnit::path() const { return pty_->slave_path(); }

} // namespace tgm
