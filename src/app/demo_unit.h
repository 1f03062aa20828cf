#pragma once
// The demo mode: a simulated unit inside the program, on a line inside the program that a port
// number of its own names for the link and the console in place of the configured port. The
// configured port itself is never changed, so the configuration file never records the demo's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tgm {

class SimLine;

class DemoUnit {
public:
    static constexpr const char* kDefault = "k:9600";
    // The demo's port: a number that names no device of either system's port table.
    static constexpr int32_t kPort = 255;

    // Takes every "--simulate" and "--simulate=PROTOCOL:FIRMWARE" out of `params`, wherever
    // it stands, so that the other parameters keep their places. True when there was one;
    // `choice` is then the last one's value, kDefault when it has none.
    static bool take_option(std::vector<std::string>& params, std::string& choice);
    // Starts a unit for "k:FIRMWARE" or "v:FIRMWARE"; nullptr with the reason (UTF-8) when the
    // text names no unit.
    static std::unique_ptr<DemoUnit> start(const std::string& choice, std::string& error);

    ~DemoUnit();
    DemoUnit(const DemoUnit&) = delete;
    DemoUnit& operator=(const DemoUnit&) = delete;

    int32_t port() const { return kPort; }
    // "K 9600": the protocol and the firmware, for the caption.
    std::string label() const;

private:
    DemoUnit() = default;

    std::unique_ptr<SimLine> line_;
    char protocol_ = 'k';
    std::string firmware_;
};

} // namespace tgm
