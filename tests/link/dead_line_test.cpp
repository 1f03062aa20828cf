// A line that goes dead in the middle of an answer, or a unit that trickles a long answer: the
// operation fails as any broken line does, and within the protocol's time-outs, not after
// 50 ms for every byte still missing. The link clock moves only by the waits, so the time an
// operation took is exactly what the tool waited.
#include "k_protocol/kdrt.h"
#include "operations/drivers/klink.h"
#include "operations/vlink.h"
#include "support/cp1251.h"
#include "testing/engine_port.h"
#include "testing/manual_clock.h"
#include "testing/scripted_port.h"
#include "testing/tables.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace tgm::test {
namespace {

// Sixteen tables whose image of first or second differences is about 32 KiB.
GROUPTAB large_group() {
    GROUPTAB g;
    for (int i = 0; i < 16; ++i)
        g.add_copy(line(2040, i, 3 + i % 4));
    return g;
}

struct Outcome {
    std::string error_text;
    uint32_t waited_ms = 0; // what the link clock moved
    bool ok = false;
};

Outcome run(const SimConfig& config, int32_t op, const GROUPTAB& group = GROUPTAB()) {
    ManualClock clock;
    const auto unit = make_engine(config);
    const auto line = std::make_shared<EnginePort>(*unit);
    PortOnEveryNumber on_line(line);
    TBVLink link;
    link.operation = op;
    link.group = group;
    const uint32_t start = clock.now_ms();
    Outcome r;
    r.ok = config.protocol == 'v' ? RunVLink(link) : RunKLink(link);
    r.waited_ms = clock.now_ms() - start;
    r.error_text = cp1251_to_utf8(link.error_text);
    link.operation = 0;
    return r;
}

struct DeadCase {
    const char* name;
    char protocol;
    const char* firmware;
    std::function<void(SimFaults&)> fault;
    int32_t types = -1; // 2: the unit takes only the image of types 0 and 1
};

class DeadLine : public ::testing::TestWithParam<DeadCase> {};

// What any read may wait at most, whatever the unit: every exchange of a read of the example
// tables (the K sequence has about twenty, the V one fewer) its pause, its answer time-out
// and a byte time-out, with room to spare. Awaiting the rest of a 32 KiB image at 50 ms a
// byte would take 27 minutes.
constexpr uint32_t kReadBound = 40 * (KDRT::kGap + 500 + KDRT::kByteTimeout);

TEST_P(DeadLine, EndsWithTheLinkFailureWithinTheTimeouts) {
    const DeadCase& c = GetParam();
    TempDir dir;
    SimConfig config;
    config.protocol = c.protocol;
    config.firmware = c.firmware;
    config.state_file = dir.file("unit.state");
    config.type_count = c.types;
    const Outcome written = run(config, TBVLink::kWrite, large_group());
    ASSERT_TRUE(written.ok) << written.error_text;

    c.fault(config.faults);
    const Outcome r = run(config, TBVLink::kRead);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error_text, "Ошибка связи");
    EXPECT_LE(r.waited_ms, kReadBound);

    // The line is clean again for the next operation.
    config.faults = SimFaults();
    const Outcome again = run(config, TBVLink::kRead);
    EXPECT_TRUE(again.ok) << again.error_text;
}

INSTANTIATE_TEST_SUITE_P(
    Units, DeadLine,
    ::testing::Values(
        // The image read (code 3) stops after the status and four bytes.
        DeadCase{"K6343SilentInTheImage", 'k', "6343",
                 [](SimFaults& f) {
                     f.cut_to = 3;
                     f.cut_after = 5;
                 }},
        // A type-3 block read (request 22) stops after five bytes of a frame.
        DeadCase{"VSilentInABlock", 'v', "9600",
                 [](SimFaults& f) {
                     f.cut_to = 22;
                     f.cut_after = 5;
                 }},
        DeadCase{"VSilentInTheImage", 'v', "9600",
                 [](SimFaults& f) {
                     f.cut_to = 20;
                     f.cut_after = 5;
                 },
                 2},
        // The long answers come a byte a block.
        DeadCase{"VTricklingBlock", 'v', "9600", [](SimFaults& f) { f.trickle_to = 22; }},
        DeadCase{"VTricklingImage", 'v', "9600", [](SimFaults& f) { f.trickle_to = 20; }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tgm::test
