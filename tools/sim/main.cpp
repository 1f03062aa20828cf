// tgm-sim: a simulated secondary unit on a pseudo-terminal.
#include "sim/sim_config.h"
#include "sim/sim_pty.h"
#include "support/tappinfo.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::atomic<bool> stop_requested{false};

void on_signal(int) { stop_requested = true; }

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tgm-sim %s\n", tgm::TAppInfo().version_text().c_str());
        return 0;
    }
    tgm::SimConfig config;
    std::string message;
    const int parsed = tgm::parse_sim_options(argc, argv, config, message);
    if (parsed == 1) {
        std::fputs(message.c_str(), stdout);
        return 0;
    }
    if (parsed == 2) {
        std::fprintf(stderr, "tgm-sim: %s\n%s", message.c_str(), tgm::sim_usage());
        return 2;
    }
    std::unique_ptr<tgm::SimUnit> unit = tgm::make_sim_unit(config, message);
    if (!unit) {
        std::fprintf(stderr, "tgm-sim: %s\n", message.c_str());
        return 2;
    }
    tgm::SimPty pty(std::move(unit));
    if (!pty.open(message) ||
        (!config.link_path.empty() && !pty.make_link(config.link_path, message))) {
        std::fprintf(stderr, "tgm-sim: %s\n", message.c_str());
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    pty.unit().on_held_up(
        [](const std::string& report) { std::fprintf(stderr, "tgm-sim: %s\n", report.c_str()); });

    std::printf("%s\n", pty.slave_path().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "tgm-sim: %c unit, firmware %s%s, serving %s; Ctrl+C stops it\n",
                 config.protocol == 'v' ? 'V' : 'K', config.firmware.c_str(),
                 config.transport != 0 ? " in transport mode" : "", pty.slave_path().c_str());
    pty.serve(stop_requested);
    if (!config.state_file.empty() && !pty.unit().flash().save(config.state_file)) {
        std::fprintf(stderr, "tgm-sim: cannot save %s\n", config.state_file.c_str());
        return 1;
    }
    return 0;
}
