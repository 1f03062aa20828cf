// The simulated unit, spoken to through the real K and V masters over pseudo-terminals.
#include "k_protocol/kmaster.h"
#include "k_protocol/ukdr_drv.h"
#include "ports/link_codes.h"
#include "ports/port_names.h"
#include "sim/sim_pty.h"
#include "testing/files.h"
#include "testing/pty_pair.h"
#include "testing/sim_program.h"
#include "testing/temp_dir.h"
#include "v_protocol/vmaster.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <initializer_list>
#include <new>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tgm::test {
namespace {

std::unique_ptr<SimPty> start_unit(const SimConfig& config) {
    std::string error;
    auto unit = make_sim_unit(config, error);
    EXPECT_TRUE(unit) << error;
    if (!unit)
        return nullptr;
    auto pty = std::make_unique<SimPty>(std::move(unit));
    EXPECT_TRUE(pty->open(error)) << error;
    pty->start();
    return pty;
}

SimConfig k_config(const char* firmware) {
    SimConfig config;
    config.firmware = firmware;
    return config;
}

SimConfig v_config(const char* firmware) {
    SimConfig config = k_config(firmware);
    config.protocol = 'v';
    return config;
}

// (Re)opens a V master on the unit's line with a framing and a speed index.
bool open_v(VMASTER& master, const SimPty& pty, int framing, int32_t speed_index) {
    master.set_framing(framing, speed_index, 0);
    return master.open(pty.port(), 200);
}

Bytes reply_bytes(KMASTER& master, int32_t count) {
    return Bytes(master.reply().bytes(), master.reply().bytes() + count);
}

Bytes guarded_read(KMASTER& master, uint8_t code, int32_t count) {
    EXPECT_TRUE(master.guarded_exchange(code, 0, nullptr, count, KDRT::kRead)) << int(code);
    EXPECT_EQ(master.status(), 0u);
    return reply_bytes(master, count);
}

// What a generation answers when asked its version.
enum class Answer { version, no_version_command, abort_accepted };

struct Personality {
    const char* firmware;
    Answer answer;
    int32_t version;
    int32_t header; // H, or 0 for a directory-record unit
    int32_t records;
    bool words;
};

class KPersonality : public ::testing::TestWithParam<Personality> {};

TEST_P(KPersonality, VersionHeaderOrRecordAndWriteBack) {
    const Personality& p = GetParam();
    auto pty = start_unit(k_config(p.firmware));
    ASSERT_TRUE(pty);
    KMASTER master;
    ASSERT_TRUE(master.open(pty->port(), 300));

    ASSERT_TRUE(k_command(master, 15));
    if (p.answer == Answer::abort_accepted) {
        EXPECT_EQ(master.status(), 0u);
        ASSERT_TRUE(k_command(master, 14)); // a simple command for this unit
        EXPECT_EQ(master.status(), 0u);
    } else {
        EXPECT_EQ(master.status(), kCommandRejected);
        bool has = false;
        int32_t version = -1;
        ASSERT_TRUE(k_version(master, has, version));
        EXPECT_EQ(has, p.answer == Answer::version);
        if (has) {
            EXPECT_EQ(version, p.version);
        }
    }

    if (p.header > 0) {
        Bytes header = guarded_read(master, 1, p.header);
        auto flag = [&](int k) -> uint8_t& {
            return header[static_cast<std::size_t>(2 + (p.words ? 2 * k : k))];
        };
        for (int32_t i = 0; i < p.header; ++i) {
            const bool in_records = i >= p.records && i < p.records + 96;
            const bool in_flags = i >= 2 && i < (p.words ? 34 : 18);
            if (in_records) {
                EXPECT_EQ(header[static_cast<std::size_t>(i)], 0) << i;
            } else if (!in_flags) {
                EXPECT_EQ(header[static_cast<std::size_t>(i)], SimFlash::filler(i)) << i;
            }
        }
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(flag(k) & 0x04, 0) << k;
        // One table on channel 1: its flag bit and its record.
        flag(0) |= 0x04;
        header[static_cast<std::size_t>(p.records)] = 1;
        header[static_cast<std::size_t>(p.records + 4)] = 200;
        ASSERT_TRUE(master.guarded_exchange(1, 0, header.data(), p.header, KDRT::kWrite));
        EXPECT_EQ(master.status(), 0u);
        EXPECT_EQ(guarded_read(master, 1, p.header), header);
    } else {
        EXPECT_EQ(guarded_read(master, 4, 98), Bytes(98, 0));
        Bytes record(98, 0);
        record[2] = 1;
        record[6] = 0x2C;
        record[7] = 0x01;
        ASSERT_TRUE(master.guarded_exchange(4, 0, record.data(), 98, KDRT::kWrite));
        EXPECT_EQ(guarded_read(master, 4, 98), record);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryGeneration, KPersonality,
    ::testing::Values(Personality{"621", Answer::abort_accepted, 0, 274, 178, false},
                      Personality{"5x0", Answer::no_version_command, 0, 274, 178, false},
                      Personality{"6210", Answer::version, 6210, 274, 178, false},
                      Personality{"6380", Answer::version, 6320, 774, 322, true},
                      Personality{"6341", Answer::version, 6341, 808, 356, true},
                      Personality{"7350", Answer::version, 7350, 822, 358, true},
                      Personality{"6364", Answer::version, 6364, 862, 486, true},
                      Personality{"7411", Answer::version, 7411, 1310, 934, true},
                      Personality{"8433", Answer::version, 8433, 2070, 1622, true},
                      Personality{"8510", Answer::version, 8510, 750, 422, true},
                      Personality{"8520", Answer::version, 8520, 976, 646, true},
                      Personality{"9500", Answer::version, 9500, 0, 0, false},
                      Personality{"9610", Answer::version, 9610, 0, 0, false},
                      Personality{"9620", Answer::version, 9620, 0, 0, false},
                      Personality{"9616", Answer::version, 9616, 0, 0, false},
                      Personality{"1000", Answer::version, 1000, 0, 0, false}),
    [](const auto& info) { return std::string("fw_") + info.param.firmware; });

TEST(SimUnitK, EchoHandshakeFlashSizeTypesAndConsole) {
    SimConfig config = k_config("9616");
    config.handshake = 0x5577;
    auto pty = start_unit(config);
    ASSERT_TRUE(pty);
    KMASTER master;
    ASSERT_TRUE(master.open(pty->port(), 300));
    EXPECT_EQ(guarded_read(master, 2, 4), (Bytes{0x00, 0x00, 0x01, 0x00})); // 65536, 32-bit
    EXPECT_EQ(guarded_read(master, 8, 2), (Bytes{2, 0}));
    // A command that does not continue a guarded sequence abandons it.
    ASSERT_TRUE(master.exchange_new(3, 0, nullptr, 2, KDRT::kRead));
    uint8_t presence = 0;
    ASSERT_TRUE(k_read(master, 16, 0, &presence, 1));
    EXPECT_EQ(presence, 0x55);
    // Per-table blocks of the newest layout.
    const Bytes block(40, 0x39);
    ASSERT_TRUE(master.guarded_exchange(0x90, 2, block.data(), 40, KDRT::kWrite));
    EXPECT_EQ(guarded_read(master, 0x92, 40), block);
    EXPECT_EQ(pty->unit().flash().area(2), block);
    EXPECT_TRUE(k_guarded_command(master, 14));
    EXPECT_TRUE(k_console_command(master));
    EXPECT_TRUE(pty->unit().console().switched_on());
    // Key 1 opens the menu's first item, where the digit 5 is entered on the second row.
    ASSERT_TRUE(k_console_read_e0(master, 33, 1));
    ASSERT_TRUE(k_console_read_e0(master, 33, 5));
    EXPECT_EQ(master.status(), 0u);
    ASSERT_TRUE(k_console_read_f0(master, 33));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(master.reply().bytes()) + 17, 4), "> 5_");

