#pragma once
// A pseudo-terminal pair for protocol tests: the code under test opens the slave through PCI
// by its port number, the test plays the unit on the master side.
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tgm::test {

using Bytes = std::vector<uint8_t>;

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return path_; }
    int32_t port() const { return port_; }

    // The next n bytes from the tool; fewer when they do not come within timeout_ms.
    Bytes read(std::size_t n, int timeout_ms = 2000);
    // Everything that arrives until the line has been quiet for quiet_ms.
    Bytes drain(int quiet_ms = 150);
    void write(const Bytes& bytes);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    int32_t port_ = -1;
};

// Runs the unit's side of a conversation on a thread; joined on destruction.
class Script {
public:
    explicit Script(std::function<void()> body) : thread_(std::move(body)) {}
    ~Script() { join(); }
    void join() {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
};

// Sets an environment variable for the lifetime of the guard.
class EnvGuard {
public:
    EnvGuard(const char* name, const std::string& value);
    ~EnvGuard();

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

} // namespace tgm::test
