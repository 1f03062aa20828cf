#include "fault_matrix.h"

#include "encoding/byte_order.h"
#include "operations/drivers/klink.h"
#include "operations/vlink.h"
#include "ports/pci.h"
#include "ports/port_names.h"
#include "testing/conversation.h"
#include "testing/engine_port.h"
#include "testing/files.h"
#include "testing/manual_clock.h"
#include "testing/pty_pair.h"
#include "testing/run_program.h"
#include "testing/sim_program.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace tgm::test {
namespace {

constexpr unsigned kWriteOnly = 1u << kFaultWrite;
constexpr unsigned kEvery = (1u << kFaultOperations) - 1;
const char* const kOperationNames[kFaultOperations] = {"write", "read", "clear", "compare"};

const char* const kLinkFailure = "Ошибка связи";

constexpr unsigned kWriteAndClear = 1u << kFaultWrite | 1u << kFaultClear;

// Form files of the test's own: a table that needs first differences, one that rises too
// steeply for any compression of a unit that takes three types, and one whose image of types
// 0 and 1 is beyond what any unit takes.
const char* const kZigzag = "zigzag.fs2";
const char* const kSteep = "steep.fs2";
const char* const kHuge = "huge.fs2";

std::string form_file(const std::string& dir, const char* name) {
    if (std::string(name) == kZigzag) {
        std::string text = "# zigzag\r\n";
        for (int i = 0; i < 50; ++i)
            text += i % 2 == 0 ? "0\r\n" : "1000\r\n";
        write_file(dir + "/" + name, text);
    } else if (std::string(name) == kSteep) {
        std::string text = "# steep\r\n";
        for (int i = 0; i < 10; ++i)
            text += std::to_string(i * 40000) + "\r\n";
        write_file(dir + "/" + name, text);
    } else if (std::string(name) == kHuge) {
        std::string text = "# huge\r\n";
        for (int i = 0; i < 32759; ++i)
            text += std::to_string(i * 10) + "\r\n";
        write_file(dir + "/" + name, text);
    } else {
        return examples_dir() + "/" + name;
    }
    return dir + "/" + name;
}

// The unit's flash as the pair starts, kept in tgm-sim's state file: the example tables
// written through the link, or a directory record of compression type 5.
void prepare_state(const FaultRow& row, const std::string& path) {
    ManualClock clock;
    SimConfig config;
    config.protocol = row.protocol;
    config.firmware = row.firmware;
    const auto unit = make_engine(config);
    if (row.tables == UnitTables::unknown_type) {
        std::vector<uint8_t> record(98, 0);
        le::put16(record.data(), 5);
        le::put16(record.data() + 2, 1);
        le::put16(record.data() + 6, 10);
        unit->flash().set_area(SimFlash::kRecord, record);
    } else {
        const auto line = std::make_shared<EnginePort>(*unit);
        PortOnEveryNumber on_line(line);
        TBVLink link;
        link.group = example_group(0);
        link.operation = TBVLink::kWrite;
        // A unit without a driver keeps its fresh flash.
        (void)(row.protocol == 'v' ? RunVLink(link) : RunKLink(link));
        link.operation = 0;
    }
    ASSERT_TRUE(unit->flash().save(path));
}

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

// The status line's second panel: the operation's text.
std::string result_panel(const std::string& out) {
    const std::string line = first_line(out);
    const auto tab = line.find('\t');
    return tab == std::string::npos ? std::string()
                                    : line.substr(tab + 1, line.rfind('\t') - tab - 1);
}

// The line under the error of the rows whose failure has figures to show: the channels that
// fit no compression, the image against the room for it, the version the unit reported.
const char* expected_reason(const FaultRow& row) {
    const std::string name = row.name;
    const bool k = row.protocol == 'k';
    if (name == "Packing80")
        return k ? "Канал 1 (контроль «OK*») не помещается ни в один формат этой системы."
                 : "Канал 1 (контроль «OK**») не помещается ни в один формат этой системы.";
    if (name == "Version81")
        return k ? "БВ сообщил версию 1000, но не знает запроса типов сжатия таблиц (ответ 12)."
                 : "БВ сообщил версию F9600, но не знает запроса типов сжатия таблиц (ответ 12).";
    if (name == "NoDriver81")
        return "БВ сообщил версию 5x0: таблицы этой версии программа не читает и не пишет.";
    if (name == "Flash83")
        return k ? "Образ таблиц — 323 байта, а во флэш-памяти БВ для таблиц места 0 байт (всего "
                   "флэш-памяти 500 байт)."
                 : "Образ таблиц — 32761 байт, а во флэш-памяти БВ для таблиц места 32760 байт.";
    return nullptr;
}

std::vector<FaultRow> make_rows() {
    const char* const fault = "Неисправность БВ!";
    const char* const packing = "Ошибка сжатия таблиц";
    const char* const version = "Ошибка. Версия БВ не поддерживается";
    const char* const flash = "Ошибка. Недостаточно флэш-памяти БВ!";
    const char* const unknown = "Неизвестный тип сжатия таблиц";
    const char* const flash_fault = "Ошибка флэш-памяти БВ!";
    const char* const link = kLinkFailure;
    const char* const busy = "Порт занят";
    const char* const transport = "Ошибка. Система в транспортном режиме.";
    const char* const initialising = "Ошибка. БВ в режиме инициализации";
    const char* const rgs = "rgs50.fs31";
    const unsigned read_only = 1u << kFaultRead;
    const unsigned reads = read_only | 1u << kFaultCompare;
    using Args = std::vector<std::string>;
    const Args none;
    const auto status = [](const char* pair) { return Args{"--status", pair}; };
    // clang-format off
    std::vector<FaultRow> rows = {
        // The unit's fault: its state byte (K) or the fault word of its readiness (V).
        {"Fault4", fault, 'k', "6341", {"--fault-status", "4"}, {}, kEvery, 0, rgs},
        {"Fault4", fault, 'v', "9600", {"--fault-word", "256"}, {}, kEvery, 0, rgs},
        // Tables that fit no compression the unit takes.
        {"Packing80", packing, 'k', "9610", {"--types", "1"}, {}, kWriteOnly, 0, kZigzag},
        {"Packing80", packing, 'v', "9600", {"--types", "3"}, {}, kWriteOnly, 0, kSteep},
        // The unit does not know the question of its compression types.
        {"Version81", version, 'k', "1000", {"--types", "0"}, {}, kWriteOnly, 0, rgs},
        {"Version81", version, 'v', "9600", {"--types", "0"}, {}, kWriteOnly, 0, rgs},
        // No driver for the generation at all: every operation.
        {"NoDriver81", version, 'k', "5x0", {}, {}, kEvery, 0, rgs},
        // Too little flash: a 621 unit's own, or an image of type 0 or 1 beyond 32760 bytes.
        {"Flash83", flash, 'k', "621", {"--flash", "500"}, {}, kWriteOnly, 0, rgs},
        {"Flash83", flash, 'v', "9600", {"--types", "2"}, {}, kWriteOnly, 0, kHuge},
        // A record of an unknown compression type is read; writes and clears get the unit's 84.
        {"Unknown84", unknown, 'k', "1000", {}, {status("4:84"), none, status("4:84"), none},
         kEvery, kWriteOnly, rgs, UnitTables::unknown_type},
        {"Unknown84", unknown, 'v', "9600", {}, {status("18:84"), none, status("18:84"), none},
         kEvery, kWriteOnly, rgs, UnitTables::unknown_type},
        // The unit's flash fault, at the image (write) or at the header or record.
        {"FlashFault85", flash_fault, 'k', "6341", {},
         {status("3:85"), status("1:85"), status("1:85"), status("1:85")}, kEvery, 0, rgs},
        {"FlashFault85", flash_fault, 'v', "9600", {},
         {status("22:85"), status("18:85"), status("18:85"), status("18:85")}, kEvery, 0, rgs},
        // The line fails: silence, a damaged checksum or CRC, an answer cut short. The K write
        // fails at its record, after the image; a V unit has written its record (and image)
        // when the answer to it is damaged.
        {"Silence", link, 'k', "9610", {"--silent"}, {}, kEvery, 0, rgs},
        {"Silence", link, 'v', "9600", {"--silent"}, {}, kEvery, 0, rgs},
        {"Corruption", link, 'k', "9610", {"--corrupt-to", "4"}, {}, kEvery, kWriteOnly, rgs},
        {"Corruption", link, 'v', "9600", {"--corrupt-to", "18"}, {}, kEvery, kWriteAndClear, rgs},
        {"CutShort", link, 'k', "9610", {"--cut-to", "4:2"}, {}, kEvery, kWriteOnly, rgs},
        {"CutShort", link, 'v', "9600", {"--cut-to", "18:3"}, {}, kEvery, kWriteAndClear, rgs},
        // The line goes dead in the middle of a table's data, or a unit trickles its long
        // answer a byte a block: over in the protocol's time-outs, not in minutes.
        {"DeadLine", link, 'k', "6343", {"--cut-to", "3:5"}, {}, reads, 0, rgs},
        {"DeadLine", link, 'v', "9600", {"--cut-to", "22:5"}, {}, reads, 0, rgs},
        {"Trickle", link, 'v', "9600", {"--trickle-to", "22"}, {}, reads, 0, rgs},
        // Another program holds the line.
        {"PortBusy", busy, 'k', "9610", {}, {}, kEvery, 0, rgs, UnitTables::written, true},
        {"PortBusy", busy, 'v', "9600", {}, {}, kEvery, 0, rgs, UnitTables::written, true},
        // Transport mode is a V unit's only.
        {"Transport", transport, 'v', "9600", {"--transport", "9600"}, {}, kEvery, 0, rgs},
        // A unit that never ends its initialisation: once per protocol in real time; the
        // replaced clock covers the other operations (tests/link).
        {"Initialising254", initialising, 'k', "9610", {"--init-polls", "never"}, {}, kWriteOnly,
         0, rgs, UnitTables::written, false, true},
        {"Initialising254", initialising, 'v', "9600", {"--init-polls", "never"}, {}, read_only,
         0, rgs, UnitTables::written, false, true},
    };
    // clang-format on
    return rows;
}

} // namespace