    // A 853 unit has no command 8: the transfer answers 12.
    auto old = start_unit(k_config("8530"));
    KMASTER second;
    ASSERT_TRUE(second.open(old->port(), 300));
    ASSERT_TRUE(second.guarded_exchange(8, 0, nullptr, 2, KDRT::kRead));
    EXPECT_EQ(second.status(), kCommandRejected);
    ASSERT_TRUE(k_console_read_f0(second, 33));
    EXPECT_TRUE(second.guarded_exchange(2, 0, nullptr, 2, KDRT::kRead));
    EXPECT_EQ(reply_bytes(second, 2), (Bytes{0xFF, 0xFF}));
}

TEST(SimUnitK, InitialisationAndFaults) {
    SimConfig config = k_config("9600");
    config.faults.init_polls = 2;
    config.faults.status_to[3] = kFlashFault;
    config.faults.silent_to = 7;
    auto pty = start_unit(config);
    ASSERT_TRUE(pty);
    KMASTER master;
    ASSERT_TRUE(master.open(pty->port(), 200));
    uint8_t states[3] = {};
    for (uint8_t& state : states)
        ASSERT_TRUE(k_read(master, 20, 0, &state, 1));
    EXPECT_EQ(states[0] & 0x40, 0);
    EXPECT_EQ(states[1] & 0x40, 0);
    EXPECT_EQ(states[2] & 0x40, 0x40);

    const Bytes image(300, 0x42);
    ASSERT_TRUE(master.guarded_exchange(3, 0, image.data(), 300, KDRT::kWrite));
    EXPECT_EQ(master.status(),
              static_cast<uint32_t>(kFlashFault)); // the unit's own verdict on the transfer
    EXPECT_TRUE(pty->unit().flash().image().empty());

    bool has = false;
    int32_t version = 0;
    EXPECT_FALSE(k_version(master, has, version)); // silence
    EXPECT_EQ(master.engine().result, KDRT::kStatusPhase + KDRT::kTimedOut);

    SimConfig broken = k_config("9600");
    broken.faults.init_polls = -1;
    broken.faults.corrupt = true;
    auto other = start_unit(broken);
    KMASTER second;
    ASSERT_TRUE(second.open(other->port(), 200));
    for (int i = 0; i < 3; ++i) {
        uint8_t state = 0xFF;
        ASSERT_TRUE(k_read(second, 20, 0, &state, 1));
        EXPECT_EQ(state & 0x40, 0);
    }
    EXPECT_FALSE(k_version(second, has, version));
    EXPECT_EQ(second.engine().result, KDRT::kReplyPhase + KDRT::kBadChecksum);

    SimConfig faulty = k_config("1000");
    faulty.faults.fault_status = 4;
    auto third = start_unit(faulty);
    KMASTER master3;
    ASSERT_TRUE(master3.open(third->port(), 200));
    uint8_t state = 0;
    ASSERT_TRUE(k_read(master3, 20, 0, &state, 1));
    EXPECT_EQ(master3.status(), static_cast<uint32_t>(kUnitFault));
}

