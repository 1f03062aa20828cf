// The K protocol on a real pseudo-terminal, the test playing the unit byte by byte.
#include "k_protocol/kmaster.h"
#include "k_protocol/ukdr_drv.h"
#include "ports/timer.h"
#include "testing/pty_pair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace tgm::test {
namespace {

uint8_t xor_of(const Bytes& bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes)
        sum ^= b;
    return sum;
}

// A reply as the unit sends it: status 0, data, and a checksum from two bytes on.
Bytes reply(const Bytes& data) {
    Bytes out{0};
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() >= 2)
        out.push_back(xor_of(data));
    return out;
}

struct KLine : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(master.open(pty.port(), 300));
        master.set_trace_enabled(true);
    }
    PtyPair pty;
    KMASTER master;
};

TEST_F(KLine, OneByteReadAndItsTraceLine) {
    Script unit([&] {
        EXPECT_EQ(pty.read(1), Bytes{0x14});
        sleep_ms(15);
        pty.write({0x00, 0x41});
    });
    uint8_t state = 0;
    ASSERT_TRUE(k_read(master, 20, 0, &state, 1));
    unit.join();
    EXPECT_EQ(state, 0x41);
    EXPECT_EQ(master.status(), 0u);
    // The answer's time is wall time, which a loaded machine stretches or, with the wait for
    // the line to drain, shortens: only its place in the trace line is checked.
    const uint32_t ms = master.engine().status_ms;
    // The last byte's own blank, then " <".
    EXPECT_EQ(master.traffic_text(), "#" + std::to_string(ms) + " >14  <0 41 ");
}

TEST_F(KLine, TwoByteReadChecksAndRejectsTheChecksum) {
    Script unit([&] {
        EXPECT_EQ(pty.read(1), Bytes{0x02});
        pty.write({0x00, 0x34, 0x12, 0x26});
        EXPECT_EQ(pty.read(1), Bytes{0x02});
        pty.write({0x00, 0x34, 0x12, 0x27}); // wrong checksum
    });
    ASSERT_TRUE(master.exchange_new(2, 0, nullptr, 2, KDRT::kRead));
    EXPECT_EQ(master.reply().size(), 2);
    EXPECT_EQ(master.reply().bytes()[1], 0x12);
    EXPECT_FALSE(master.exchange_new(2, 0, nullptr, 2, KDRT::kRead));
    EXPECT_EQ(master.engine().result, KDRT::kReplyPhase + KDRT::kBadChecksum);
    EXPECT_EQ(master.status(), 6u);
}

TEST_F(KLine, WritesCarryAChecksumFromThreeBytesOn) {
    const uint8_t two[2] = {0x77, 0x55};
    const uint8_t five[5] = {1, 2, 3, 4, 0xF0};
    Script unit([&] {
        EXPECT_EQ(pty.read(1), Bytes{0x04});
        pty.write({0x00});
        EXPECT_EQ(pty.read(2), (Bytes{0x77, 0x55}));
        EXPECT_TRUE(pty.read(1, 60).empty()); // no checksum follows two bytes
        pty.write({0x00});
        EXPECT_EQ(pty.read(1), Bytes{0x03});
        pty.write({0x00});
        EXPECT_EQ(pty.read(6), (Bytes{1, 2, 3, 4, 0xF0, 0xF4}));
        pty.write({0x55}); // the final status replaces the first
    });
    ASSERT_TRUE(master.exchange_new(4, 0, two, 2, KDRT::kWrite));
    EXPECT_EQ(master.status(), 0u);
    ASSERT_TRUE(master.exchange_new(3, 0, five, 5, KDRT::kWrite));
    EXPECT_EQ(master.status(), 0x55u);
    EXPECT_EQ(master.traffic_text().substr(master.traffic_text().find('>')),
              ">3 1 2 3 4 f0 f4  <0 55 ");
}

