// Table operations end to end: the link thread against the simulated unit over a
// pseudo-terminal, on a clock that moves only when the link sleeps.
#include "encoding/byte_order.h"
#include "encoding/directory_record.h"
#include "k_protocol/kdrt.h"
#include "operations/tbvlink.h"
#include "operations/version_table.h"
#include "ports/clock.h"
#include "ports/pci.h"
#include "support/cp1251.h"
#include "testing/manual_clock.h"
#include "testing/scripted_port.h"
#include "testing/served_unit.h"
#include "testing/tables.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tgm::test {
namespace {

// The link as the main window sets it up.
struct Link : TBVLink {
    explicit Link(int32_t unit_port, bool traffic = false) {
        port = unit_port;
        allow_v = true;
        log_traffic = traffic;
    }
    // Starts an operation and waits for the thread to finish it, as the progress dialog does.
    bool run(int32_t op) {
        operation = op;
        resume();
        while (operation.load() != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return result;
    }
};

std::string text(const char* utf8) { return cp(utf8); }

// Two distinct tables over four channels: a repeat and a gap.
GROUPTAB four_channels() { return group({line(40), PARTAB(), line(40), line(30, 5, 7)}); }

// A table that fails the second-difference test but fits first differences.
PARTAB zigzag(int32_t n) {
    PARTAB t(n);
    for (int32_t i = 0; i < n; ++i)
        t.point(i) = i % 2 == 0 ? 0 : 1000;
    return t;
}

std::vector<uint8_t> record_with(int16_t type, int16_t table, uint16_t method, uint16_t points) {
    std::vector<uint8_t> record(DirectoryRecord::kSize, 0);
    le::put16(record.data(), type);
    le::put16(record.data() + 2, table);
    le::put16(record.data() + 4, method);
    le::put16(record.data() + 6, points);
    return record;
}

struct Generation {
    char protocol;
    const char* firmware;
    uint16_t handshake;
    int32_t types; // -1: the generation's own
    const char* version_text;
    int32_t version_code;
};

class EveryGeneration : public ::testing::TestWithParam<Generation> {
protected:
    ManualClock clock;
};

// Write, read, clear and read again: every byte the unit keeps for itself comes back as it
// was, the tables come back as written, and the newer units get the finishing command.
TEST_P(EveryGeneration, WriteReadClearRead) {
    const Generation& g = GetParam();
    SimConfig config = unit_config(g.protocol, g.firmware);
    config.handshake = g.handshake;
    config.type_count = g.types;
    ServedUnit unit(config);
    const SimPersona& persona = unit.sim().persona();
    const std::vector<uint8_t> fresh_header = unit.flash().header();
    Link link(unit.port(), true);

    link.group = four_channels();
    ASSERT_TRUE(link.run(TBVLink::kWrite)) << link.error_text << link.trace_text;
    EXPECT_EQ(link.error_text, "OK");
    EXPECT_EQ(link.version_text, g.version_text);
    EXPECT_EQ(link.version_code, g.version_code);
    const std::string token = g.protocol == 'v'     ? " v-" + link.version_text + " svv"
                              : g.version_code == 4 ? std::string(" sv-621a ")
                                                    : " v-" + link.version_text;
    EXPECT_EQ(link.trace_text.rfind(" write" + token, 0), 0u) << link.trace_text;
    if (g.protocol == 'k') {
        const std::string finish =
            g.handshake == 0x1234 ? "#0 >e  <0 34 12 26 " : "#0 >e  <0 77 55 22 ";
        EXPECT_EQ(link.chan_log.find(finish) != std::string::npos, g.version_code >= 10)
            << link.chan_log;
    }
    if (persona.header_size > 0) {
        const std::vector<uint8_t> header = unit.flash().header();
        ASSERT_EQ(header.size(), fresh_header.size());
        const int32_t flags_end = persona.word_flags ? 34 : 18;
        for (int32_t i = 0; i < persona.header_size; ++i) {
            const bool record = i >= persona.record_offset && i < persona.record_offset + 96;
            const bool flag = i >= 2 && i < flags_end && (!persona.word_flags || i % 2 == 0);
            const std::size_t at = static_cast<std::size_t>(i);
            if (flag) {
                const int32_t channel = persona.word_flags ? (i - 2) / 2 : i - 2;
                const bool has_table = channel == 0 || channel == 2 || channel == 3;
                EXPECT_EQ(header[at], (fresh_header[at] & ~0x04) | (has_table ? 0x04 : 0)) << i;
            } else if (!record) {
                EXPECT_EQ(header[at], fresh_header[at]) << i;
            }
        }
        EXPECT_EQ(le::get16s(header.data() + persona.record_offset + 12),
                  1); // channel 3 shares table 1
        EXPECT_EQ(le::get16u(header.data() + persona.record_offset + 22), 30);
    }

    link.group = GROUPTAB();
    ASSERT_TRUE(link.run(TBVLink::kRead)) << link.error_text << link.trace_text;
    EXPECT_TRUE(link.group.equals(four_channels()));
    EXPECT_EQ(link.group.item(1).count(), 0);

    ASSERT_TRUE(link.run(TBVLink::kClear)) << link.error_text;
    if (persona.header_size > 0)
        EXPECT_EQ(unit.flash().header(), fresh_header);
    else
        EXPECT_EQ(unit.flash().record(), std::vector<uint8_t>(DirectoryRecord::kSize, 0));
    if (g.protocol == 'k') {
        const std::string finish =
            g.handshake == 0x1234 ? "#0 >e  <0 34 12 26 " : "#0 >e  <0 77 55 22 ";
        EXPECT_EQ(link.chan_log.find(finish) != std::string::npos, g.version_code >= 10);
    }

    ASSERT_TRUE(link.run(TBVLink::kRead));
    EXPECT_EQ(link.group.count(), 0);
    EXPECT_EQ(link.trace_text.substr(link.trace_text.size() - 6), " empty");
}

INSTANTIATE_TEST_SUITE_P(
    Units, EveryGeneration,
    ::testing::Values(Generation{'k', "621", 0x1234, -1, "621", 4},
                      Generation{'k', "6380", 0x5577, -1, "6320", 6},
                      Generation{'k', "6341", 0x1234, -1, "6341", 9},
                      Generation{'k', "6343", 0x5577, -1, "6343", 11},
                      Generation{'k', "6364", 0x1234, -1, "6364", 16},
                      Generation{'k', "7411", 0x5577, -1, "7411", 23},
                      Generation{'k', "8433", 0x1234, -1, "8433", 27},
                      Generation{'k', "8510", 0x5577, -1, "8510", 26},
                      Generation{'k', "8520", 0x1234, -1, "8520", 28},
                      Generation{'k', "9500", 0x5577, -1, "9500", 29},
                      Generation{'k', "9610", 0x1234, -1, "9610", 30},
                      Generation{'k', "9620", 0x5577, -1, "9620", 32},
                      Generation{'k', "9700", 0x1234, -1, "9700", 33},
                      Generation{'k', "1000", 0x5577, -1, "1000", 34},  // type 3, per table
                      Generation{'k', "10000", 0x1234, 2, "10000", 34}, // type 0, whole image
                      Generation{'v', "9600", 0x1234, -1, "F9600", 33}, // type 3
                      Generation{'v', "10000", 0x1234, 1, "F10000", 33}),
    [](const auto& info) {
        return std::string(1, info.param.protocol) + info.param.firmware + "_types" +
               std::to_string(info.param.types + 1);
    });

TEST(LinkRefusals, UnsupportedVersionsTransportModeSilenceAndABusyPort) {
    ManualClock clock;
    struct Case {
        const char* firmware;
        const char* version_text;
        int32_t code;
        const char* trace;
    };
    for (const Case& c :
         {Case{"5x0", "5x0", 0, " write sv-5X0 "}, Case{"5010", "5010", 1, " write v-5010"},
          Case{"7000", "7000", 35, " write v-7000"}}) {
        ServedUnit unit(unit_config('k', c.firmware));
        Link link(unit.port());
        link.group = four_channels();
        EXPECT_FALSE(link.run(TBVLink::kWrite)) << c.firmware;
        EXPECT_EQ(link.error_text, text("Ошибка. Версия БВ не поддерживается"));
        EXPECT_EQ(link.version_text, c.version_text);
        EXPECT_EQ(link.version_code, c.code);
        EXPECT_EQ(link.trace_text, c.trace);
        EXPECT_TRUE(unit.flash().image().empty());
    }
    for (int32_t speed : {9600, 19200}) {
        SimConfig config = unit_config('v', "9600");
        config.transport = speed;
        ServedUnit unit(config);
        Link link(unit.port());
        EXPECT_FALSE(link.run(TBVLink::kRead));
        EXPECT_EQ(link.error_text, text("Ошибка. Система в транспортном режиме.")) << speed;
    }
    {
        ServedUnit unit(unit_config('v', "9600"));
        Link link(unit.port());
        link.allow_v = false;
        EXPECT_FALSE(link.run(TBVLink::kRead));
        EXPECT_EQ(link.error_text, text("Ошибка связи"));
    }
    {
        SimConfig config = unit_config('k', "9610");
        config.faults.silent = true;
        ServedUnit unit(config);
        Link link(unit.port(), true);
        EXPECT_FALSE(link.run(TBVLink::kRead));
        EXPECT_EQ(link.error_text, text("Ошибка связи"));
        EXPECT_EQ(link.version_code, -1);
        // The K probe, then normal framing and addressed framing at both speeds.
        EXPECT_EQ(link.trace_text, " read #0 >10  <#0 >15  <#0 >0 0 0 0 4 6 0 0 0 fb b8  <"
                                   "#0 >0 0 0 0 4 6 0 0 0 fb b8  <");
    }
    {
        ServedUnit unit(unit_config('k', "9610"));
        PCI holder; // another program has the port
        ASSERT_EQ(holder.open_with(unit.port(), kKLine), OpenResult::ok);
        Link link(unit.port(), true);
        EXPECT_FALSE(link.run(TBVLink::kRead));
        EXPECT_EQ(link.error_text, text("Порт занят"));
        EXPECT_EQ(link.chan_log, "");
        EXPECT_EQ(link.trace_text, " read ");
        EXPECT_EQ(unit.sim().bytes_received(), 0);
        Link nowhere(-1);
        EXPECT_FALSE(nowhere.run(TBVLink::kRead));
        EXPECT_EQ(nowhere.error_text, text("Порт занят"));
    }
}

TEST(LinkFlashAndTypes, SpaceLimitsTypeRetryAndRefusedCommandEight) {
    ManualClock clock;
    const auto write = [](SimConfig config, const GROUPTAB& tables, std::string* trace = nullptr) {
        ServedUnit unit(config);
        Link link(unit.port());
        link.group = tables;
        link.run(TBVLink::kWrite);
        if (trace != nullptr)
            *trace = link.trace_text;
        return link.error_text;
    };
    const std::string ok = "OK", no_flash = text("Ошибка. Недостаточно флэш-памяти БВ!"),
                      packing = text("Ошибка сжатия таблиц"),
                      unsupported = text("Ошибка. Версия БВ не поддерживается");
    // A 621 unit keeps 962 bytes for its header and reserve: 50000 bytes need 50962.
    SimConfig unit621 = unit_config('k', "621");
    unit621.flash_size = 50900;
    std::string trace;
    EXPECT_EQ(write(unit621, group({line(49998)}), &trace), no_flash);
    EXPECT_EQ(trace, " write sv-621a  vt_0   48.8 kb:  ");
    unit621.flash_size = 50962;
    EXPECT_EQ(write(unit621, group({line(49998)})), ok);
    unit621.flash_size = 500; // less than the header and its reserve: never room
    EXPECT_EQ(write(unit621, group({line(10)})), no_flash);

    // Types 0 and 1 never above 32760 bytes, whatever the generation's space.
    EXPECT_EQ(write(unit_config('k', "9610"), group({line(39998)})), no_flash);
    SimConfig unit9616 = unit_config('k', "9616");
    unit9616.flash_size = 30000;
    EXPECT_EQ(write(unit9616, group({line(30998)})), no_flash);
    unit9616.flash_size = 31000;
    EXPECT_EQ(write(unit9616, group({line(30998)})), ok);

    // Tables that need first differences: type 1 only where the unit counts two types.
    const GROUPTAB zigzags = group({zigzag(50), line(20)});
    SimConfig unit960 = unit_config('k', "9610");
    {
        ServedUnit unit(unit960);
        Link link(unit.port());
        link.group = zigzags;
        ASSERT_TRUE(link.run(TBVLink::kWrite)) << link.error_text;
        EXPECT_EQ(unit.flash().record()[0], 1);
        EXPECT_EQ(link.trace_text, " write v-9610 vt_1   0.1 kb:   :  ");
        ASSERT_TRUE(link.run(TBVLink::kRead));
        EXPECT_TRUE(link.group.equals(zigzags));
    }
    unit960.type_count = 1;
    EXPECT_EQ(write(unit960, zigzags), packing);
    unit960.type_count = 0; // command 8 refused at the transfer: type 0 only
    EXPECT_EQ(write(unit960, zigzags), packing);
    unit960.type_count = -1;
    unit960.faults.status_at_start[8] = kCommandRejected; // refused before the handshake: the same
    EXPECT_EQ(write(unit960, zigzags), packing);
    EXPECT_EQ(write(unit960, group({line(20)})), ok);
    unit960.faults.status_at_start[8] = 4; // any other refusal is a failed exchange
    EXPECT_EQ(write(unit960, group({line(20)})), text("Ошибка связи"));

    SimConfig unit1000 = unit_config('k', "1000");
    unit1000.type_count = 0;
    EXPECT_EQ(write(unit1000, group({line(20)})), unsupported);
    unit1000.type_count = -1;
    unit1000.faults.status_at_start[8] = kCommandRejected;
    EXPECT_EQ(write(unit1000, group({line(20)})), unsupported);
    // Types 0 and 1 only, and a table that fits neither.
    PARTAB steep = line(10, 0, 40000);
    unit1000 = unit_config('k', "1000");
    unit1000.type_count = 3;
    EXPECT_EQ(write(unit1000, group({steep})), packing);
    unit1000.type_count = 5; // from a highest type of 4 on, raw points fit anything
    EXPECT_EQ(write(unit1000, group({steep})), ok);
    // A type-3 block above 65535 bytes cannot be announced.
    EXPECT_EQ(write(unit1000, group({line(16383, 0, 40000)})), no_flash);

    // V: 32761 bytes of type 0 are refused after the type count and before anything else.
    SimConfig v = unit_config('v', "9600");
    v.type_count = 2;
    {
        ServedUnit unit(v);
        Link link(unit.port());
        link.group = group({line(32759)});
        EXPECT_FALSE(link.run(TBVLink::kWrite));
        EXPECT_EQ(link.error_text, no_flash);
        EXPECT_EQ(unit.sim().polls(), 0);
        EXPECT_TRUE(unit.flash().image().empty());
        EXPECT_EQ(link.trace_text, " write v-F9600 svv");
    }
    v.type_count = -1;
    EXPECT_EQ(write(v, group({line(32759)})), ok);
}

TEST(LinkFlashAndTypes, APackingRefusalNamesTheChannelsThatFitNoFormTogether) {
    ManualClock clock;
    // Channel 1 passes the second-difference test only (its steps outgrow a 16-bit word),
    // channels 2 and 3 (one table, stored once) the first-difference test only, channel 4
    // both: a unit of types 0 and 1 stores each alone, but no one type holds them all.
    PARTAB widening(3);
    widening.point(0) = 0;
    widening.point(1) = 32767;
    widening.point(2) = 65661;
    ServedUnit unit(unit_config('k', "9610"));
    Link link(unit.port());
    link.group = group({widening, zigzag(50), zigzag(50), line(20)});
    EXPECT_FALSE(link.run(TBVLink::kWrite));
    EXPECT_EQ(link.error_text, text("Ошибка сжатия таблиц"));
    EXPECT_EQ(link.port_note, text("Каналы 1 (контроль «OK »), 2, 3 (контроль «OK*») по "
                                   "отдельности помещаются, но вместе — ни в один формат этой "
                                   "системы."));
    // The next operation's reason is its own: a read that succeeds has none.
    EXPECT_TRUE(link.run(TBVLink::kRead));
    EXPECT_EQ(link.port_note, "");
}

TEST(LinkRecordsAndStatuses, UnknownTypesFaultsAndDamagedAnswersLeaveTheGroup) {
    ManualClock clock;
    const GROUPTAB before = group({line(5), line(7)});
    // Reads a unit whose record is `record`; the group must be untouched on a failure.
    const auto read = [&](SimConfig config, const std::vector<uint8_t>& record) {
        ServedUnit unit(config);
        unit.flash().set_area(SimFlash::kRecord, record);
        Link link(unit.port());
        link.group = before;
        if (!link.run(TBVLink::kRead)) {
            EXPECT_TRUE(link.group.equals(before)) << link.error_text;
        }
        return link.error_text;
    };
    const std::string unknown = text("Неизвестный тип сжатия таблиц");
    EXPECT_EQ(read(unit_config('k', "1000"), record_with(5, 1, 0, 10)), unknown);
    EXPECT_EQ(read(unit_config('k', "1000"), record_with(3, 1, 7, 10)), unknown);
    EXPECT_EQ(read(unit_config('k', "1000"), record_with(2, 1, 0, 10)), unknown);
    EXPECT_EQ(read(unit_config('v', "9600"), record_with(2, 1, 0, 10)), unknown);
    EXPECT_EQ(read(unit_config('k', "9610"), record_with(2, 1, 0, 10)), unknown);
    EXPECT_EQ(read(unit_config('k', "1000"), record_with(2, 0, 0, 0)), "OK");
    EXPECT_EQ(read(unit_config('k', "9500"), std::vector<uint8_t>(98, 0xFF)), "OK"); // erased
    // A channel naming a table beyond the count is a damaged record, not a table.
    std::vector<uint8_t> damaged = record_with(0, 1, 0, 10);
    le::put16(damaged.data() + 8, 20);
    EXPECT_EQ(read(unit_config('k', "9500"), damaged), unknown);

    // A good record, then an answer that fails: the directory was read, the group stays.
    SimConfig corrupt = unit_config('k', "9610");
    corrupt.faults.corrupt_to = 3;
    DirectoryRecord stored;
    {
        ServedUnit good(unit_config('k', "9610"));
        Link link(good.port());
        link.group = four_channels();
        ASSERT_TRUE(link.run(TBVLink::kWrite));
        std::copy_n(good.flash().record().data(), DirectoryRecord::kSize, stored.bytes());
    }
    const std::vector<uint8_t> stored_record(stored.bytes(),
                                             stored.bytes() + DirectoryRecord::kSize);
    EXPECT_EQ(read(corrupt, stored_record), text("Ошибка связи"));
    SimConfig v_short = unit_config('v', "9600");
    v_short.faults.short_to = 18;
    EXPECT_EQ(read(v_short, stored_record), text("Ошибка связи"));
    v_short.faults.short_to = 33;
    EXPECT_EQ(read(v_short, stored_record), text("Ошибка связи"));
    {
        v_short.faults.short_to = 32; // no version: the operation goes on without it
        ServedUnit unit(v_short);
        Link link(unit.port());
        EXPECT_TRUE(link.run(TBVLink::kRead));
        EXPECT_EQ(link.version_text, "");
        EXPECT_EQ(link.version_code, kCode96XX);
        EXPECT_EQ(link.trace_text, " read svv empty");
    }

    // The unit's own verdicts.
    const auto write = [](SimConfig config) {
        ServedUnit unit(config);
        Link link(unit.port());
        link.group = group({line(20)});
        link.run(TBVLink::kWrite);
        return link.error_text;
    };
    SimConfig k = unit_config('k', "9610");
    k.faults.fault_status = 4;
    EXPECT_EQ(write(k), text("Неисправность БВ!"));
    k = unit_config('k', "6341");
    k.faults.status_to[3] = kFlashFault;
    EXPECT_EQ(write(k), text("Ошибка флэш-памяти БВ!"));
    SimConfig v = unit_config('v', "9600");
    v.faults.fault_word = 0x0100;
    EXPECT_EQ(write(v), text("Неисправность БВ!"));
    v = unit_config('v', "9600");
    v.faults.status_to[22] = kFlashFault;
    EXPECT_EQ(write(v), text("Ошибка флэш-памяти БВ!"));
    v.faults.status_to = {{24, kCommandRejected}};
    EXPECT_EQ(write(v), text("Ошибка. Версия БВ не поддерживается"));
}

TEST(LinkReadiness, FortySixPollsOfInitialisationOrReadyAfterTwenty) {
    ManualClock clock;
    const std::string waiting = text(" Ожидание завершения инициализации БВ:  ");
    {
        SimConfig config = unit_config('k', "9610");
        config.faults.init_polls = -1;
        ServedUnit unit(config);
        Link link(unit.port());
        link.group = group({line(20)});
        const uint32_t start = clock.now_ms();
        EXPECT_FALSE(link.run(TBVLink::kWrite));
        EXPECT_EQ(link.error_text, text("Ошибка. БВ в режиме инициализации"));
        EXPECT_EQ(unit.sim().polls(), 46);
        EXPECT_GE(clock.now_ms() - start, 46u * 500u);
        EXPECT_EQ(link.progress.load(), 100);
        EXPECT_EQ(link.trace_text, " write v-9610 vt_0   0 kb:  " + waiting + " :  ");
    }
    {
        SimConfig config = unit_config('v', "9600");
        config.faults.init_polls = -1;
        ServedUnit unit(config);
        Link link(unit.port());
        EXPECT_FALSE(link.run(TBVLink::kClear));
        EXPECT_EQ(link.error_text, text("Ошибка. БВ в режиме инициализации"));
        EXPECT_EQ(unit.sim().polls(), 47);
        EXPECT_EQ(link.trace_text, " clear v-F9600 svv" + waiting + " :  ");
    }
    for (char protocol : {'k', 'v'}) {
        SimConfig config = unit_config(protocol, protocol == 'k' ? "1000" : "9600");
        config.faults.init_polls = 20;
        ServedUnit unit(config);
        Link link(unit.port());
        link.group = four_channels();
        ASSERT_TRUE(link.run(TBVLink::kWrite)) << link.error_text;
        EXPECT_EQ(unit.sim().polls(), 21);
        EXPECT_NE(link.trace_text.find(waiting), std::string::npos);
        // Three blocks of type 3: 33, 66 and 99, in the K write as in the V read.
        link.group = group({line(10), line(11), line(12, 0, 3)});
        ASSERT_TRUE(link.run(TBVLink::kWrite));
        if (protocol == 'v') {
            ASSERT_TRUE(link.run(TBVLink::kRead));
        }
        EXPECT_EQ(link.progress.load(), 99);
    }
}

// The fault matrix runs a K write and a V read of a unit that never ends its initialisation
// through tgm-cli in real time; here every operation of either protocol gives up after the 46
// polls, with the tables it held and the unit's record untouched.
TEST(LinkReadiness, EveryOperationOfEitherProtocolGivesUpAfterFortySixPolls) {
    ManualClock clock;
    for (char protocol : {'k', 'v'}) {
        for (int32_t op : {TBVLink::kWrite, TBVLink::kRead, TBVLink::kClear}) {
            SimConfig config = unit_config(protocol, protocol == 'k' ? "9610" : "9600");
            config.faults.init_polls = -1;
            ServedUnit unit(config);
            Link link(unit.port());
            link.group = four_channels();
            EXPECT_FALSE(link.run(op));
            EXPECT_EQ(link.error_text, text("Ошибка. БВ в режиме инициализации")) << protocol << op;
            EXPECT_TRUE(link.group.equals(four_channels())) << protocol << op;
            EXPECT_EQ(unit.flash().record(), std::vector<uint8_t>(DirectoryRecord::kSize, 0));
            EXPECT_EQ(unit.sim().polls(), protocol == 'k' ? 46 : 47) << protocol << op;
        }
    }
}

TEST(LinkTrace, TrafficOnlyOnAFailureAndOnlyWhenAsked) {
    ManualClock clock;
    ServedUnit old_unit(unit_config('k', "5x0"));
    Link quiet(old_unit.port());
    EXPECT_FALSE(quiet.run(TBVLink::kRead));
    EXPECT_EQ(quiet.trace_text, " read sv-5X0 ");
    Link loud(old_unit.port(), true);
    EXPECT_FALSE(loud.run(TBVLink::kRead));
    // The probe, the abort that 5x0 units reject, the version they do not know.
    EXPECT_EQ(loud.trace_text, " read sv-5X0  #0 >10  <0 55 #0 >f  <c #0 >7  <c ");

    ServedUnit unit(unit_config('k', "9610"));
    Link link(unit.port(), true);
    ASSERT_TRUE(link.run(TBVLink::kRead));
    EXPECT_EQ(link.trace_text, " read v-9610 :   empty");
    EXPECT_EQ(link.chan_log.rfind("#0 >10  <0 55 #0 >f  <c #0 >7  <0 9 6 1 e ", 0), 0u)
        << link.chan_log;
}

TEST(LinkCancel, ACancelRightAfterResumeAndOneDuringALongWrite) {
    ServedUnit unit(unit_config('v', "9600"));
    {
        ManualClock clock;
        Link link(unit.port());
        link.group = four_channels();
        link.operation = TBVLink::kWrite;
        link.resume();
        link.cancel = true; // the thread has already cleared the old flag: this one holds
        while (link.operation.load() != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(link.result);
        EXPECT_TRUE(link.cancel.load());
        EXPECT_TRUE(unit.flash().record() == std::vector<uint8_t>(98, 0));
    }

    // Real time: the first table is written whole, then the line is given up mid-way.
    SimConfig config = unit_config('v', "9600");
    config.real_time = true;
    config.type_count = 1;
    ServedUnit slow(config);
    Link link(slow.port());
    link.group = group({line(12000), line(12000, 1, 3)});
    link.operation = TBVLink::kWrite;
    link.resume();
    // Inside the image's request: its stage is up and its progress has begun.
    while (link.operation.load() != 0 &&
           !(link.stage_text().rfind("vt_", 0) == 0 && link.progress.load() >= 20 &&
             link.progress.load() < 100))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_NE(link.operation.load(), 0);
    link.cancel = true;
    while (link.operation.load() != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(link.result);
    EXPECT_EQ(link.error_text, text("Ошибка связи"));
    EXPECT_EQ(slow.flash().record(), std::vector<uint8_t>(98, 0)); // the old directory stays
    EXPECT_TRUE(slow.flash().image().empty());
    PCI again; // and the port is free
    EXPECT_EQ(again.open_with(slow.port(), kKLine.at_speed(9)), OpenResult::ok);
}

// The pause between two K exchanges on the real clock: never a tick short of its 100 ms, as the
// unit measures it from the end of its answer to the next request, over a whole write and read.
// The one quiet an operation may cut short is the hand-over from the probe to the operation's
// own master, whose first exchange has no exchange of its own before it (on a slow machine it
// may take 100 ms by itself).
TEST(LinkPauses, EveryKPauseLastsItsFullHundredMilliseconds) {
    ServedUnit unit(unit_config('k', "6362"));
    Link link(unit.port());
    link.group = four_channels();
    ASSERT_TRUE(link.run(TBVLink::kWrite)) << cp1251_to_utf8(link.error_text);
    ASSERT_TRUE(link.run(TBVLink::kRead)) << cp1251_to_utf8(link.error_text);
    EXPECT_TRUE(link.group.equals(four_channels()));
    const std::vector<std::chrono::microseconds> quiets = unit.sim().quiets();
    std::vector<int64_t> short_ones;
    for (const std::chrono::microseconds q : quiets)
        if (q < std::chrono::milliseconds(KDRT::kGap))
            short_ones.push_back(q.count());
    EXPECT_GT(quiets.size(), 20u);
    EXPECT_LE(short_ones.size(), 2u) << ::testing::PrintToString(short_ones) << " µs";
}

// A read cancelled in the middle of the image: the unit goes on sending the rest of it, which
// the next operation must not take for the answer to its probe. It waits until the line is
// quiet, then reads as ever.
TEST(LinkCancel, TheNextReadWaitsOutTheRestOfACancelledAnswer) {
    TempDir dir;
    SimConfig config = unit_config('k', "6343");
    config.state_file = dir.file("unit.state");
    const GROUPTAB tables = group({line(2040, 0, 3)}); // an image of about 2 KiB, 2.4 s paced
    {
        ManualClock clock;
        ServedUnit fast(config);
        Link link(fast.port());
        link.group = tables;
        ASSERT_TRUE(link.run(TBVLink::kWrite)) << link.error_text;
    }
    config.real_time = true;
    ServedUnit slow(config);
    ManualClock clock;
    Link link(slow.port());
    link.operation = TBVLink::kRead;
    link.resume();
    // A fifth of the image in: most of it is still to come.
    while (link.operation.load() != 0 && link.progress.load() < 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_NE(link.operation.load(), 0);
    link.cancel = true;
    while (link.operation.load() != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_FALSE(link.result);

    ASSERT_TRUE(link.run(TBVLink::kRead)) << cp1251_to_utf8(link.error_text + " " + link.port_note);
    EXPECT_TRUE(link.group.equals(tables));
}

// A line that never goes quiet: the wait ends after the longest answer a unit can give, the
// operation fails saying why, and not one byte has gone out.
TEST(LinkCancel, ALineThatNeverGoesQuietFailsWithItsReason) {
    struct Chatter : LinePort {
        OpenResult open_with(int32_t, LineSetting) override { return OpenResult::ok; }
        void close() override {}
        bool is_open() const override { return true; }
        void set_read_timeout(uint32_t) override {}
        uint8_t read_byte(ReadResult& status) override {
            link_clock().sleep_ms(1); // a byte's line time, about
            status = ReadResult::byte;
            return 0x55;
        }
        int32_t write(const uint8_t*, int32_t count) override {
            written += count;
            return count;
        }
        void purge_input() override {}
        int64_t written = 0;
    };
    ManualClock clock;
    const auto line = std::make_shared<Chatter>();
    PortOnEveryNumber on_line(line);
    Link link(0);
    EXPECT_FALSE(link.run(TBVLink::kRead));
    EXPECT_EQ(link.error_text, text("Ошибка связи"));
    EXPECT_EQ(cp1251_to_utf8(link.port_note).rfind("Линия не затихает: на порту ", 0), 0u)
        << cp1251_to_utf8(link.port_note);
    EXPECT_EQ(line->written, 0);
}

} // namespace
} // namespace tgm::test
