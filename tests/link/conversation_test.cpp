// Conversations with the unit on a scripted line: the answer fuzzers' seeds are recorded from
// the simulated unit and replayed, and what the masters ask of the line is checked against a
// whole operation, probe included.
#include "operations/drivers/klink.h"
#include "operations/vlink.h"
#include "support/cp1251.h"
#include "testing/conversation.h"
#include "testing/engine_port.h"
#include "testing/files.h"
#include "testing/manual_clock.h"
#include "testing/served_unit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace tgm::test {
namespace {

// A line to the simulated unit's engine that keeps what the tool read after each of its
// writes: exactly the records a scripted line must release for the same run.
class RecordingPort : public LinePort {
public:
    explicit RecordingPort(SimUnit& unit) : line_(unit) {}
    OpenResult open_with(int32_t port, LineSetting setting) override {
        return line_.open_with(port, setting);
    }
    void close() override { line_.close(); }
    bool is_open() const override { return line_.is_open(); }
    void set_read_timeout(uint32_t ms) override { line_.set_read_timeout(ms); }
    uint8_t read_byte(ReadResult& status) override {
        const uint8_t byte = line_.read_byte(status);
        if (status == ReadResult::byte && !records.empty())
            records.back().push_back(byte);
        return byte;
    }
    int32_t write(const uint8_t* bytes, int32_t count) override {
        if (line_.is_open() && count > 0)
            records.emplace_back();
        return line_.write(bytes, count);
    }
    void purge_input() override { line_.purge_input(); }

