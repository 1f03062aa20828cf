// The V protocol on a real pseudo-terminal, the test playing the unit frame by frame.
#include "ports/timer.h"
#include "testing/manual_clock.h"
#include "testing/pty_pair.h"
#include "testing/scripted_port.h"
#include "v_protocol/crc16.h"
#include "v_protocol/vmaster.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

namespace tgm::test {
namespace {

Bytes with_crc(Bytes frame) {
    const uint16_t crc = crc16(frame.data(), static_cast<int32_t>(frame.size()));
    frame.push_back(static_cast<uint8_t>(crc));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

// A frame of normal framing: length, data, CRC.
Bytes frame(const Bytes& data) {
    Bytes f{static_cast<uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    return with_crc(f);
}

// The unit's side of normal framing: reads 0x15 and a request frame; returns its data (empty
// when nothing came).
Bytes read_request(PtyPair& pty) {
    if (pty.read(1) != Bytes{0x15})
        return {};
    pty.write({0x00});
    const Bytes length = pty.read(1);
    if (length.empty())
        return {};
    const Bytes rest = pty.read(length[0] + 2u);
    Bytes whole = length;
    whole.insert(whole.end(), rest.begin(), rest.end());
    EXPECT_EQ(with_crc(Bytes(whole.begin(), whole.end() - 2)), whole) << "request CRC";
    return Bytes(rest.begin(), rest.end() - 2);
}

std::string dump(const Bytes& bytes) {
    std::string out;
    char hex[8];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%x ", b);
        out += hex;
    }
    return out;
}

void answer(PtyPair& pty, const Bytes& data) {
    Bytes out{0x00};
    const Bytes f = frame(data);
    out.insert(out.end(), f.begin(), f.end());
    pty.write(out);
}

struct VLine : ::testing::Test {
    void SetUp() override {
        master.set_framing(VMASTER::kNormalFraming, 9, 0);
        ASSERT_TRUE(master.open(pty.port(), 300));
        master.set_trace(true);
    }
    PtyPair pty;
    VMASTER master;
};

TEST(Crc16, ThreeBytesGive6161) {
    const uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(crc16(bytes, 3), 0x6161);
}

TEST_F(VLine, ShortRequestInNormalFraming) {
    Script unit([&] {
        EXPECT_EQ(read_request(pty), (Bytes{6, 32, 0, 0}));
        answer(pty, {7, 0, 9, 6, 0});
    });
    ASSERT_TRUE(master.request(32, 0, 0, nullptr, 0));
    unit.join();
    EXPECT_EQ(master.result_code(), 0);
    ASSERT_EQ(master.answer_data().size(), 3);
    EXPECT_EQ(master.answer_data().bytes()[0], 9);
    const std::string& t = master.traffic_text();
    ASSERT_EQ(t[0], '#');
    Bytes sent{0x15}, received{0x00, 0x00};
    const Bytes request = frame({6, 32, 0, 0}), reply = frame({7, 0, 9, 6, 0});
    sent.insert(sent.end(), request.begin(), request.end());
    received.insert(received.end(), reply.begin(), reply.end());
    EXPECT_EQ(t.substr(t.find('>')), ">" + dump(sent) + " <" + dump(received));
}

TEST_F(VLine, FrameFailuresGiveTheirStatuses) {
    Script nak([&] {
        pty.read(1);
        pty.write({0x06});
    });
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    nak.join();
    EXPECT_EQ(master.status(), 5);

    Script too_long([&] {
        read_request(pty);
        pty.write({0x00, 129});
    });
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    too_long.join();
    EXPECT_NE(master.status(), 0);

    Script bad_crc([&] {
        read_request(pty);
        Bytes f = frame({7, 0});
        f.back() ^= 1;
        f.insert(f.begin(), 0x00);
        pty.write(f);
    });
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    bad_crc.join();
    EXPECT_EQ(master.status(), 2);

    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0)); // silence
    EXPECT_EQ(master.status(), 3);
    pty.drain(50); // the request byte nobody answered

