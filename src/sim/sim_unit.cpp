#include "sim/sim_unit.h"

#include "ports/timer.h"
#include "sim/k_unit.h"
#include "sim/v_unit.h"
#include "support/platform.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace tgm {
namespace {

// How long a byte takes on the line: 1 start, 8 data, parity and 1 stop bit.
std::chrono::nanoseconds byte_time(int32_t speed) {
    return std::chrono::nanoseconds(11'000'000'000LL / speed);
}

} // namespace

SimUnit::SimUnit(const SimConfig& config, const SimPersona& persona)
    : config_(config), persona_(persona), flash_(persona),
      console_(persona.display_kind, persona.version) {}

bool SimUnit::load_state(std::string& error) {
    if (config_.state_file.empty() || !path_taken(config_.state_file))
        return true;
    return flash_.load(config_.state_file, error);
}

void SimUnit::serve(SimWire& wire, const std::atomic<bool>& stop) {
    wire_ = &wire;
    stop_ = &stop;
    while (!stop.load()) {
        const int first = read_byte(100);
        if (first < 0 || config_.faults.silent || silenced_.load() || !line_matches())
            continue;
        note_quiet();
        handle(static_cast<uint8_t>(first));
    }
}

void SimUnit::note_quiet() {
    if (answered_ == std::chrono::steady_clock::time_point{})
        return;
    const auto quiet = std::chrono::duration_cast<std::chrono::microseconds>(seen_ - answered_);
    answered_ = {};
    std::lock_guard<std::mutex> lock(quiets_mutex_);
    quiets_.push_back(quiet);
}

std::vector<std::chrono::microseconds> SimUnit::quiets() const {
    std::lock_guard<std::mutex> lock(quiets_mutex_);
    return quiets_;
}

bool SimUnit::line_matches() const {
    const int32_t speed = wire_->speed();
    return speed == 0 || speed == persona_.line_speed();
}

int SimUnit::read_byte(int timeout_ms) {
    // The unit keeps real time whatever clock the link under test runs on.
    TIMER timer(timeout_ms, system_clock());
    bool waited = false;
    for (;;) {
        uint8_t byte = 0;
        const int n = wire_->read(byte);
        if (n == 1) {
            seen_ = std::chrono::steady_clock::now();
            if (config_.real_time)
                pace_received(waited);
            idle_reads_ = 0;
            ++received_;
            return byte;
        }
        if (n < 0)
            return -1;
        waited = true;
        ++idle_reads_;
        if (timer.expired() || stop_->load())
            return -1;
        const uint32_t left = static_cast<uint32_t>(timeout_ms) - timer.elapsed();
        // A line nobody holds reports a hang-up; keep the waits short then.
        wire_->wait_readable(static_cast<int>(left < 20 ? left : 20));
    }
}

void SimUnit::pace_received(bool waited) {
    // A byte is the unit's only once it has crossed the line. Bytes that wait in line follow
    // each other on a fixed schedule, as the answers go out, so that a late wake does not push
    // every later byte back; a byte that had to be waited for, or one after the machine held
    // the unit up, starts the schedule from when it was seen.
    const std::chrono::nanoseconds line_byte = byte_time(persona_.line_speed());
    const auto next = in_due_ + line_byte;
    in_due_ = waited || seen_ > next + kScheduleSlack ? seen_ + line_byte : next;
    std::this_thread::sleep_until(in_due_);
}

bool SimUnit::read_bytes(Bytes& out, std::size_t count, int timeout_ms) {
    out.clear();
    while (out.size() < count) {
        const int b = read_byte(timeout_ms);
        if (b < 0)
            return false;
        out.push_back(static_cast<uint8_t>(b));
    }
    return true;
}

void SimUnit::begin_answer(int32_t command) {
    cut_left_ = command >= 0 && command == config_.faults.cut_to ? config_.faults.cut_after : -1;
}

void SimUnit::image_stored() {
    if (config_.faults.silent_after_image)
        silenced_ = true;
}

void SimUnit::send(const Bytes& whole) {
    Bytes bytes = whole;
    if (cut_left_ >= 0) {
        bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(cut_left_)));
        cut_left_ -= static_cast<int32_t>(bytes.size());
    }
    const bool paced = config_.real_time;
    const std::chrono::nanoseconds line_byte = byte_time(persona_.line_speed());
    // Paced, each byte reaches the tool when it would have crossed the line: on a schedule, so
    // that the sleeps' own lateness does not add up over a long answer.
    auto due = std::chrono::steady_clock::now();
    bool on_line = false; // the current byte's line time has passed
    std::size_t done = 0;
    TIMER stall(2000, system_clock()); // a tool that stopped reading is given up after two seconds
    // Paced, the longest pause between two bytes that the line took at once: the unit's own.
    std::chrono::steady_clock::time_point last_byte;
    std::chrono::steady_clock::duration held{};
    std::size_t held_after = 0;
    bool line_full = false; // the line refused the byte under way for a while
    while (done < bytes.size() && !stop_->load()) {
        if (paced && !on_line) {
            due += line_byte;
            std::this_thread::sleep_until(due);
            on_line = true;
        }
        const std::size_t chunk = paced ? 1 : bytes.size() - done;
        // Taken before the write: the tool may read the bytes before this thread runs again,
        // and a quiet counted from later would come out short on a busy machine.
        const auto writing = std::chrono::steady_clock::now();
        const long n = wire_->write(bytes.data() + done, chunk);
        if (n > 0) {
            answered_ = writing;
            if (paced) {
                const auto now = std::chrono::steady_clock::now();
                if (done > 0 && !line_full && now - last_byte > held) {
                    held = now - last_byte;
                    held_after = done;
                }
                last_byte = now;
                line_full = false;
            }
            done += static_cast<std::size_t>(n);
            stall.start(2000);
            on_line = false;
            continue;
        }
        if (n < 0 || stall.expired())
            break;
        line_full = true;
        wire_->wait_writable(10);
    }
    if (held >= kByteTimeout && held_up_report_)
        held_up_report_(
            "this machine held the unit up " +
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(held).count()) +
            " ms after byte " + std::to_string(held_after) + " of a " +
            std::to_string(bytes.size()) + "-byte answer; a tool gives up after " +
            std::to_string(kByteTimeout.count()) +
            " ms without a byte, so a failure there is the simulation's, not the tool's");
}

