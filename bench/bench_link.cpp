// A full write and read of a unit's tables through tgm-cli against tgm-sim --real-time,
// against the floor the line and the protocols set; and a verified write against the write
// and the read alone. The bytes exchanged come from the same
// operation run once in this process with the traffic kept.
//
// Counters per operation: seconds taken, the floor, the line time, the ratio, and tgm-cli's
// CPU time. After the read, a compare must find the unit's tables equal to those written.
//   floor   the unit's bytes at the line rate (11 bits a byte; how tgm-sim paces its answers)
//           plus the pauses the protocols mandate (100 ms between K exchanges, 6 ms before
//           every V exchange, the 100 ms of the K probe that a V unit leaves unanswered);
//   line    the floor plus the tool's own bytes at the line rate: what a real serial line
//           needs, and what tgm-sim --real-time takes, since it paces what it hears too;
//   ratio   seconds taken over the line time;
//   bound   the protocol's lower bound: the line time plus every wait the unit imposes (the
//           half-second sleeps between readiness polls that found it initialising), counted in
//           the same in-process run; bound_ratio is the seconds taken over it.
#include "operations/tbvlink.h"
#include "ports/clock.h"
#include "project/eproject.h"
#include "sim/sim_pty.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Scenario {
    char protocol;
    const char* firmware;
    int32_t points; // per table, 16 distinct tables
};

// 16 tables that differ and fit second differences.
tgm::GROUPTAB tables(int32_t points) {
    tgm::GROUPTAB group;
    for (int32_t k = 0; k < 16; ++k) {
        tgm::PARTAB t(points);
        for (int32_t i = 0; i < points; ++i)
            t.point(i) = i * (k + 1);
        group.add_copy(t);
    }
    return group;
}

pid_t spawn(const std::vector<std::string>& args, int out_fd, int err_fd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    if (err_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

struct Timing {
    double seconds = 0;
    double cpu_ms = 0;
};

// One tgm-cli run: its wall time and the CPU time it used. A failure ends the benchmark (the
// others still run) with what tgm-cli said on stderr, its trace and traffic included.
Timing run_cli(const std::vector<std::string>& args) {
    // With the traffic kept, so that a failure shows the line's bytes.
    std::vector<std::string> full{std::string(TGM_PROGRAMS) + "/tgm-cli", "--trace", "--traffic"};
    full.insert(full.end(), args.begin(), args.end());
    FILE* err = std::tmpfile();
    const auto start = Clock::now();
    const pid_t pid = spawn(full, -1, err != nullptr ? ::fileno(err) : -1);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Timing t;
    t.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    t.cpu_ms = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    std::string said;
    if (err != nullptr) {
        std::rewind(err);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, err)) > 0;)
            said.append(buffer, n);
        std::fclose(err);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string command;
        for (const std::string& a : args)
            command += " " + a;
        // The head (the error, its reason, the trace) and the traffic's end, where it failed.
        if (said.size() > 4000)
            said = said.substr(0, 1000) + " ... " + said.substr(said.size() - 2000);
        throw std::runtime_error("tgm-cli" + command + " failed:\n" + said);
    }
    return t;
}

// tgm-sim --real-time on a link in `dir`, stopped as Ctrl+C stops it; what it says on stderr
// is kept, for it tells when this machine held the unit up inside an answer.
class RealTimeUnit {
public:
    RealTimeUnit(const Scenario& s, const std::string& dir) : err_(std::tmpfile()) {
        int out[2];
        if (::pipe(out) != 0)
            throw std::runtime_error("pipe");
        pid_ =
            spawn({std::string(TGM_PROGRAMS) + "/tgm-sim", "--real-time", "--protocol",
                   std::string(1, s.protocol), "--firmware", s.firmware, "--link", dir + "/unit"},
                  out[1], err_ != nullptr ? ::fileno(err_) : -1);
        ::close(out[1]);
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') {
        }
        ::close(out[0]);
    }
    ~RealTimeUnit() {
        stop();
        if (err_ != nullptr)
            std::fclose(err_);
    }
    RealTimeUnit(const RealTimeUnit&) = delete;
    RealTimeUnit& operator=(const RealTimeUnit&) = delete;

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGINT);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    // The unit's first "held the unit up" line, or nothing. It tells of an answer once the
    // answer has ended, so the unit is stopped first: an answer the tool gave up ends then.
    std::string held_up() {
        stop();
        if (err_ == nullptr)
            return {};
        std::string said;
        char buffer[4096];
        std::rewind(err_);
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, err_)) > 0;)
            said.append(buffer, n);
        const std::size_t at = said.find("held the unit up");
        if (at == std::string::npos)
            return {};
        const std::size_t from = said.rfind('\n', at);
        const std::size_t to = said.find('\n', at);
        return said.substr(from == std::string::npos ? 0 : from + 1,
                           to == std::string::npos ? std::string::npos : to - from - 1);
    }