    Script wrong_function([&] {
        read_request(pty);
        answer(pty, {9, 0});
    });
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    wrong_function.join();
    EXPECT_EQ(master.status(), VMS::kUnexpectedFunction);
}

TEST_F(VLine, AnswerFromAnotherAddressIsRefused) {
    master.set_framing(VMASTER::kAddressedFraming, 7, 0);
    ASSERT_TRUE(master.open(pty.port(), 300));
    Script unit([&] {
        const Bytes head = pty.read(5);
        ASSERT_EQ(head.size(), 5u);
        EXPECT_EQ(Bytes(head.begin(), head.begin() + 4), (Bytes{0, 0, 0, 0}));
        pty.read(head[4] + 2u);
        pty.write(with_crc({1, 0, 0, 0, 2, 7, 0}));
    });
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    unit.join();
    EXPECT_EQ(master.status(), SYNT::kForeignAddress);

    Script good([&] {
        const Bytes head = pty.read(5);
        ASSERT_EQ(head.size(), 5u);
        pty.read(head[4] + 2u);
        pty.write(with_crc({0, 0, 0, 0, 2, 7, 0}));
    });
    EXPECT_TRUE(master.request(0, 0, 0, nullptr, 0));
}

// A unit that takes long payloads: records each request frame's function and length.
struct Recorded {
    int function;
    std::size_t length;
};

std::vector<Recorded> take_payload(PtyPair& pty, Bytes& payload) {
    std::vector<Recorded> seen;
    for (;;) {
        const Bytes data = read_request(pty);
        if (data.empty())
            return seen;
        seen.push_back({data[0], data.size()});
        switch (data[0]) {
        case 6:
            payload.assign(data.begin() + 4, data.end());
            answer(pty, {7, 0});
            return seen;
        case 16: answer(pty, data); break;
        case 26:
            payload.insert(payload.end(), data.begin() + 1, data.end());
            answer(pty, {26});
            break;
        case 36:
            payload.insert(payload.end(), data.begin() + 1, data.end());
            answer(pty, {7, 0});
            return seen;
        default: return seen;
        }
    }
}

TEST_F(VLine, LongPayloadsTravelIn127ByteBlocks) {
    struct Case {
        int length;
        std::vector<Recorded> frames;
    };
    const Case cases[] = {
        {124, {{6, 128}}},
        {125, {{16, 6}, {36, 126}}},
        {254, {{16, 6}, {26, 128}, {36, 128}}},
    };
    for (const Case& c : cases) {
        Bytes payload(static_cast<std::size_t>(c.length));
        for (std::size_t i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<uint8_t>(i * 3);
        Bytes received;
        std::vector<Recorded> seen;
        Script unit([&] { seen = take_payload(pty, received); });
        ASSERT_TRUE(master.request(20, 0, 2, payload.data(), c.length)) << c.length;
        unit.join();
        ASSERT_EQ(seen.size(), c.frames.size()) << c.length;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].function, c.frames[i].function) << c.length;
            EXPECT_EQ(seen[i].length, c.frames[i].length) << c.length;
        }
        EXPECT_EQ(received, payload);
    }
}

TEST_F(VLine, LongAnswersComeInBlocks) {
    std::atomic<int32_t> progress{-1};
    master.set_progress_out(&progress);
    Bytes image(300);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i);
    int asks = 0;
    Script unit([&] {
        EXPECT_EQ(read_request(pty), (Bytes{6, 20, 0, 1}));
        answer(pty, {17, 0, 0x2C, 0x01});
        for (std::size_t at = 0; at < image.size(); at += 127) {
            EXPECT_EQ(read_request(pty), Bytes{27});
            ++asks;
            const std::size_t end = std::min(image.size(), at + 127);
            Bytes block{static_cast<uint8_t>(end == image.size() ? 37 : 27)};
            block.insert(block.end(), image.begin() + static_cast<std::ptrdiff_t>(at),
                         image.begin() + static_cast<std::ptrdiff_t>(end));
            answer(pty, block);
        }
    });
    ASSERT_TRUE(master.request(20, 0, 1, nullptr, 0));
    unit.join();
    EXPECT_EQ(asks, 3);
    EXPECT_EQ(Bytes(master.answer_data().bytes(), master.answer_data().bytes() + 300), image);
    EXPECT_EQ(progress.load(), 100);

    int empty_asks = 0;
    Script empty([&] {
        read_request(pty);
        answer(pty, {17, 0, 0, 0});
        if (read_request(pty) == Bytes{27})
            ++empty_asks;
        answer(pty, {37});
    });
    ASSERT_TRUE(master.request(20, 0, 1, nullptr, 0));
    empty.join();
    EXPECT_EQ(master.answer_data().size(), 0);
    EXPECT_EQ(empty_asks, 1); // a total of 0 still asks for one block
}

TEST_F(VLine, DamagedLongAnswerHeadersAreRefused) {
    Script unit([&] {
        read_request(pty);
        answer(pty, {17, 0}); // no room for the total
        read_request(pty);
        answer(pty, {47, 0, 0, 0, 0, 0x80}); // 2 GiB announced
    });
    EXPECT_FALSE(master.request(20, 0, 1, nullptr, 0));
    EXPECT_EQ(master.status(), 11);
    EXPECT_FALSE(master.request(20, 0, 1, nullptr, 0));
    EXPECT_EQ(master.status(), 11);
}

// A unit that answers every request for the next block with a block that carries nothing would
// keep the tool asking for ever: the first such block fails the request.
TEST(VScripted, LongAnswerBlocksThatBringNothingEndTheRequest) {
    ManualClock clock;
    const auto acknowledged = [](const Bytes& data) {
        Bytes out{0x00};
        const Bytes f = frame(data);
        out.insert(out.end(), f.begin(), f.end());
        return out;
    };
    std::vector<Bytes> records = {{0x00}, acknowledged({17, 0, 10, 0})};
    for (int i = 0; i < 100; ++i) {
        records.push_back({0x00});
        records.push_back(acknowledged({27}));
    }
    const auto port = std::make_shared<ScriptedPort>(records);
    PortOnEveryNumber on_line(port);
    VMASTER master;
    master.set_framing(VMASTER::kNormalFraming, 9, 0);
    ASSERT_TRUE(master.open(0, 300));
    EXPECT_FALSE(master.request(20, 0, 1, nullptr, 0));
    EXPECT_EQ(master.status(), 13);
    EXPECT_EQ(port->written().size(), 4u); // the request and one ask for a block
}

} // namespace
} // namespace tgm::test