const std::vector<FaultRow>& fault_rows() {
    static const std::vector<FaultRow> rows = make_rows();
    return rows;
}

std::vector<FaultPair> fault_pairs(bool slow) {
    std::vector<FaultPair> pairs;
    for (int32_t r = 0; r < static_cast<int32_t>(fault_rows().size()); ++r)
        for (int op = 0; op < kFaultOperations; ++op)
            if (fault_rows()[r].slow == slow && (fault_rows()[r].operations >> op & 1u) != 0)
                pairs.push_back({r, static_cast<FaultOperation>(op)});
    return pairs;
}

std::string fault_pair_name(const FaultPair& pair) {
    const FaultRow& row = fault_rows()[pair.row];
    return std::string(row.name) + "_" + static_cast<char>(row.protocol - 'a' + 'A') + "_" +
           kOperationNames[pair.operation];
}

void run_fault_pair(const FaultPair& pair) {
    const FaultRow& row = fault_rows()[pair.row];
    const FaultOperation op = pair.operation;
    TempDir dir;
    EnvGuard home("TGM_HOME", dir.path());
    const std::string state = dir.file("unit.state");
    prepare_state(row, state);
    const std::string state_before = read_file(state);

    std::vector<std::string> sim_args = {"--protocol", std::string(1, row.protocol),
                                         "--firmware", row.firmware,
                                         "--state",    state,
                                         "--link",     dir.file("unit")};
    sim_args.insert(sim_args.end(), row.switches.begin(), row.switches.end());
    sim_args.insert(sim_args.end(), row.per_operation[op].begin(), row.per_operation[op].end());
    SimProgram sim(sim_args);
    std::optional<PCI> holder;
    if (row.port_held) {
        holder.emplace();
        ASSERT_EQ(holder->open_with(port_of_path(dir.file("unit")), kKLine), OpenResult::ok);
    }

    // A failed read must not create its output, nor change one that is there: rows take turns.
    const std::string in =
        form_file(dir.path(), op == kFaultWrite ? row.write_file : "station_litres.fs2");
    const std::string in_before = read_file(in);
    const std::string out = dir.file("out.fs");
    const bool out_there = pair.row % 2 == 0;
    if (out_there)
        write_file(out, "the user's own file");
    std::vector<std::string> args = {"--port", dir.file("unit"), kOperationNames[op]};
    if (op == kFaultWrite || op == kFaultCompare)
        args.push_back(in);
    else if (op == kFaultRead)
        args.push_back(out);
    const RunResult r = run_program("tgm-cli", args);
    holder.reset();
    EXPECT_EQ(sim.stop(), 0);

    EXPECT_EQ(r.exit_code, 1) << r.out << r.err;
    EXPECT_EQ(result_panel(r.out), row.text) << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "only the status line: " << r.out;
    EXPECT_EQ(first_line(r.err), row.text) << r.err;
    // A probe that found no unit says what to check next, on the line under the error.
    if (std::string(row.name) == "Silence") {
        const std::string reason = first_line(r.err.substr(r.err.find('\n') + 1));
        EXPECT_EQ(reason.rfind("Нет ответа на порту /dev/pts/", 0), 0u) << reason;
        const std::string tail =
            " (ни K, ни V). Проверьте кабель, питание БВ и порт в «Параметры – Связь».";
        EXPECT_EQ(reason.substr(reason.size() - std::min(reason.size(), tail.size())), tail);
    }
    if (const char* reason = expected_reason(row)) {
        EXPECT_EQ(first_line(r.err.substr(r.err.find('\n') + 1)), reason) << r.err;
    }
    // What a write or delete says the unit may hold now: its tables unchanged where the change
    // was refused, or failed, before its first command that stores went out (the unit's fault
    // read first, a port or a probe that failed, transport mode, a unit never ready, the K
    // unit's flash fault at the state before a delete).
    if (op == kFaultWrite || op == kFaultClear) {
        const std::string name = row.name;
        const bool refused = name == "Packing80" || name == "Version81" || name == "NoDriver81" ||
                             name == "Flash83" || name == "Fault4" || name == "PortBusy" ||
                             name == "Silence" || name == "Transport" ||
                             name == "Initialising254" ||
                             (name == "FlashFault85" && row.protocol == 'k' && op == kFaultClear);
        const std::string last = r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1);
        EXPECT_EQ(last, refused ? "Таблицы в системе не изменены.\n"
                                : "Таблицы в системе могли остаться записанными не полностью.\n")
            << r.err;
    }
    EXPECT_EQ(read_file(in), in_before);
    if (out_there) {
        EXPECT_EQ(read_file(out), "the user's own file");
    } else {
        EXPECT_FALSE(file_exists(out));
    }
    if ((row.after_flash >> op & 1u) == 0) {
        EXPECT_EQ(read_file(state), state_before) << "the unit's flash changed";
    }
}

} // namespace tgm::test