TEST(SimUnitK, IgnoresALineAtAnotherSpeed) {
    auto pty = start_unit(k_config("6341"));
    ASSERT_TRUE(pty);
    VMASTER v;
    ASSERT_TRUE(open_v(v, *pty, VMASTER::kNormalFraming, 9));
    EXPECT_FALSE(v.request(0, 0, 0, nullptr, 0));
    EXPECT_EQ(v.status(), 3);
    v.close();
    // At its own speed it answers; a 6341 console is the twelve-digit one.
    KMASTER k;
    ASSERT_TRUE(k.open(pty->port(), 200));
    ASSERT_TRUE(k_console_read_f0(k, 13));
    EXPECT_EQ(k.status(), 0u);
    EXPECT_EQ(k.reply().bytes()[1], 0x7B); // "6" in seven segments
}

Bytes answer_bytes(const VMASTER& master) {
    return Bytes(master.answer_data().bytes(),
                 master.answer_data().bytes() + master.answer_data().size());
}

TEST(SimUnitV, VersionRecordImageAndBlocks) {
    auto pty = start_unit(v_config("10000"));
    ASSERT_TRUE(pty);
    VMASTER master;
    ASSERT_TRUE(open_v(master, *pty, VMASTER::kNormalFraming, 9));

    ASSERT_TRUE(master.request(32, 0, 0, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), (Bytes{10, 0, 0}));
    ASSERT_TRUE(master.request(33, 0, 0, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), (Bytes{0x20, 0, 0, 0}));
    ASSERT_TRUE(master.request(24, 0, 1, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), (Bytes{4, 0}));

    ASSERT_TRUE(master.request(18, 0, 1, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), Bytes(98, 0));
    Bytes record(98, 0);
    record[0] = 3;
    record[2] = 1;
    ASSERT_TRUE(master.request(18, 0, 2, record.data(), 98));
    EXPECT_EQ(master.result_code(), 0);
    ASSERT_TRUE(master.request(18, 0, 1, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), record);

    Bytes image(700);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 13);
    ASSERT_TRUE(master.request(20, 0, 2, image.data(), 700)); // a long payload
    ASSERT_TRUE(master.request(20, 0, 1, nullptr, 0));        // a long answer
    EXPECT_EQ(answer_bytes(master), image);
    ASSERT_TRUE(master.request(22, 2, 2, image.data(), 130));
    ASSERT_TRUE(master.request(22, 2, 1, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), Bytes(image.begin(), image.begin() + 130));
    EXPECT_EQ(pty->unit().flash().area(2).size(), 130u);

    ASSERT_TRUE(master.request(23, 0xFF, 0, nullptr, 0));
    EXPECT_EQ(master.answer_data().size(), 33);
    ASSERT_TRUE(master.request(99, 0, 0, nullptr, 0));
    EXPECT_EQ(master.result_code(), static_cast<int32_t>(kCommandRejected));
}