private:
    pid_t pid_ = -1;
    FILE* err_;
};

// The benchmark's own folder, TGM_HOME as well, with the tables to write in tables.fs; removed
// at the end.
struct BenchFolder {
    explicit BenchFolder(const tgm::GROUPTAB& group)
        : path(std::filesystem::temp_directory_path() /
               ("tgm-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
        ::setenv("TGM_HOME", path.c_str(), 1);
        tgm::EPROJECT project;
        project.take_group(group, "bench");
        project.export_form(path + "/tables.fs", 1);
    }
    ~BenchFolder() { std::filesystem::remove_all(path); }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::string path;
};

// Runs `body` on a fresh line-speed unit. A failure on a unit this machine held up inside an
// answer (a pause no real unit makes, and the tool rightly gives up after 50 ms) is the
// simulation's: that attempt is discarded and counted, up to three times. Any other failure
// ends the benchmark with what tgm-cli said.
template <typename Body>
bool attempt_on_real_time_unit(benchmark::State& state, const Scenario& s, const std::string& dir,
                               Body body) {
    for (int attempt = 1;; ++attempt) {
        std::string held;
        try {
            RealTimeUnit unit(s, dir);
            try {
                body();
                state.counters["held_up_runs"] = attempt - 1;
                return true;
            } catch (const std::exception&) {
                held = unit.held_up();
                if (held.empty() || attempt == 3)
                    throw;
            }
        } catch (const std::exception& e) {
            const std::string why = held.empty() ? e.what() : std::string(e.what()) + "\n" + held;
            state.SkipWithError(why.c_str());
            return false;
        }
        std::fprintf(stderr, "discarded: %s\n", held.c_str());
    }
}

// Each iteration of the benchmark as attempt_on_real_time_unit runs it; a failure ends them.
template <typename Body>
void each_on_real_time_unit(benchmark::State& state, const Scenario& s, const std::string& dir,
                            Body body) {
    for (auto _ : state)
        if (!attempt_on_real_time_unit(state, s, dir, body))
            break;
}

struct Floor {
    double floor_s = 0;
    double line_s = 0;
    double bound_s = 0; // line_s plus the waits the unit imposed
};

// The system clock, counting the sleeps between readiness polls (the only wait a unit imposes
// on the tool) while an in-process run of the link goes on.
class CountingClock : public tgm::Clock {
public:
    uint32_t now_ms() override { return tgm::system_clock().now_ms(); }
    void sleep_ms(uint32_t ms) override {
        if (ms == kReadinessSleepMs)
            readiness_sleeps.fetch_add(1);
        tgm::system_clock().sleep_ms(ms);
    }
    uint64_t now_us() override { return tgm::system_clock().now_us(); }
    void sleep_us(uint64_t us) override { tgm::system_clock().sleep_us(us); }