TEST_F(KLine, SilenceCancellationAndAClosedPortFail) {
    EXPECT_FALSE(k_command(master, 15)); // nobody answers
    EXPECT_EQ(master.engine().result, KDRT::kStatusPhase + KDRT::kTimedOut);
    EXPECT_EQ(master.status(), 6u);

    std::atomic<bool> cancel{true};
    master.set_cancel_flag(&cancel);
    EXPECT_FALSE(k_command(master, 15));
    EXPECT_EQ(master.engine().result, KDRT::kStatusPhase + KDRT::kPortError);
    master.set_cancel_flag(nullptr);
    pty.drain(50); // the command bytes nobody answered

    Script unit([&] {
        EXPECT_EQ(pty.read(1), Bytes{0x07});
        pty.write({0x00, 6, 3}); // the last data byte and the checksum never come
    });
    bool has = false;
    int32_t version = 0;
    EXPECT_FALSE(k_version(master, has, version));
    EXPECT_EQ(master.engine().result, KDRT::kReplyPhase + KDRT::kTimedOut);
    unit.join();

    master.close();
    EXPECT_FALSE(k_command(master, 15));
    EXPECT_EQ(master.engine().result, KDRT::kStatusPhase + KDRT::kPortError);
}

TEST_F(KLine, ExchangesKeepAHundredMillisecondGap) {
    std::atomic<uint32_t> second_arrived{0};
    Script unit([&] {
        EXPECT_EQ(pty.read(1), Bytes{0x10});
        pty.write({0x00, 0x55});
        EXPECT_EQ(pty.read(1), Bytes{0x10});
        second_arrived = tick_ms();
        pty.write({0x00, 0x55});
    });
    uint8_t b = 0;
    ASSERT_TRUE(k_read(master, 16, 0, &b, 1));
    const uint32_t first_done = tick_ms();
    ASSERT_TRUE(k_read(master, 16, 0, &b, 1));
    unit.join();
    EXPECT_GE(second_arrived - first_done, 95u);
}

struct VersionCase {
    Bytes bytes;
    int32_t version;
};

TEST_F(KLine, VersionBytesAndTheUnitWithoutTheCommand) {
    const VersionCase cases[] = {{{6, 3, 0}, 6300},
                                 {{8, 5, 1}, 8510},
                                 {{6, 3, 8}, 6320},
                                 {{6, 3, 41}, 6341},
                                 {{9, 6, 16}, 9616}};
    for (const VersionCase& c : cases) {
        Script unit([&] {
            EXPECT_EQ(pty.read(1), Bytes{0x07});
            pty.write(reply(c.bytes));
        });
        bool has = false;
        int32_t version = 0;
        ASSERT_TRUE(k_version(master, has, version));
        EXPECT_TRUE(has);
        EXPECT_EQ(version, c.version);
    }
    Script unit([&] {
        pty.read(1);
        pty.write({12});
        pty.read(1);
        pty.write({4});
    });
    bool has = true;
    int32_t version = 0;
    ASSERT_TRUE(k_version(master, has, version));
    EXPECT_FALSE(has);
    EXPECT_FALSE(k_version(master, has, version)); // any other status fails
}

