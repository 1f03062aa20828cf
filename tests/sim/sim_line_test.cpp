// The line inside the program that the demo mode and the window tests use: a link runs over it
// as over a serial port, paced as the unit's line, and it keeps a port's rules.
#include "operations/tbvlink.h"
#include "ports/line_port.h"
#include "sim/sim_line.h"
#include "testing/tables.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tgm::test {
namespace {

constexpr int32_t kLinePort = 77;

std::unique_ptr<SimLine> line_with(char protocol, const char* firmware) {
    SimConfig config;
    config.protocol = protocol;
    config.firmware = firmware;
    config.real_time = true;
    std::string error;
    std::unique_ptr<SimLine> line = SimLine::serve_on_port(config, kLinePort, error);
    EXPECT_TRUE(line) << error;
    return line;
}

bool run(TBVLink& link, int32_t operation) {
    link.operation = operation;
    link.resume();
    while (link.operation.load() != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return link.result;
}

TEST(SimLine, ALinkWritesAndReadsBackThroughItInEitherProtocol) {
    for (const char protocol : {'k', 'v'}) {
        const auto unit = line_with(protocol, protocol == 'k' ? "6362" : "10000");
        TBVLink link;
        link.port = kLinePort;
        link.allow_v = true;
        const GROUPTAB written = group({line(40), PARTAB(), line(30, 5, 7)});
        link.group = written;
        ASSERT_TRUE(run(link, TBVLink::kWrite)) << protocol << " " << link.error_text;
        link.group = GROUPTAB();
        ASSERT_TRUE(run(link, TBVLink::kRead)) << protocol << " " << link.error_text;
        EXPECT_TRUE(link.group.equals(written)) << protocol;
    }
}

TEST(SimLine, OneEndHoldsItAtATimeAndWhatNobodyHearsIsLost) {
    const auto unit = line_with('k', "6362");
    const std::shared_ptr<LinePort> first = make_line_port(kLinePort);
    const std::shared_ptr<LinePort> second = make_line_port(kLinePort);
    ASSERT_EQ(first->open_with(kLinePort, kKLine), OpenResult::ok);
    EXPECT_EQ(second->open_with(kLinePort, kKLine), OpenResult::unavailable);
    EXPECT_EQ(first->open_with(kLinePort, LineSetting{99, 2, 4, 0}), OpenResult::bad_setting);

    // The probe's first request: the unit answers once the byte has crossed the line.
    const uint8_t version = 0x10;
    ASSERT_EQ(first->write(&version, 1), 1);
    first->drain_output();
    first->set_read_timeout(200);
    ReadResult status = ReadResult::failed;
    (void)first->read_byte(status);
    EXPECT_EQ(status, ReadResult::byte);

    // Asked again and closed before the answer: the next end hears nothing of it.
    ASSERT_EQ(first->write(&version, 1), 1);
    first->drain_output();
    first->close();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(second->open_with(kLinePort, kKLine), OpenResult::ok);
    second->set_read_timeout(50);
    (void)second->read_byte(status);
    EXPECT_EQ(status, ReadResult::timed_out);

    // A cancel ends a long wait at once, as on a real port.
    std::atomic<bool> cancel{false};
    second->set_cancel_flag(&cancel);
    second->set_read_timeout(60'000);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel = true;
    });
    (void)second->read_byte(status);
    canceller.join();
    EXPECT_EQ(status, ReadResult::failed);
}

} // namespace
} // namespace tgm::test