    static constexpr uint32_t kReadinessSleepMs = 500;
    std::atomic<int32_t> readiness_sleeps{0};
};

// The floor of one operation from its traffic: "#ms >sent <received" per exchange.
Floor floor_of(const std::string& traffic, char protocol) {
    const double byte_s = 11.0 / (protocol == 'k' ? 9600.0 : 19200.0);
    double unit_bytes = 0, tool_bytes = 0;
    int32_t exchanges = 0;
    for (std::size_t at = traffic.find('#'); at != std::string::npos;) {
        const std::size_t next = traffic.find('#', at + 1);
        const std::string entry =
            traffic.substr(at, next == std::string::npos ? std::string::npos : next - at);
        const std::size_t sent = entry.find(" >"), received = entry.find(" <");
        auto count = [](const std::string& bytes) {
            double n = 0;
            for (std::size_t i = 0; i < bytes.size(); ++i)
                n += bytes[i] == ' ';
            return n;
        };
        tool_bytes += count(entry.substr(sent + 2, received - sent - 2));
        unit_bytes += count(entry.substr(received + 2));
        ++exchanges;
        at = next;
    }
    // The first exchange is the K probe; after it the side's own master starts afresh.
    const double pauses = protocol == 'k' ? 0.1 * (exchanges - 2) : 0.1 + 0.006 * (exchanges - 1);
    const double line = (unit_bytes + tool_bytes) * byte_s + pauses;
    return {unit_bytes * byte_s + pauses, line, line};
}

struct Traffic {
    std::string log;
    int32_t readiness_sleeps = 0;
};

Floor floor_of(const Traffic& traffic, char protocol) {
    Floor floor = floor_of(traffic.log, protocol);
    floor.bound_s += 0.001 * CountingClock::kReadinessSleepMs * traffic.readiness_sleeps;
    return floor;
}

// The same write and read in this process, on a unit that answers at once: their traffic.
std::pair<Traffic, Traffic> traffic_of(const Scenario& s, const tgm::GROUPTAB& group) {
    tgm::SimConfig config;
    config.protocol = s.protocol;
    config.firmware = s.firmware;
    std::string error;
    tgm::SimPty pty(tgm::make_sim_unit(config, error));
    if (!pty.open(error))
        throw std::runtime_error(error);
    pty.start();
    tgm::TBVLink link;
    link.port = pty.port();
    link.allow_v = true;
    link.log_traffic = true;
    Traffic logs[2];
    const int32_t operations[2] = {tgm::TBVLink::kWrite, tgm::TBVLink::kRead};
    link.group = group;
    CountingClock clock;
    tgm::Clock* const previous = tgm::set_link_clock(&clock);
    for (int i = 0; i < 2; ++i) {
        clock.readiness_sleeps.store(0);
        link.operation = operations[i];
        link.resume();
        while (link.operation.load() != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!link.result) {
            tgm::set_link_clock(previous);
            throw std::runtime_error("in-process run failed");
        }
        logs[i] = {link.chan_log, clock.readiness_sleeps.load()};
    }
    tgm::set_link_clock(previous);
    return {logs[0], logs[1]};
}

void BM_WriteThenRead(benchmark::State& state, Scenario s) {
    const tgm::GROUPTAB group = tables(s.points);
    const BenchFolder folder(group);
    const std::string& dir = folder.path;
    const auto [write_traffic, read_traffic] = traffic_of(s, group);
    const Floor write_floor = floor_of(write_traffic, s.protocol);
    const Floor read_floor = floor_of(read_traffic, s.protocol);
    each_on_real_time_unit(state, s, dir, [&] {
        const Timing write = run_cli({"--port", dir + "/unit", "write", dir + "/tables.fs"});
        const Timing read = run_cli({"--port", dir + "/unit", "read", dir + "/read.fs"});
        (void)run_cli({"--port", dir + "/unit", "compare", dir + "/tables.fs"});
        state.SetIterationTime(write.seconds + read.seconds);
        state.counters["write_s"] = write.seconds;
        state.counters["write_floor_s"] = write_floor.floor_s;
        state.counters["write_ratio"] = write.seconds / write_floor.line_s;
        state.counters["write_line_s"] = write_floor.line_s;
        state.counters["write_bound_ratio"] = write.seconds / write_floor.bound_s;
        state.counters["write_cpu_ms"] = write.cpu_ms;
        state.counters["read_s"] = read.seconds;
        state.counters["read_floor_s"] = read_floor.floor_s;
        state.counters["read_ratio"] = read.seconds / read_floor.line_s;
        state.counters["read_line_s"] = read_floor.line_s;
        state.counters["read_bound_ratio"] = read.seconds / read_floor.bound_s;
        state.counters["read_cpu_ms"] = read.cpu_ms;
    });
}

// A verified write (tgm-cli write --verify: the write, then the read back and its compare)
// against the write alone and the read alone, on the same line-speed unit; the goal is a
// verified write within a second of the two.
void BM_VerifiedWrite(benchmark::State& state, Scenario s) {
    const BenchFolder folder(tables(s.points));
    const std::string& dir = folder.path;
    each_on_real_time_unit(state, s, dir, [&] {
        const std::string port = dir + "/unit";
        const Timing write = run_cli({"--port", port, "write", dir + "/tables.fs"});
        const Timing read = run_cli({"--port", port, "read", dir + "/read.fs"});
        const Timing verified = run_cli({"--port", port, "write", dir + "/tables.fs", "--verify"});
        state.SetIterationTime(verified.seconds);
        state.counters["write_s"] = write.seconds;
        state.counters["read_s"] = read.seconds;
        state.counters["verified_s"] = verified.seconds;
        state.counters["over_sum_s"] = verified.seconds - (write.seconds + read.seconds);
        state.counters["verified_cpu_ms"] = verified.cpu_ms;
    });
}

} // namespace

// 960 and 6343: 16 tables of 2045 points, 32752 bytes of type 0 (their largest image). 10XXX:
// 16 tables of 4000 points under type 3, table by table, over K and over V.
BENCHMARK_CAPTURE(BM_WriteThenRead, k960_16x2045, Scenario{'k', "9600", 2045})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WriteThenRead, k6343_16x2045, Scenario{'k', "6343", 2045})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WriteThenRead, k10000_16x4000_type3, Scenario{'k', "10000", 4000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_WriteThenRead, v10000_16x4000_type3, Scenario{'v', "10000", 4000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_VerifiedWrite, k10000_16x4000_type3, Scenario{'k', "10000", 4000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_VerifiedWrite, v10000_16x4000_type3, Scenario{'v', "10000", 4000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
