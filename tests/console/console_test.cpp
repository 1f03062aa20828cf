// The console channel and display client: detection, keys and display reads against the
// simulated unit and scripted lines over pseudo-terminals, and the display's decoding.
#include "console/cons_clnt.h"
#include "console/mchan.h"
#include "ports/pci.h"
#include "sim/sim_pty.h"
#include "support/cp1251.h"
#include "testing/pty_pair.h"

#include <gtest/gtest.h>

namespace tgm::test {
namespace {

using namespace std::string_literals;

std::unique_ptr<SimPty> start_unit(char protocol, const char* firmware, int32_t transport = 0,
                                   SimFaults faults = {}) {
    SimConfig config;
    config.protocol = protocol;
    config.firmware = firmware;
    config.transport = transport;
    config.faults = faults;
    std::string error;
    auto pty = std::make_unique<SimPty>(make_sim_unit(config, error));
    if (!pty->open(error))
        ADD_FAILURE() << error;
    pty->start();
    return pty;
}

DATA answer_of(std::initializer_list<uint8_t> display) {
    DATA d;
    d.append_byte(0);
    for (uint8_t b : display)
        d.append_byte(b);
    return d;
}

// The first character that the display shows for one byte, in UTF-8.
std::string shown_char(int32_t kind, uint8_t byte) {
    CONS_CLNT client;
    client.configure(kind);
    client.decode(answer_of({byte}));
    return cp1251_to_utf8(client.display_text.substr(0, 1));
}

std::string shown_utf8(const CONS_CLNT& client) { return cp1251_to_utf8(client.shown_text()); }

// Two LCD rows of 16 as the window shows them: each character followed by a blank. The LCD
// shows capitals that look Latin with Latin letters, so the expectations spell them so.
std::string lcd(const std::string& row1, const std::string& row2) {
    auto spaced = [](const std::string& utf8) {
        std::string row = utf8_to_cp1251(utf8), out;
        row.resize(16, ' ');
        for (const char c : row)
            out += std::string(1, c) + " ";
        return out;
    };
    return cp1251_to_utf8(spaced(row1) + "\r" + spaced(row2));
}

// Detects the unit, reads its display once and decodes it.
std::string connect_and_read(MCHAN& chan, CONS_CLNT& client, int32_t& kind) {
    if (!chan.connect(kind))
        return "no unit";
    client.configure(kind);
    if (!chan.read_display(client.answer_length))
        return "no display";
    client.decode(chan.answer_bytes());
    return shown_utf8(client);
}

struct Detection {
    char protocol;
    const char* firmware;
    int32_t sim_transport;
    int32_t kind;
    int32_t transport;
    bool switched_on; // the console command was sent
    std::string display;
};

class ConsoleDetection : public ::testing::TestWithParam<Detection> {};

TEST_P(ConsoleDetection, KindProtocolAndFirstDisplay) {
    const Detection& d = GetParam();
    auto unit = start_unit(d.protocol, d.firmware, d.sim_transport);
    MCHAN chan;
    chan.port = unit->port();
    CONS_CLNT client;
    int32_t kind = -1;
    EXPECT_EQ(connect_and_read(chan, client, kind), d.display);
    EXPECT_EQ(kind, d.kind);
    EXPECT_EQ(chan.via_v, d.protocol == 'v');
    EXPECT_EQ(chan.transport, d.transport);
    EXPECT_EQ(unit->unit().console().switched_on(), d.switched_on);
}

const std::string kLcdHome6362 = lcd("CИMУЛЯTOP 6362", "MEHЮ: 1 2 3");

INSTANTIATE_TEST_SUITE_P(
    Firmware, ConsoleDetection,
    ::testing::Values(
        Detection{'k', "6341", 0, 0, 0, false, "6 3 4 1       П   1.2.3 "},
        // 6350 mod 1000 is 350: the twelve digits, but the console must be switched on.
        Detection{'k', "6350", 0, 0, 0, true, "6 3 5 0       П   1.2.3 "},
        Detection{'k', "6360", 0, 1, 0, true, lcd("CИMУЛЯTOP 6360", "MEHЮ: 1 2 3")},
        Detection{'k', "6362", 0, 2, 0, true, kLcdHome6362},
        Detection{'k', "9600", 0, 2, 0, true, lcd("CИMУЛЯTOP 9600", "MEHЮ: 1 2 3")},
        // 1000 mod 1000 is 0.
        Detection{'k', "1000", 0, 0, 0, false, "1 0 0 0       П   1.2.3 "},
        Detection{'k', "5x0", 0, 0, 0, false, "5 - 0         П   1.2.3 "},
        Detection{'v', "6362", 0, 2, 0, false, kLcdHome6362},
        Detection{'v', "6362", 9600, 2, MCHAN::kTransport9600, false, kLcdHome6362},
        Detection{'v', "6362", 19200, 2, MCHAN::kTransport19200, false, kLcdHome6362}),
    [](const auto& info) {
        return std::string(1, info.param.protocol) + info.param.firmware + "_" +
               std::to_string(info.param.sim_transport);
    });

// Keys walk the unit's menu; each answer to a key is already the display after it.
TEST(ConsoleKeys, SentOnBothProtocolsAndShownAtOnce) {
    for (const char protocol : {'k', 'v'}) {
        SCOPED_TRACE(protocol);
        auto unit = start_unit(protocol, "9600");
        MCHAN chan;
        chan.port = unit->port();
        CONS_CLNT client;
        int32_t kind = -1;
        connect_and_read(chan, client, kind);
        std::vector<std::string> shown;
        for (const char key : std::string("142.q3")) {
            int32_t code = -1;
            ASSERT_TRUE(client.accept_key(key) && client.take_key_code(code)) << key;
            ASSERT_TRUE(chan.send_key(client.answer_length, code)) << key;
            client.decode(chan.answer_bytes());
            shown.push_back(shown_utf8(client));
        }
        // "." is code 15 here, which the unit's menu ignores; "q" steps back.
        const std::string level = "УPOBEHb, CM";
        EXPECT_EQ(shown, (std::vector<std::string>{lcd(level, "> _"), lcd(level, "> 4_"),
                                                   lcd(level, "> 42_"), lcd(level, "> 42_"),
                                                   lcd("CИMУЛЯTOP 9600", "MEHЮ: 1 2 3"),
                                                   lcd("ПЛOTHOCTb", "> _")}));
        ASSERT_TRUE(chan.read_display(client.answer_length));
        client.decode(chan.answer_bytes());
        EXPECT_EQ(shown_utf8(client), shown.back());
    }
}

TEST(ConsoleFailures, SilenceRefusalsAndAFailedConsoleCommand) {
    PtyPair silent;
    MCHAN chan;
    chan.port = silent.port();
    int32_t kind = -1;
    EXPECT_FALSE(chan.connect(kind));
    EXPECT_EQ(kind, 2);

    // The unit's own refusal of a read fails it, on either protocol.
    SimFaults refusing;
    refusing.status_to[0xF0] = 4;
    refusing.status_to[23] = 5;
    for (const char protocol : {'k', 'v'}) {
        auto unit = start_unit(protocol, "9600", 0, refusing);
        MCHAN refused;
        refused.port = unit->port();
        ASSERT_TRUE(refused.connect(kind));
        EXPECT_FALSE(refused.read_display(33)) << protocol;
    }

    // From 6350 on a console that cannot be switched on is no console.
    SimFaults mute13;
    mute13.silent_to = 13;
    auto unit = start_unit('k', "6362", 0, mute13);
    MCHAN unswitched;
    unswitched.port = unit->port();
    EXPECT_FALSE(unswitched.connect(kind));
}

// A K unit reporting version 0 is served over V: the port that K detection used is released
// before V opens it.
TEST(ConsoleFailures, VersionZeroHandsThePortToTheVMaster) {
    PtyPair line;
    Script unit([&] {
        EXPECT_EQ(line.read(1), Bytes{0x07});
        line.write({0x00, 0x00, 0x00, 0x00, 0x00});
    });
    MCHAN chan;
    chan.port = line.port();
    int32_t kind = -1;
    ASSERT_TRUE(chan.connect(kind));
    unit.join();
    EXPECT_EQ(kind, 2);
    EXPECT_TRUE(chan.via_v);
    PCI other;
    EXPECT_EQ(other.open_with(line.port(), kKLine.at_speed(9)),
              OpenResult::unavailable); // held by the V master
    chan.close();
    EXPECT_EQ(other.open_with(line.port(), kKLine.at_speed(9)), OpenResult::ok);
}

TEST(ConsoleDisplay, SevenSegmentPatterns) {
    const std::string patterns = "\x00\x03\x05\x07\x08\x0F\x13\x18\x1B\x1F\x20\x24\x25\x2E\x37"
                                 "\x38\x3A\x3E\x3F\x40\x41\x49\x50\x52\x53\x58\x5B\x5D\x60\x65"
                                 "\x6B\x6D\x6E\x6F\x70\x73\x76\x77\x78\x7A\x7B\x7C\x7F"s;
    const std::string shown = " _ѓ‚-TГrFPi174ПnhHA_=>„LCcE2…J53У9„GU0ob6d8";
    std::string decoded;
    for (const char p : patterns)
        decoded += shown_char(0, static_cast<uint8_t>(p));
    EXPECT_EQ(decoded, shown);
    for (int p = 0; p < 0x80; ++p) {
        if (patterns.find(static_cast<char>(p)) == std::string::npos) {
            EXPECT_EQ(shown_char(0, static_cast<uint8_t>(p)), "?") << p;
        }
    }

    CONS_CLNT client;
    client.configure(0);
    client.decode(answer_of({0xFF, 0x77}));
    EXPECT_EQ(client.display_text.substr(0, 4), "8.0 ");
    // Twelve digits make one row of 24 characters and no line break; missing bytes are blanks.
    EXPECT_EQ(client.shown_text(), "8.0 " + std::string(20, ' '));
}

TEST(ConsoleDisplay, LcdSetsAndTheirBoundaries) {
    const std::string set1 = "БДЖЗИЙЛПУЦЧШЩЪЫЭ  Г                         ЮЯ  ";
    std::string decoded;
    for (int b = 0x80; b <= 0xAF; ++b)
        decoded += shown_char(1, static_cast<uint8_t>(b));
    EXPECT_EQ(decoded, set1);
    EXPECT_EQ(shown_char(1, 0x7F), "\x7F");
    EXPECT_EQ(shown_char(1, 0xB0), cp1251_to_utf8("\xB0"));

    const std::pair<uint8_t, const char*> set2[] = {
        {0x00, ">"}, {0x01, "<"}, {0x02, "^"}, {0x03, "?"}, {0x04, "\x04"}, {0x9F, "џ"},
        {0xA0, "Б"}, {0xB1, "Я"}, {0xB2, "б"}, {0xC7, "я"}, {0xC8, " "},    {0xDF, " "},
        {0xE0, "Д"}, {0xE6, "щ"}, {0xE7, " "}, {0xE8, "и"}};
    for (const auto& [byte, shown] : set2)
        EXPECT_EQ(shown_char(2, byte), shown) << int(byte);

    // Two rows of 32 characters with a single CR between them; control bytes show as blanks.
    CONS_CLNT client;
    client.configure(2);
    DATA answer = answer_of({'O', 'K', 0x0A});
    answer.set_size(33);
    std::fill(answer.bytes() + 4, answer.bytes() + 33, 'x');
    client.decode(answer);
    EXPECT_EQ(client.shown_text(),
              "O K   x x x x x x x x x x x x x \rx x x x x x x x x x x x x x x x ");
}

TEST(ConsoleKeys, KeysOfEachDisplayKind) {
    struct Key {
        char key;
        int32_t codes[3]; // -1: not a key of that kind
    };
    const Key keys[] = {{'0', {0, 0, 0}},    {'9', {9, 9, 9}},    {',', {10, 10, -1}},
                        {'-', {11, 11, 10}}, {'+', {-1, -1, 11}}, {'q', {12, 12, 12}},
                        {'m', {14, 14, 14}}, {'n', {-1, 15, 15}}, {'.', {-1, 15, 15}},
                        {'x', {-1, -1, -1}}, {'Q', {-1, -1, -1}}, {'\0', {-1, -1, -1}}};
    for (int32_t kind = 0; kind < 3; ++kind) {
        CONS_CLNT client;
        client.configure(kind);
        for (const Key& k : keys) {
            int32_t code = -1;
            EXPECT_EQ(client.accept_key(k.key), k.codes[kind] >= 0) << kind << k.key;
            EXPECT_EQ(client.take_key_code(code), k.codes[kind] >= 0) << kind << k.key;
            if (k.codes[kind] >= 0) {
                EXPECT_EQ(code, k.codes[kind]) << kind << k.key;
            }
        }
        // A refused key leaves the waiting one; configuring clears it.
        int32_t code = -1;
        EXPECT_TRUE(client.accept_key('5'));
        EXPECT_FALSE(client.accept_key('x'));
        client.configure(kind);
        EXPECT_FALSE(client.take_key_code(code));
        // Keys wait in order, up to the queue's bound.
        for (std::size_t i = 0; i < CONS_CLNT::kMaxQueuedKeys; ++i)
            EXPECT_TRUE(client.accept_key(static_cast<char>('0' + i % 10)));
        EXPECT_FALSE(client.accept_key('1'));
        for (std::size_t i = 0; i < CONS_CLNT::kMaxQueuedKeys; ++i) {
            ASSERT_TRUE(client.take_key_code(code));
            EXPECT_EQ(code, static_cast<int32_t>(i % 10));
        }
        EXPECT_FALSE(client.take_key_code(code));
    }
}

} // namespace
} // namespace tgm::test
