#pragma once
// The demo mode: a simulated unit inside the program, on a pseudo-terminal that the link and the
// console use in place of the configured port. The configured port itself is never changed,
// so the configuration file never records the pseudo-terminal.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tgm {

class SimPty;

class DemoUnit {
public:
    static constexpr const char* kDefault = "k:9600";

    // Takes every "--simulate" and "--simulate=PROTOCOL:FIRMWARE" out of `params`, wherever
    // it stands, so that the other parameters keep their places. True when there was one;
    // `choice` is then the last one's value, kDefault when it has none.
    static bool take_option(std::vector<std::string>& params, std::string& choice);
    // Starts a unit for "k:FIRMWARE" or "v:FIRMWARE"; nullptr with the reason (UTF-8) when the
    // text or the pseudo-terminal fails (demo_unit_posix.cpp; on Windows always, for now).
    static std::unique_ptr<DemoUnit> start(const std::string& choice, std::string& error);

    ~DemoUnit();
    DemoUnit(const DemoUnit&) = delete;
    DemoUnit& operator=(const DemoUnit&) = delete;

    int32_t port() const { return port_; }
    const std::string& path() const;
    // "K 9600": the protocol and the firmware, for the caption.
    std::string label() const;
    SimPty& pty() { return *pty_; }

private:
    DemoUnit() = default;

    // Shared, so that the Windows build, which has no pseudo-terminal, needs no SimPty.
    std::shared_ptr<SimPty> pty_;
    int32_t port_ = -1;
    char protocol_ = 'k';
    std::string firmware_;
};

} // namespace tgm
