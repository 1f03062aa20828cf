// The demo mode: a simulated unit inside the program stands in for the configured port, on
// every system.
#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "app/chan_cfg_form.h"
#include "app/demo_unit.h"
#include "app/status_bar.h"
#include "operations/tbvlink.h"
#include "testing/holding_clock.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;

// The demo unit serves the link and the console on a line inside the program that tgm.cfg never
// records, and the caption says so. "-t" after the option still counts.
TEST(DemoMode, TheSimulatedUnitStandsInUntilAPortIsChosen) {
    HoldingClock clock;
    Program p({"--simulate=k:6362", "-t"});
    ASSERT_NE(p.main->demo_unit(), nullptr);
    EXPECT_TRUE(p.main->windowTitle().endsWith(u(") — имитатор БВ K 6362[*]")))
        << p.main->windowTitle().toStdString();
    EXPECT_TRUE(p.action("NTrase")->isVisible());
    const int32_t demo_port = p.main->demo_unit()->port();
    EXPECT_EQ(demo_port, DemoUnit::kPort);
    EXPECT_EQ(p.main->link().port, demo_port);

    clock.sleep_ms(1000);
    p.action("NStrRead")->trigger();
    EXPECT_EQ(p.dialogs.messages, std::vector<QString>{u("Таблицы объёма в системе отсутствуют")});
    bool console_ok = false;
    when_modal([&](QWidget* w) {
        console_ok = QTest::qWaitFor(
            [w] {
                auto* bar = w->findChild<StatusBar*>(QStringLiteral("StrBar"));
                return bar->panel(2) == QStringLiteral("OK");
            },
            10000);
        w->close();
    });
    p.action("NBiButton")->trigger();
    EXPECT_TRUE(console_ok);

    // "Связь" closed without a choice keeps the demo, and writes the configured port.
    QString shown;
    when_modal([&](QWidget* chan) {
        shown = qobject_cast<TChanCfgForm*>(chan)->shown_text();
        chan->close();
    });
    p.action("N14")->trigger();
    EXPECT_EQ(shown, u("имитатор БВ K 6362"));
    EXPECT_EQ(port_in_cfg(p), 0);
    EXPECT_EQ(p.main->link().port, demo_port);
}

TEST(DemoMode, AnUnknownUnitIsReportedAndTheProgramGoesOnWithoutIt) {
    Program p({"x", "-t", "--simulate=q:9600"});
    EXPECT_EQ(p.main->demo_unit(), nullptr);
    EXPECT_FALSE(p.action("NTrase")->isVisible()); // "-t" is not the first parameter
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0],
              u("Имитатор БВ не запущен: --simulate=q:9600: expected k:FIRMWARE or v:FIRMWARE"));
    EXPECT_EQ(p.main->link().port, 0);
}