TEST(SimUnitV, TransportModeAnswersOnlyAddressedFramingAtItsSpeed) {
    SimConfig config = v_config("9600");
    config.transport = 9600;
    config.faults.fault_word = 0x0102;
    auto pty = start_unit(config);
    ASSERT_TRUE(pty);
    VMASTER master;
    ASSERT_TRUE(open_v(master, *pty, VMASTER::kNormalFraming, 9));
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    ASSERT_TRUE(open_v(master, *pty, VMASTER::kAddressedFraming, 9));
    EXPECT_FALSE(master.request(0, 0, 0, nullptr, 0));
    ASSERT_TRUE(open_v(master, *pty, VMASTER::kAddressedFraming, 7));
    ASSERT_TRUE(master.request(0, 0, 0, nullptr, 0));
    ASSERT_TRUE(master.request(33, 0, 0, nullptr, 0));
    EXPECT_EQ(answer_bytes(master), (Bytes{0x20, 0, 0x02, 0x01}));

    config.faults.foreign_address = true;
    auto foreign = start_unit(config);
    VMASTER second;
    ASSERT_TRUE(open_v(second, *foreign, VMASTER::kAddressedFraming, 7));
    EXPECT_FALSE(second.request(0, 0, 0, nullptr, 0));
    EXPECT_EQ(second.status(), static_cast<uint32_t>(kLinkFailure));
}

TEST(SimUnitV, ResultCodesAndCorruptCrc) {
    SimConfig config = v_config("9600");
    config.type_count = 0;
    config.faults.status_to[20] = kFlashFault;
    config.faults.corrupt_to = 32;
    auto pty = start_unit(config);
    ASSERT_TRUE(pty);
    VMASTER master;
    ASSERT_TRUE(open_v(master, *pty, VMASTER::kNormalFraming, 9));
    ASSERT_TRUE(master.request(24, 0, 1, nullptr, 0));
    EXPECT_EQ(master.result_code(), static_cast<int32_t>(kCommandRejected));
    const Bytes image(200, 1);
    ASSERT_TRUE(master.request(20, 0, 2, image.data(), 200));
    EXPECT_EQ(master.result_code(), kFlashFault);
    EXPECT_TRUE(pty->unit().flash().image().empty());
    EXPECT_FALSE(master.request(32, 0, 0, nullptr, 0));
    EXPECT_EQ(master.status(), 2);
}

TEST(SimUnit, StateFileCarriesTheFlashToTheNextRun) {
    TempDir dir;
    SimConfig config = k_config("6341");
    config.state_file = dir.file("unit.state");
    Bytes header;
    {
        auto pty = start_unit(config);
        KMASTER master;
        ASSERT_TRUE(master.open(pty->port(), 300));
        header = guarded_read(master, 1, 808);
        header[358] = 1;
        const Bytes image(1500, 0x5A);
        ASSERT_TRUE(master.guarded_exchange(3, 0, image.data(), 1500, KDRT::kWrite));
        ASSERT_TRUE(master.guarded_exchange(1, 0, header.data(), 808, KDRT::kWrite));
    }
    auto pty = start_unit(config);
    EXPECT_EQ(pty->unit().flash().header(), header);
    EXPECT_EQ(pty->unit().flash().image(), Bytes(1500, 0x5A));

    write_file(dir.file("bad.state"), "TGMSIM1\n\xff\xff\xff\xff");
    config.state_file = dir.file("bad.state");
    std::string error;
    EXPECT_FALSE(make_sim_unit(config, error));
    EXPECT_NE(error.find("bad.state"), std::string::npos);
}