// The unit's side of a guarded read of `data` with the given handshake word; returns the
// command bytes seen.
Bytes guarded_read_unit(PtyPair& pty, uint16_t word, const Bytes& data) {
    Bytes commands;
    const Bytes word_bytes{static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
    auto command = [&] {
        const Bytes c = pty.read(1);
        commands.insert(commands.end(), c.begin(), c.end());
    };
    command();
    pty.write(reply(word_bytes));
    if (word == 0x1234) {
        command();
        pty.write(reply(word_bytes));
    } else {
        for (int i = 0; i < 2; ++i) {
            command();
            pty.write({0});
            EXPECT_EQ(pty.read(2), word_bytes);
            pty.write({0});
        }
    }
    command();
    pty.write({0});
    const Bytes block{static_cast<uint8_t>(data.size()), static_cast<uint8_t>(data.size() >> 8), 1,
                      0};
    Bytes expected = block;
    expected.push_back(xor_of(block));
    EXPECT_EQ(pty.read(5), expected);
    pty.write({0});
    command();
    pty.write(reply(data));
    return commands;
}

TEST_F(KLine, GuardedReadWithEitherHandshake) {
    const Bytes data{9, 8, 7, 6, 5};
    for (uint16_t word : {uint16_t{0x1234}, uint16_t{0x5577}}) {
        Bytes commands;
        Script unit([&] { commands = guarded_read_unit(pty, word, data); });
        ASSERT_TRUE(master.guarded_exchange(3, 0, nullptr, 5, KDRT::kRead));
        unit.join();
        EXPECT_EQ(commands, Bytes(word == 0x1234 ? 4 : 5, 0x03));
        EXPECT_EQ(Bytes(master.reply().bytes(), master.reply().bytes() + 5), data);
        // Every exchange of the sequence is in the traffic.
        EXPECT_EQ(std::count(master.traffic_text().begin(), master.traffic_text().end(), '#'),
                  word == 0x1234 ? 4 : 5);
    }
}

TEST_F(KLine, AnUnknownHandshakeWordAbortsTheSequence) {
    Script unit([&] {
        EXPECT_EQ(pty.read(1), Bytes{0x01});
        pty.write(reply({0x11, 0x22}));
        EXPECT_EQ(pty.read(1), Bytes{0x0F}); // abort
        pty.write({12});
    });
    EXPECT_FALSE(master.guarded_exchange(1, 0, nullptr, 274, KDRT::kRead));
    unit.join();
    EXPECT_EQ(master.status(), 12u); // the abort's status
}

TEST_F(KLine, ProgressOfLongReadsAndWrites) {
    std::atomic<int32_t> progress{-7};
    master.set_progress_cell(&progress);

    Script small([&] {
        pty.read(1);
        pty.write(reply(Bytes(1000, 1)));
    });
    ASSERT_TRUE(master.exchange_new(3, 0, nullptr, 1000, KDRT::kRead));
    small.join();
    EXPECT_EQ(progress.load(), -7); // below 1024 bytes the cell is left alone

    std::atomic<int32_t> seen_first{-7};
    Script large([&] {
        pty.read(1);
        const Bytes data(2048, 2);
        Bytes all = reply(data);
        pty.write(Bytes(all.begin(), all.begin() + 2)); // status and the first byte
        for (int i = 0; i < 200 && progress.load() == -7; ++i)
            sleep_ms(1);
        seen_first = progress.load();
        pty.write(Bytes(all.begin() + 2, all.end()));
    });
    ASSERT_TRUE(master.exchange_new(3, 0, nullptr, 2048, KDRT::kRead));
    large.join();
    EXPECT_EQ(seen_first.load(), 0);
    EXPECT_EQ(progress.load(), 99);

    std::atomic<int32_t> during_write{0};
    const Bytes image(2000, 3);
    Script writer([&] {
        pty.read(1);
        pty.write({0});
        EXPECT_EQ(pty.read(2001).size(), 2001u);
        during_write = progress.load();
        pty.write({0});
    });
    ASSERT_TRUE(master.exchange_new(3, 0, image.data(), 2000, KDRT::kWrite));
    writer.join();
    EXPECT_EQ(during_write.load(), -50);
    EXPECT_EQ(progress.load(), 100);
}

TEST_F(KLine, TheLongestByteWaitIsRaised) {
    std::atomic<int32_t> worst{0};
    master.set_worst_time_cell(&worst);
    Script unit([&] {
        pty.read(1);
        sleep_ms(30);
        pty.write({0, 0x55});
    });
    uint8_t b = 0;
    ASSERT_TRUE(k_read(master, 16, 0, &b, 1));
    EXPECT_GE(worst.load(), 30);
}

} // namespace
} // namespace tgm::test