void SimUnit::store(int32_t area, Bytes bytes) {
    // Table data lies in the image or in the per-table blocks; the last byte of the image or
    // of the first block holds the top of a table, so a change there reads back as one wrong
    // point, not as a damaged image.
    if (config_.faults.wrong_point && (area == 0 || area == SimFlash::kImage) && !bytes.empty())
        bytes.back() ^= 0x01;
    flash_.set_area(area, std::move(bytes));
    if (!config_.state_file.empty())
        (void)flash_.save(config_.state_file);
}

bool SimUnit::ready_poll() {
    const int32_t poll = polls_.fetch_add(1);
    const int32_t needed = config_.faults.init_polls;
    return needed >= 0 && poll >= needed;
}

void SimUnit::put_le(Bytes& out, uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool SimUnit::silent_to(int32_t command) const { return config_.faults.silent_to == command; }

bool SimUnit::corrupt_to(int32_t command) const {
    return config_.faults.corrupt || config_.faults.corrupt_to == command;
}

int32_t SimUnit::status_to(int32_t command) const {
    const auto it = config_.faults.status_to.find(command);
    return it == config_.faults.status_to.end() ? -1 : it->second;
}

std::unique_ptr<SimUnit> make_sim_unit(const SimConfig& config, std::string& error) {
    SimPersona persona;
    if (!make_persona(config, persona, error))
        return nullptr;
    std::unique_ptr<SimUnit> unit;
    if (config.protocol == 'v')
        unit = std::make_unique<VUnit>(config, persona);
    else
        unit = std::make_unique<KUnit>(config, persona);
    if (!unit->load_state(error))
        return nullptr;
    return unit;
}

} // namespace tgm