    std::vector<Bytes> records;

private:
    EnginePort line_;
};

struct Generation {
    char protocol;
    const char* firmware;
    uint16_t handshake;
    int32_t types; // -1: the generation's own
    int32_t group;
};

const Generation kGenerations[] = {
    {'k', "621", 0x1234, -1, 0},  {'k', "6380", 0x5577, -1, 3}, {'k', "6341", 0x1234, -1, 0},
    {'k', "6343", 0x5577, -1, 3}, {'k', "6364", 0x1234, -1, 0}, {'k', "7411", 0x5577, -1, 3},
    {'k', "8433", 0x1234, -1, 0}, {'k', "8510", 0x5577, -1, 3}, {'k', "8520", 0x1234, -1, 0},
    {'k', "9500", 0x5577, -1, 0}, {'k', "9610", 0x1234, -1, 1}, {'k', "9620", 0x5577, -1, 3},
    {'k', "9700", 0x1234, -1, 0}, {'k', "1000", 0x5577, -1, 3}, {'k', "10000", 0x1234, 2, 1},
    {'v', "9600", 0x1234, -1, 0}, {'v', "10000", 0x1234, 1, 3}, {'v', "9620", 0x1234, 2, 1},
};

const char* const kOperationNames[] = {"write", "read", "clear"};

std::string seeds_dir(char protocol) {
    return std::string(TGM_FUZZ_SEEDS_DIR) +
           (protocol == 'k' ? "/fuzz_k_answers" : "/fuzz_v_answers");
}

std::string seed_name(const Generation& g, int32_t operation) {
    return std::string(1, g.protocol) + g.firmware + "_" +
           kOperationNames[operation - TBVLink::kWrite];
}

std::string as_text(const Bytes& b) { return std::string(b.begin(), b.end()); }

// Write, read and clear of every generation, each recorded from the simulated unit as the
// answer fuzzers take it (TGM_WRITE_SEEDS=1 stores them as the committed seeds), then replayed
// on the scripted line, where each must succeed as it did on the real one.
TEST(Conversations, RecordedFromEveryGenerationAndReplayed) {
    ManualClock clock;
    const bool store = std::getenv("TGM_WRITE_SEEDS") != nullptr;
    for (const Generation& g : kGenerations) {
        SimConfig config = unit_config(g.protocol, g.firmware);
        config.handshake = g.handshake;
        config.type_count = g.types;
        const auto unit = make_engine(config);
        TBVLink link;
        for (int32_t op : {TBVLink::kWrite, TBVLink::kRead, TBVLink::kClear}) {
            const auto recorder = std::make_shared<RecordingPort>(*unit);
            Conversation c;
            c.operation = op;
            c.group = g.group;
            {
                PortOnEveryNumber on_line(recorder);
                link.group = op == TBVLink::kRead ? GROUPTAB() : example_group(g.group);
                link.operation = op;
                link.error_text.clear();
                ASSERT_TRUE(g.protocol == 'k' ? RunKLink(link) : RunVLink(link))
                    << seed_name(g, op) << ": " << link.error_text;
                link.operation = 0;
            }
            if (op == TBVLink::kRead) {
                EXPECT_TRUE(link.group.equals(example_group(g.group))) << seed_name(g, op);
            }
            c.records = recorder->records;
            const std::string path = seeds_dir(g.protocol) + "/" + seed_name(g, op);
            const Bytes recorded = conversation_bytes(c);
            if (store) {
                std::filesystem::create_directories(seeds_dir(g.protocol));
                write_file(path, as_text(recorded));
            }
            EXPECT_EQ(read_file(path), as_text(recorded))
                << path
                << " differs from the conversation recorded now (TGM_WRITE_SEEDS=1 renews it)";
            const ConversationOutcome replayed = replay_conversation(g.protocol, c);
            EXPECT_TRUE(replayed.result) << path << ": " << replayed.error_text;
            EXPECT_EQ(replayed.broken, "") << path;
        }
    }
}

// Every committed seed: the recorded conversations succeed, the fuzzers' findings kept beside
// them keep every promise.
TEST(Conversations, EveryCommittedSeedKeepsThePromises) {
    int32_t recorded = 0, findings = 0;
    for (char protocol : {'k', 'v'}) {
        for (const auto& entry : std::filesystem::directory_iterator(seeds_dir(protocol))) {
            const std::string name = entry.path().filename().string();
            const std::string bytes = read_file(entry.path().string());
            const Conversation c =
                parse_conversation(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            const ConversationOutcome outcome = replay_conversation(protocol, c);
            EXPECT_EQ(outcome.broken, "") << name;
            bool is_recording = false;
            for (const Generation& g : kGenerations)
                for (int32_t op : {TBVLink::kWrite, TBVLink::kRead, TBVLink::kClear})
                    is_recording =
                        is_recording || (g.protocol == protocol && name == seed_name(g, op));
            if (is_recording) {
                EXPECT_EQ(outcome.error_text, "OK") << name;
                ++recorded;
            } else {
                ++findings;
            }
        }
    }
    EXPECT_EQ(recorded, static_cast<int32_t>(std::size(kGenerations)) * 3);
    std::printf("replayed %d recorded conversations and %d findings\n", recorded, findings);
}

// A whole operation through the link thread, probe included, recorded and replayed: the line
// settings each master asks for, K at 9600 Bd 8E1 and V at 19200 Bd, and the probe's order.
TEST(Conversations, ProbeAndSideAskTheLineSettingsOfTheirProtocol) {
    ManualClock clock;
    using Setting = ScriptedPort::Setting;
    const auto settings = [](SimConfig config, int32_t op, std::string& error_text) {
        const auto unit = make_engine(config);
        const auto recorder = std::make_shared<RecordingPort>(*unit);
        TBVLink link;
        link.allow_v = true;
        link.group = example_group(0);
        {
            PortOnEveryNumber on_line(recorder);
            link.operation = op;
            link.resume();
            while (link.operation.load() != 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto scripted = std::make_shared<ScriptedPort>(recorder->records);
        PortOnEveryNumber on_line(scripted);
        link.group = example_group(0);
        link.operation = op;
        link.resume();
        while (link.operation.load() != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        error_text = link.error_text;
        std::vector<Setting> asked = scripted->settings();
        for (Setting& s : asked)
            s.port = 0;
        return asked;
    };
    const Setting k{0, kKLine}, v9600{0, kKLine}, v19200{0, kKLine.at_speed(9)};
    std::string text;
    EXPECT_EQ(settings(unit_config('k', "9610"), TBVLink::kWrite, text),
              (std::vector<Setting>{k, k}));
    EXPECT_EQ(text, "OK");
    EXPECT_EQ(settings(unit_config('v', "9600"), TBVLink::kRead, text),
              (std::vector<Setting>{k, v19200, v19200}));
    EXPECT_EQ(text, "OK");
    SimConfig transport = unit_config('v', "9600");
    transport.transport = 19200;
    EXPECT_EQ(settings(transport, TBVLink::kClear, text),
              (std::vector<Setting>{k, v19200, v9600, v19200}));
    EXPECT_EQ(text, cp("Ошибка. Система в транспортном режиме."));
}

} // namespace
} // namespace tgm::test
