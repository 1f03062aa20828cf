#pragma once
// The simulated secondary unit: serves its end of a line as a chosen firmware generation would,
// keeping its flash in memory (and in a file when asked), and misbehaving on request. The
// protocol is the derived class's.
#include "ports/link_codes.h"
#include "sim/sim_config.h"
#include "sim/sim_console.h"
#include "sim/sim_flash.h"
#include "sim/sim_persona.h"
#include "sim/sim_wire.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tgm {

class SimUnit {
public:
    using Bytes = std::vector<uint8_t>;
    // The status or result code of a command the unit does not have.
    static constexpr uint8_t kRejected = kCommandRejected;
    // The longest pause between two bytes of an answer that a tool waits out (either protocol).
    static constexpr std::chrono::milliseconds kByteTimeout{50};

    SimUnit(const SimConfig& config, const SimPersona& persona);
    virtual ~SimUnit() = default;
    SimUnit(const SimUnit&) = delete;
    SimUnit& operator=(const SimUnit&) = delete;

    // Loads the state file when one is configured and present.
    bool load_state(std::string& error);
    // Serves until stop is set. The wire tells the speed the tool set: bytes sent at another
    // speed are noise to the unit.
    void serve(SimWire& wire, const std::atomic<bool>& stop);

    SimFlash& flash() { return flash_; }
    const SimPersona& persona() const { return persona_; }
    const SimConfig& config() const { return config_; }
    // Readiness polls answered so far.
    int32_t polls() const { return polls_.load(); }
    const SimConsole& console() const { return console_; }
    // Paced, the machine may not run the unit in time: a pause inside an answer as long as a
    // tool's byte time-out, which a real unit never makes, is told here (once per answer, after
    // it), so that the failure it causes is not taken for the tool's.
    void on_held_up(std::function<void(const std::string&)> report) {
        held_up_report_ = std::move(report);
    }
    // Bytes that have come from the line, at any speed.
    int64_t bytes_received() const { return received_.load(); }
    // The unit has dealt with every byte it received and waits for the next: a line driven
    // byte for byte (a test's) knows then that nothing more is coming.
    bool waiting_for_input() const { return idle_reads_.load() > 0; }
    // Each quiet so far between the end of an answer and the first byte of the request after
    // it, on the monotonic clock, in order: what the protocols' pauses must keep.
    std::vector<std::chrono::microseconds> quiets() const;

protected:
    // Appends the low `width` bytes of value, least significant first.
    static void put_le(Bytes& out, uint32_t value, int width);

    // One request that began with `first` (the line speed already checked).
    virtual void handle(uint8_t first) = 0;

    // The next byte within timeout_ms, or -1.
    int read_byte(int timeout_ms);
    bool read_bytes(Bytes& out, std::size_t count, int timeout_ms);
    // Sends, or less when the answer under way is cut short.
    void send(const Bytes& bytes);
    // Starts an answer to `command`: one that --cut-to names stops after its bytes (-1: none).
    void begin_answer(int32_t command);
    // Stores an area and, with a state file, saves the flash.
    void store(int32_t area, Bytes bytes);
    // Counts one readiness poll; true once initialisation has ended.
    bool ready_poll();
    // Table data has been stored: with --silent-after-image the unit answers nothing more.
    void image_stored();

    bool silent_to(int32_t command) const;
    bool corrupt_to(int32_t command) const;
    // The status or result code a fault sets for a command, or -1.
    int32_t status_to(int32_t command) const;

    const SimConfig config_;
    const SimPersona persona_;
    SimFlash flash_;
    SimConsole console_;

private:
    // How late a wake may be and still keep the received bytes' schedule.
    static constexpr std::chrono::milliseconds kScheduleSlack{10};

    bool line_matches() const;
    // Paced: holds the byte just seen until it has crossed the line.
    void pace_received(bool waited);
    // Counts the quiet before the request whose first byte was just seen.
    void note_quiet();

    SimWire* wire_ = nullptr;
    const std::atomic<bool>* stop_ = nullptr;
    std::atomic<int32_t> polls_{0};
    std::atomic<bool> silenced_{false};
    int32_t cut_left_ = -1; // bytes the answer under way may still send; -1 any
    std::function<void(const std::string&)> held_up_report_;
    std::atomic<int64_t> received_{0};
    std::atomic<int64_t> idle_reads_{0};             // reads that found nothing since the last byte
    std::chrono::steady_clock::time_point in_due_{}; // paced: when the last byte came in
    std::chrono::steady_clock::time_point seen_{};   // when the last byte was read
    std::chrono::steady_clock::time_point answered_{}; // the last write of an answer; {} none
    mutable std::mutex quiets_mutex_;
    std::vector<std::chrono::microseconds> quiets_;
};

// The unit for a configuration (K or V by its protocol); null with the reason on error.
std::unique_ptr<SimUnit> make_sim_unit(const SimConfig& config, std::string& error);

} // namespace tgm