TEST(SimConfig, OptionsAndTheirMistakes) {
    // clang-format off
    const char* good[] = {"tgm-sim", "--protocol", "v", "--firmware", "9626", "--transport", "19200",
                          "--status", "20:85", "--init-polls", "never", "--silent-to", "0x33",
                          "--flash", "50900", "--real-time", "--cut-to", "4:50",
                          "--silent-after-image"};
    // clang-format on
    SimConfig config;
    std::string message;
    ASSERT_EQ(parse_sim_options(19, const_cast<char**>(good), config, message), 0) << message;
    EXPECT_EQ(config.faults.cut_to, 4);
    EXPECT_EQ(config.faults.cut_after, 50);
    EXPECT_TRUE(config.faults.silent_after_image);
    EXPECT_EQ(config.flash_size, 50900);
    EXPECT_TRUE(config.real_time);
    EXPECT_EQ(config.protocol, 'v');
    EXPECT_EQ(config.transport, 19200);
    EXPECT_EQ(config.faults.status_to.at(20), kFlashFault);
    EXPECT_EQ(config.faults.init_polls, -1);
    EXPECT_EQ(config.faults.silent_to, 0x33);

    const char* help[] = {"tgm-sim", "--help"};
    EXPECT_EQ(parse_sim_options(2, const_cast<char**>(help), config, message), 1);
    EXPECT_NE(message.find("--firmware"), std::string::npos);
    const char* bad[][3] = {{"tgm-sim", "--transport", "4800"}, {"tgm-sim", "--handshake", "1111"},
                            {"tgm-sim", "--status", "20"},      {"tgm-sim", "--cut-to", "4"},
                            {"tgm-sim", "--cut-to", "256:1"},   {"tgm-sim", "--firmware", nullptr},
                            {"tgm-sim", "--what", "x"}};
    for (const auto& args : bad) {
        SimConfig c;
        const int argc = args[2] == nullptr ? 2 : 3;
        EXPECT_EQ(parse_sim_options(argc, const_cast<char**>(args), c, message), 2) << args[1];
    }
    // The line under a refused value says what the option takes, as the usage text writes it.
    SimConfig refused;
    EXPECT_EQ(parse_sim_options(3, const_cast<char**>(bad[0]), refused, message), 2);
    EXPECT_EQ(message, "bad or missing value for --transport\ntakes --transport 9600|19200; given "
                       "\"4800\"");
    EXPECT_EQ(parse_sim_options(2, const_cast<char**>(bad[5]), refused, message), 2);
    EXPECT_EQ(message, "bad or missing value for --firmware\ntakes --firmware VERSION; no value "
                       "given");
    SimConfig k;
    const char* k_transport[] = {"tgm-sim", "--transport", "9600"};
    EXPECT_EQ(parse_sim_options(3, const_cast<char**>(k_transport), k, message), 2);

    for (const char* firmware : {"6305", "abc", "300000"}) {
        SimConfig c = k_config(firmware);
        EXPECT_FALSE(make_sim_unit(c, message)) << firmware;
    }
}

