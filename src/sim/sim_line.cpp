#include "sim/sim_line.h"

#include "ports/byte_wait.h"
#include "ports/pci.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace tgm {
namespace {

// What the tool's side holds unread before the unit has to wait, as a terminal's buffer does.
constexpr std::size_t kToolRoom = 4096;

} // namespace

struct SimLine::State {
    std::mutex mutex;
    std::condition_variable changed; // a byte or room on either side, or an end opened
    std::deque<uint8_t> to_unit;
    std::deque<uint8_t> to_tool;
    int32_t speed = 0;               // Bd of the tool's open end; 0 before any opened
    const ToolEnd* holder = nullptr; // the end that has the line open
};

class SimLine::UnitEnd : public SimWire {
public:
    explicit UnitEnd(std::shared_ptr<State> state) : state_(std::move(state)) {}

    int read(uint8_t& byte) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->to_unit.empty())
            return 0;
        byte = state_->to_unit.front();
        state_->to_unit.pop_front();
        state_->changed.notify_all();
        return 1;
    }
    void wait_readable(int ms) override {
        std::unique_lock<std::mutex> lock(state_->mutex);
        state_->changed.wait_for(lock, std::chrono::milliseconds(ms),
                                 [this] { return !state_->to_unit.empty(); });
    }
    long write(const uint8_t* bytes, std::size_t count) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        // Nobody listens: the bytes are lost on the line, as on a real one.
        if (state_->holder == nullptr)
            return static_cast<long>(count);
        const std::size_t room = kToolRoom - std::min(kToolRoom, state_->to_tool.size());
        const std::size_t n = std::min(room, count);
        state_->to_tool.insert(state_->to_tool.end(), bytes, bytes + n);
        if (n > 0)
            state_->changed.notify_all();
        return static_cast<long>(n);
    }
    void wait_writable(int ms) override {
        std::unique_lock<std::mutex> lock(state_->mutex);
        state_->changed.wait_for(lock, std::chrono::milliseconds(ms), [this] {
            return state_->holder == nullptr || state_->to_tool.size() < kToolRoom;
        });
    }
    int32_t speed() const override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->speed;
    }

private:
    std::shared_ptr<State> state_;
};

class SimLine::ToolEnd : public LinePort {
public:
    explicit ToolEnd(std::shared_ptr<State> state) : state_(std::move(state)) {}
    ~ToolEnd() override { close(); }

    OpenResult open_with(int32_t, LineSetting setting) override {
        if (setting.baud_index < 0 || setting.baud_index >= PCI::kSpeedCount ||
            setting.size_index < 0 || setting.size_index >= PCI::kSizeCount)
            return OpenResult::bad_setting;
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->holder != nullptr && state_->holder != this)
            return OpenResult::unavailable;
        state_->holder = this;
        state_->speed = PCI::kSpeeds[setting.baud_index];
        state_->to_tool.clear();
        state_->changed.notify_all();
        speed_ = state_->speed;
        return OpenResult::ok;
    }
    void close() override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->holder == this) {
            state_->holder = nullptr;
            state_->changed.notify_all();
        }
        speed_ = 0;
    }
    bool is_open() const override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->holder == this;
    }
    void set_read_timeout(uint32_t ms) override { timeout_ = ms; }
    uint8_t read_byte(ReadResult& status) override {
        status = ReadResult::failed;
        if (!is_open())
            return 0;
        return wait_for_byte(
            timeout_, cancel_,
            [this](uint32_t ms, uint8_t& byte) {
                std::unique_lock<std::mutex> lock(state_->mutex);
                if (!state_->changed.wait_for(lock, std::chrono::milliseconds(ms),
                                              [this] { return !state_->to_tool.empty(); }))
                    return ByteSlice::none;
                byte = state_->to_tool.front();
                state_->to_tool.pop_front();
                state_->changed.notify_all();
                return ByteSlice::byte;
            },
            status);
    }
    int32_t write(const uint8_t* bytes, int32_t count) override {
        if (count <= 0)
            return 0;
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->holder == this) {
            state_->to_unit.insert(state_->to_unit.end(), bytes, bytes + count);
            state_->changed.notify_all();
        }
        return count;
    }
    void purge_input() override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->holder == this)
            state_->to_tool.clear();
    }
    void drain_output() override {
        // The unit takes each byte when it has crossed the line.
        (void)wait_for_output_queue(
            [this](int64_t& bytes) {
                std::lock_guard<std::mutex> lock(state_->mutex);
                bytes = static_cast<int64_t>(state_->to_unit.size());
                return true;
            },
            [this](int32_t bytes) { return line_ms(bytes); }, cancel_);
    }
    uint32_t line_ms(int32_t bytes) const override { return line_time_ms(bytes, speed_); }
    void set_cancel_flag(const std::atomic<bool>* flag) override { cancel_ = flag; }

private:
    std::shared_ptr<State> state_;
    uint32_t timeout_ = 10;
    int32_t speed_ = 0;
    const std::atomic<bool>* cancel_ = nullptr;
};

std::unique_ptr<SimLine> SimLine::serve_on_port(const SimConfig& config, int32_t port,
                                                std::string& error) {
    std::unique_ptr<SimUnit> unit = make_sim_unit(config, error);
    if (!unit)
        return nullptr;
    auto line = std::make_unique<SimLine>(std::move(unit));
    line->put_on_port(port);
    line->start();
    return line;
}

SimLine::SimLine(std::unique_ptr<SimUnit> unit)
    : unit_(std::move(unit)), state_(std::make_shared<State>()) {}

SimLine::~SimLine() {
    if (on_port_)
        (void)set_port_factory(std::move(previous_));
    stop();
}

void SimLine::start() {
    stop_ = false;
    thread_ = std::thread([this] {
        UnitEnd wire(state_);
        unit_->serve(wire, stop_);
    });
}

void SimLine::stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void SimLine::put_on_port(int32_t port) {
    std::shared_ptr<State> state = state_;
    auto others = std::make_shared<PortFactory>();
    *others = set_port_factory([state, port, others](int32_t n) -> std::shared_ptr<LinePort> {
        if (n == port)
            return std::make_shared<ToolEnd>(state);
        return *others ? (*others)(n) : std::make_shared<PCI>();
    });
    previous_ = *others;
    on_port_ = true;
}

} // namespace tgm
