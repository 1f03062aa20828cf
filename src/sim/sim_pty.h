#pragma once
// A pseudo-terminal served by a simulated unit: the unit holds the master side, the tool opens
// the slave by its path (or port number).
#include "sim/sim_unit.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace tgm {

class SimPty {
public:
    explicit SimPty(std::unique_ptr<SimUnit> unit) : unit_(std::move(unit)) {}
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    // Opens the pseudo-terminal (raw, no echo); false with the reason on failure.
    bool open(std::string& error);
    // Makes link_path a symbolic link to the slave (replacing an old link there).
    bool make_link(const std::string& link_path, std::string& error);
    const std::string& slave_path() const { return slave_path_; }
    // The port number that names the slave.
    int32_t port() const;

    // Serves on a thread of its own until stop(); or on the caller's thread until stop_flag.
    void start();
    void stop();
    void serve(const std::atomic<bool>& stop_flag);

    SimUnit& unit() { return *unit_; }

private:
    std::unique_ptr<SimUnit> unit_;
    int master_fd_ = -1;
    int slave_fd_ = -1;
    std::string slave_path_;
    std::string link_path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace tgm
