// The port layer: PCI, TIMER, the port number table, enumeration and `tgm-cli ports`.
#include "operations/tbvlink.h"
#include "ports/pci.h"
#include "ports/port_access.h"
#include "ports/port_listing.h"
#include "ports/port_names.h"
#include "ports/timer.h"
#include "ports/tportcollection.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/pty_pair.h"
#include "testing/run_program.h"
#include "testing/served_unit.h"
#include "testing/temp_dir.h"
#include "testing/unprivileged.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace tgm::test {
namespace {

TEST(Timer, RunsAcrossTheWrapOfTheTick) {
    const uint32_t real = tick_ms();
    set_tick_offset(0xFFFFFFFFu - 20u - real); // the tick now stands 20 ms before the wrap
    TIMER timer(50);
    EXPECT_LT(timer.deadline, 100u); // the deadline itself has wrapped
    EXPECT_FALSE(timer.expired());
    sleep_ms(60);
    EXPECT_TRUE(timer.expired());
    EXPECT_GE(timer.elapsed(), 50u);
    EXPECT_LT(timer.elapsed(), 1000000u); // no jump by a whole wrap
    set_tick_offset(0);
}

TEST(PortNames, NumbersNameFixedDevices) {
    EnvGuard dev("TGM_DEV_DIR", "/x");
    EXPECT_EQ(port_device_path(0), "/x/ttyS0");
    EXPECT_EQ(port_device_path(31), "/x/ttyS31");
    EXPECT_EQ(port_device_path(32), "/x/ttyUSB0");
    EXPECT_EQ(port_device_path(64), "/x/ttyACM0");
    EXPECT_EQ(port_device_path(95), "/x/ttyACM31");
    EXPECT_EQ(port_device_path(96), "");
    EXPECT_EQ(port_device_path(255), "");
    EXPECT_EQ(port_device_path(256 + 7), "/x/pts/7");
    EXPECT_EQ(port_device_path(-1), "");
}

TEST(PortNames, PathsMapBackThroughSymlinks) {
    TempDir dir;
    PtyPair pty;
    ASSERT_GE(pty.port(), 256); // without TGM_DEV_DIR the slave is /dev/pts/n
    ASSERT_EQ(::symlink(pty.path().c_str(), dir.file("unit").c_str()), 0);
    EXPECT_EQ(port_of_path(dir.file("unit")), pty.port());

    EnvGuard dev("TGM_DEV_DIR", dir.path());
    ASSERT_EQ(::symlink(pty.path().c_str(), dir.file("ttyUSB3").c_str()), 0);
    EXPECT_EQ(port_of_path(dir.file("unit")), 35); // the table's own name wins
    write_file(dir.file("plain"), "x");
    EXPECT_EQ(port_of_path(dir.file("plain")), -1);
    EXPECT_EQ(port_of_path(dir.file("missing")), -1);
    EXPECT_EQ(port_of_argument("35"), 35);
    EXPECT_EQ(port_of_argument("100"), -1);
    EXPECT_EQ(port_of_argument(dir.file("unit")), 35);
    EXPECT_EQ(port_of_argument(dir.file("plain")), -1);
}

TEST(Pci, OpenFailuresGiveTheirCodes) {
    TempDir dir;
    EnvGuard dev("TGM_DEV_DIR", dir.path());
    PCI pci;
    EXPECT_EQ(pci.open_with(0, kKLine), OpenResult::unavailable); // no such device
    write_file(dir.file("ttyS1"), "not a terminal");
    EXPECT_EQ(pci.open_with(1, kKLine), OpenResult::unavailable);
    EXPECT_EQ(pci.open_with(-1, kKLine), OpenResult::negative_port);
    EXPECT_EQ(pci.open_with(0, {14, 2, 4, 0}), OpenResult::bad_setting); // no speed at index 14
    EXPECT_EQ(pci.open_with(0, {7, 5, 4, 0}), OpenResult::bad_setting);  // no parity code 5
    EXPECT_FALSE(pci.is_open());

    PtyPair pty;
    ASSERT_EQ(::symlink(pty.path().c_str(), dir.file("ttyS2").c_str()), 0);
    EXPECT_EQ(pci.open_with(2, {8, 2, 4, 0}),
              OpenResult::setting_refused); // 14400 Bd: termios has no such speed
    EXPECT_EQ(pci.open_with(2, {11, 2, 4, 0}), OpenResult::setting_refused); // 56000 Bd
    EXPECT_EQ(pci.open_with(2, {7, 2, 0, 0}), OpenResult::setting_refused);  // 4 data bits
    EXPECT_FALSE(pci.is_open());
    EXPECT_EQ(pci.open_with(2, kKLine), OpenResult::ok);
    EXPECT_TRUE(pci.is_open());
    EXPECT_EQ(pci.open_with(2, kKLine), OpenResult::ok); // re-opening closes first

    PCI other;
    EXPECT_EQ(other.open_with(2, kKLine), OpenResult::unavailable); // already held by a PCI
    pci.close();
    EXPECT_EQ(other.open_with(2, {9, 0, 4, 2}), OpenResult::ok);
}

TEST(Pci, ClosedPortWritesNothingAndReadsFail) {
    PCI pci;
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(pci.write(bytes, 5), 5);
    ReadResult status = ReadResult::byte;
    pci.read_byte(status);
    EXPECT_EQ(status, ReadResult::failed);
}

TEST(Pci, BytesPassUnchangedAndASilentLineTimesOut) {
    PtyPair pty;
    PCI pci;
    ASSERT_EQ(pci.open_with(pty.port(), kKLine), OpenResult::ok);
    const uint8_t out[4] = {0xFF, 0x00, 0x15, 0xFF};
    EXPECT_EQ(pci.write(out, 4), 4);
    EXPECT_EQ(pty.read(4), (Bytes{0xFF, 0x00, 0x15, 0xFF}));
    pty.write({0xFF, 0x0A});
    ReadResult status = ReadResult::byte;
    EXPECT_EQ(pci.read_byte(status), 0xFF); // never doubled by parity marking
    EXPECT_EQ(status, ReadResult::byte);
    EXPECT_EQ(pci.read_byte(status), 0x0A); // never translated
    EXPECT_EQ(status, ReadResult::byte);

    pty.write({0x33});
    sleep_ms(20);
    pci.purge_input();
    pci.set_read_timeout(1000);
    const uint32_t start = tick_ms();
    pci.read_byte(status);
    EXPECT_EQ(status, ReadResult::timed_out);
    EXPECT_GE(tick_ms() - start, 990u);
}

// Another program reads the unit's line meanwhile and takes bytes the tool was told had come:
// every read keeps its time-out, the operation ends as a failed one does, and the port gets
// back the settings it had. While the tool holds it, a program that opens it is refused.
TEST(Pci, ASecondReaderCostsTimeOutsNotAHang) {
    ServedUnit unit(unit_config('k', "6343"));
    const int other = ::open(unit.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(other, &before), 0);
    before.c_lflag |= ICANON | ECHO;
    ::cfsetospeed(&before, B1200);
    ASSERT_EQ(::tcsetattr(other, TCSANOW, &before), 0);
    ASSERT_EQ(::tcgetattr(other, &before), 0);
    std::atomic<bool> stop{false};
    std::atomic<int> taken{0};
    std::thread reader([&] {
        while (!stop.load()) {
            pollfd pfd{other, POLLIN, 0};
            uint8_t byte = 0;
            if (::poll(&pfd, 1, 5) > 0 && ::read(other, &byte, 1) == 1)
                ++taken;
        }
    });

    {
        PCI held;
        ASSERT_EQ(held.open_with(unit.port(), kKLine), OpenResult::ok);
        ASSERT_EQ(::chmod(unit.path().c_str(), 0666), 0);
        EXPECT_EQ(as_unprivileged([&] {
                      const int fd = ::open(unit.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                      return fd < 0 && errno == EBUSY ? std::string("refused") : "opened";
                  }),
                  "refused");
    }

    for (int32_t op : {TBVLink::kRead, TBVLink::kRead, TBVLink::kClear}) {
        TBVLink link;
        link.port = unit.port();
        link.operation = op;
        link.resume();
        while (link.operation.load() != 0)
            ::usleep(1000);
        if (!link.result) {
            EXPECT_EQ(cp1251_to_utf8(link.error_text), "Ошибка связи");
        }
    }
    stop = true;
    reader.join();
    EXPECT_GT(taken.load(), 0);

    termios after{};
    ASSERT_EQ(::tcgetattr(other, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(::cfgetospeed(&after), B1200);
    ::close(other);
}

TEST(PortCollection, ListsTheStandInsThatOpen) {
    TempDir dir;
    EnvGuard dev("TGM_DEV_DIR", dir.path());
    PtyPair com1, com3, held;
    ASSERT_EQ(::symlink(com1.path().c_str(), dir.file("ttyS0").c_str()), 0);
    ASSERT_EQ(::symlink(com3.path().c_str(), dir.file("ttyS2").c_str()), 0);
    ASSERT_EQ(::symlink(held.path().c_str(), dir.file("ttyUSB0").c_str()), 0);
    PCI holder;
    ASSERT_EQ(holder.open_with(32, kKLine), OpenResult::ok);

    TPortCollection ports;
    ports.add_port(5, "stale");
    ports.enumerate();
    ASSERT_EQ(ports.count(), 2);
    EXPECT_EQ(ports.port_at(0)->port, 0);
    EXPECT_EQ(ports.port_at(0)->name, dir.file("ttyS0"));
    EXPECT_EQ(ports.port_at(1)->port, 2);
    ports.add_port(2, "again"); // a number already listed is not added twice
    EXPECT_EQ(ports.count(), 2);
}

TEST(PortsCommand, PrintsNumberDeviceAndDescription) {
    TempDir dir;
    EnvGuard dev("TGM_DEV_DIR", dir.path());
    PtyPair com1, com3;
    ASSERT_EQ(::symlink(com1.path().c_str(), dir.file("ttyS0").c_str()), 0);
    ASSERT_EQ(::symlink(com3.path().c_str(), dir.file("ttyS2").c_str()), 0);
    TPortCollection ports;
    ports.enumerate();
    EXPECT_EQ(port_listing(ports),
              "0\t" + dir.file("ttyS0") + "\t\n2\t" + dir.file("ttyS2") + "\t\n");
    const RunResult bogus = run_program("tgm-cli", {"ports", "--bogus"});
    EXPECT_EQ(bogus.exit_code, 2);
    EXPECT_EQ(bogus.out, "");
}

// A device that exists but is not this user's to open is listed and explained, not passed off
// as a port in use: by the enumeration, by the link after "Порт занят", and by tgm-cli.
TEST(DeniedPort, ListedWithItsGroupAndNamedUnderPortBusy) {
    TempDir dir;
    open_to_unprivileged(dir.path());
    EnvGuard dev("TGM_DEV_DIR", dir.path());
    PtyPair open_one, denied;
    ASSERT_EQ(::chmod(open_one.path().c_str(), 0666), 0);
    const std::string group = deny_to_unprivileged(denied.path());
    ASSERT_EQ(::symlink(open_one.path().c_str(), dir.file("ttyS0").c_str()), 0);
    ASSERT_EQ(::symlink(denied.path().c_str(), dir.file("ttyUSB1").c_str()), 0);

    const std::string seen = as_unprivileged([] {
        TPortCollection ports;
        ports.enumerate();
        TBVLink link;
        link.port = 33;
        link.operation = TBVLink::kRead;
        link.resume();
        while (link.operation.load() != 0)
            ::usleep(1000);
        const RunResult cli_ports = run_program("tgm-cli", {"ports"});
        const RunResult cli_read =
            run_program("tgm-cli", {"--port", "33", "read", "/tmp/never.fs"});
        return port_listing(ports) + "|" + cp1251_to_utf8(link.error_text + "|" + link.port_note) +
               "|" + cli_ports.out + "|" + cli_read.err + "|" + std::to_string(cli_read.exit_code);
    });
    const std::string listing = "0\t" + dir.file("ttyS0") + "\t\n33\t" + dir.file("ttyUSB1") +
                                "\tнет доступа (группа " + group + ")\n";
    const std::string note =
        "Нет доступа к " + denied.path() + ": пользователь не входит в группу " + group;
    EXPECT_EQ(seen,
              listing + "|Порт занят|" + note + "|" + listing + "|Порт занят\n" + note + "\n|1");

    // To this process (root in CI) the device is simply there: nothing to explain.
    if (::geteuid() == 0) {
        EXPECT_FALSE(port_access(33).denied);
        EXPECT_EQ(port_access_note(33), "");
    }
}

} // namespace
} // namespace tgm::test