// tgm-sim itself: a write saved in one run is read back in the next.
TEST(SimProgramRun, ServesAVersionAndKeepsARecordAcrossRuns) {
    TempDir dir;
    const std::vector<std::string> args = {"--firmware",     "9600",    "--link",
                                           dir.file("unit"), "--state", dir.file("unit.state")};
    Bytes record(98, 0);
    record[2] = 1;
    record[6] = 100;
    {
        SimProgram sim(args);
        ASSERT_EQ(sim.line().rfind("/dev/pts/", 0), 0u) << sim.line();
        KMASTER master;
        ASSERT_TRUE(master.open(port_of_path(dir.file("unit")), 300));
        bool has = false;
        int32_t version = 0;
        ASSERT_TRUE(k_version(master, has, version));
        EXPECT_EQ(version, 9600);
        ASSERT_TRUE(master.guarded_exchange(4, 0, record.data(), 98, KDRT::kWrite));
        EXPECT_EQ(guarded_read(master, 4, 98), record);
        master.close();
        EXPECT_EQ(sim.stop(), 0);
    }
    EXPECT_FALSE(file_exists(dir.file("unit"))); // the link goes with the program
    SimProgram again(args);
    KMASTER master;
    ASSERT_TRUE(master.open(port_of_path(dir.file("unit")), 300));
    EXPECT_EQ(guarded_read(master, 4, 98), record);
}

// Holds processes still for a while, as a busy or paused machine may; they go on in the order
// given, 5 ms apart.
void hold(std::initializer_list<pid_t> held, std::chrono::milliseconds how_long) {
    for (const pid_t p : held)
        ::kill(p, SIGSTOP);
    std::this_thread::sleep_for(how_long);
    for (const pid_t p : held) {
        ::kill(p, SIGCONT);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Waits until a read's progress passes a fifth, or it has ended.
void wait_for_a_fifth(const std::atomic<int32_t>& progress, const std::atomic<bool>& ended) {
    for (int i = 0; i < 5000 && progress.load() < 20 && !ended.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// A machine that does not run tgm-sim in time makes a pause inside an answer that no real unit
// makes: the exchange fails on the tool's byte time-out, and tgm-sim says the failure is its own.
TEST(SimProgramRun, SaysWhenTheMachineHeldItUpInsideAnAnswer) {
    TempDir dir;
    SimProgram sim({"--firmware", "6343", "--real-time", "--link", dir.file("unit")},
                   dir.file("sim.err"));
    KMASTER master;
    ASSERT_TRUE(master.open(port_of_path(dir.file("unit")), 300));
    std::atomic<int32_t> progress{0};
    std::atomic<bool> ended{false};
    master.set_progress_cell(&progress);
    std::thread machine([&] {
        wait_for_a_fifth(progress, ended);
        if (!ended.load())
            hold({sim.pid()}, 4 * SimUnit::kByteTimeout); // 1200 bytes take 1.4 s
    });
    EXPECT_FALSE(master.guarded_exchange(3, 0, nullptr, 1200, KDRT::kRead));
    ended = true;
    machine.join();
    master.close();
    EXPECT_EQ(sim.stop(), 0);
    const std::string said = read_file(dir.file("sim.err"));
    EXPECT_NE(said.find("tgm-sim: this machine held the unit up "), std::string::npos) << said;
    EXPECT_NE(said.find(" of a 1202-byte answer; a tool gives up after 50 ms without a byte, so a "
                        "failure there is the simulation's, not the tool's\n"),
              std::string::npos)
        << said;
}

// A machine that holds the tool and the unit still together (a paused virtual machine) fails no
// exchange: the time the tool itself did not run is not the unit's silence, even when the tool
// goes on first and finds its byte time-out long past.
TEST(SimProgramRun, AnAnswerOutlivesAMachineThatHeldToolAndUnitTogether) {
    TempDir dir;
    SimProgram sim({"--firmware", "6343", "--real-time", "--link", dir.file("unit")});
    // The tool is a child process, so that it can be held; its progress is shared.
    void* shared = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* progress = new (shared) std::atomic<int32_t>(0);
    const pid_t tool = ::fork();
    ASSERT_GE(tool, 0);
    if (tool == 0) {
        KMASTER master;
        if (!master.open(port_of_path(dir.file("unit")), 300))
            ::_exit(2);
        master.set_progress_cell(progress);
        const bool read = master.guarded_exchange(3, 0, nullptr, 1200, KDRT::kRead);
        ::_exit(read && master.status() == 0 ? 0 : 1);
    }
    const std::atomic<bool> ended{false};
    wait_for_a_fifth(*progress, ended);
    hold({tool, sim.pid()}, 4 * SimUnit::kByteTimeout);
    int status = -1;
    ASSERT_EQ(::waitpid(tool, &status, 0), tool);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ::munmap(shared, 4096);
}

} // namespace
} // namespace tgm::test
