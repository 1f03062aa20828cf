#pragma once
// A unit that answers from a script, for the link's own tests and its fuzzers: record i is
// what the line carries once the tool has written for the i-th time, so nothing of an answer
// can be read before the question that it answers. Time-outs cost the link clock, not time.
#include "ports/line_port.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace tgm::test {

using Bytes = std::vector<uint8_t>;

class ScriptedPort : public LinePort {
public:
    // One line setting asked of the port.
    struct Setting {
        int32_t port;
        LineSetting line;
        bool operator==(const Setting&) const = default;
    };

    explicit ScriptedPort(std::vector<Bytes> records) : records_(std::move(records)) {}

    // Opens unless the script is empty: a line without a unit behind it is one held elsewhere.
    OpenResult open_with(int32_t port, LineSetting setting) override;
    void close() override { open_ = false; }
    bool is_open() const override { return open_; }
    void set_read_timeout(uint32_t ms) override { timeout_ = ms; }
    // A byte released and not yet read, or, with none, the time-out after the clock has
    // moved by the read time-out.
    uint8_t read_byte(ReadResult& status) override;
    int32_t write(const uint8_t* bytes, int32_t count) override;
    void purge_input() override;

    const std::vector<Setting>& settings() const { return settings_; }
    // What the tool wrote, one entry per write on the open line.
    const std::vector<Bytes>& written() const { return written_; }

private:
    std::vector<Bytes> records_;
    std::deque<uint8_t> released_;
    std::vector<Setting> settings_;
    std::vector<Bytes> written_;
    uint32_t timeout_ = 10;
    bool open_ = false;
};

// Puts `port` behind every port number for the guard's lifetime.
class PortOnEveryNumber {
public:
    explicit PortOnEveryNumber(std::shared_ptr<LinePort> port);
    ~PortOnEveryNumber();
    PortOnEveryNumber(const PortOnEveryNumber&) = delete;
    PortOnEveryNumber& operator=(const PortOnEveryNumber&) = delete;

private:
    PortFactory previous_;
};

} // namespace tgm::test
