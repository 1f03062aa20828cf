// "Связь": the channel dialog and the port list on stand-in devices (pseudo-terminals under a
// private device folder), and the end of the demo when a port is chosen.
#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "app/bik_form.h"
#include "app/chan_cfg_form.h"
#include "app/demo_unit.h"
#include "app/port_dlg.h"
#include "app/status_bar.h"
#include "operations/tbvlink.h"
#include "support/cp1251.h"
#include "support/syscfg.h"
#include "testing/files.h"
#include "testing/holding_clock.h"
#include "testing/pty_pair.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tgm;
using namespace tgm::test;

namespace {

QStringList items(QWidget* port_dlg) {
    QStringList out;
    auto* list = port_dlg->findChild<QListWidget*>(QStringLiteral("port_list"));
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void click(QWidget* w, const char* name) {
    w->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

QString shown_port(QWidget* chan_form) {
    return qobject_cast<TChanCfgForm*>(chan_form)->shown_text();
}

// "Связь" run with `in_port_dlg` acting in "Выбор порта"; returns what the channel dialog
// showed before and after.
QStringList run_chan_command(Program& p, std::function<void(QWidget*)> in_port_dlg) {
    QStringList shown;
    when_modal([&](QWidget* chan) {
        shown << shown_port(chan);
        when_modal(in_port_dlg);
        click(chan, "choose_button");
        shown << shown_port(chan);
        chan->close();
    });
    p.action("N14")->trigger();
    return shown;
}

} // namespace

// The ports of a stand-in device folder are listed anew on "Обновить список"; the chosen one
// reaches tgm.cfg and the link thread. OK with nothing selected chooses nothing.
TEST(PortDialogs, TheChosenPortReachesTgmCfgAndTheLink) {
    TempDir dev;
    EnvGuard dev_dir("TGM_DEV_DIR", dev.path());
    PtyPair com1, usb2, acm1;
    ASSERT_EQ(::symlink(com1.path().c_str(), dev.file("ttyS0").c_str()), 0);
    ASSERT_EQ(::symlink(usb2.path().c_str(), dev.file("ttyUSB2").c_str()), 0);
    Program p;
    QStringList listed, relisted;
    const QStringList shown = run_chan_command(p, [&](QWidget* dlg) {
        EXPECT_EQ(dlg->windowTitle(), u("Выбор порта"));
        listed = items(dlg);
        EXPECT_EQ(::symlink(acm1.path().c_str(), dev.file("ttyACM1").c_str()), 0);
        click(dlg, "refresh_button");
        relisted = items(dlg);
        dlg->findChild<QListWidget*>(QStringLiteral("port_list"))->setCurrentRow(1);
        click(dlg, "ok_button");
    });
    const QString s0 = QString::fromStdString(dev.file("ttyS0"));
    const QString usb = QString::fromStdString(dev.file("ttyUSB2"));
    EXPECT_EQ(listed, QStringList({s0, usb}));
    EXPECT_EQ(relisted, QStringList({s0, usb, QString::fromStdString(dev.file("ttyACM1"))}));
    EXPECT_EQ(shown, QStringList({s0, usb}));
    EXPECT_EQ(config().chanpar().port, 34);
    EXPECT_EQ(port_in_cfg(p), 34);
    EXPECT_EQ(p.main->link().port, 34);

    const QStringList kept = run_chan_command(p, [](QWidget* dlg) {
        dlg->findChild<QListWidget*>(QStringLiteral("port_list"))->setCurrentRow(-1);
        click(dlg, "ok_button");
    });
    EXPECT_EQ(kept, QStringList({usb, usb}));
    EXPECT_EQ(p.main->link().port, 34);
}

// A port chosen in "Связь" ends the demo: the caption loses it, and the port reaches the link
// and tgm.cfg.
TEST(DemoMode, AChosenPortEndsIt) {
    Program p({"--simulate=k:6362"});
    ASSERT_NE(p.main->demo_unit(), nullptr);
    TempDir dev;
    EnvGuard dev_dir("TGM_DEV_DIR", dev.path());
    PtyPair com2;
    ASSERT_EQ(::symlink(com2.path().c_str(), dev.file("ttyS1").c_str()), 0);
    run_chan_command(p, [](QWidget* dlg) { click(dlg, "ok_button"); });
    EXPECT_EQ(p.main->demo_unit(), nullptr);
    EXPECT_FALSE(p.main->windowTitle().contains(u("имитатор")));
    EXPECT_EQ(p.main->link().port, 1);
    EXPECT_EQ(port_in_cfg(p), 1);
}

// tgm.cfg may hold any number after a save cut off. A pseudo-terminal's number opened someone
// else's terminal: now the default port stands in, the user is told, and the terminal hears
// nothing.
TEST(PortDialogs, APortOfTgmCfgOutsideTheTableGivesWayToTheDefault) {
    TempDir dev;
    ASSERT_EQ(::symlink("/dev/pts", dev.file("pts").c_str()), 0);
    EnvGuard dev_dir("TGM_DEV_DIR", dev.path());
    PtyPair other_terminal;
    ASSERT_GE(other_terminal.port(), 256);
    Program p;
    p.main.reset();
    std::string cfg = read_file(p.home.file("tgm.cfg"));
    ASSERT_GE(cfg.size(), 11u);
    for (int i = 0; i < 4; ++i)
        cfg[7 + i] = static_cast<char>(other_terminal.port() >> (8 * i));
    write_file(p.home.file("tgm.cfg"), cfg);

    p.main = std::make_unique<TPrjForm>(std::vector<std::string>{});
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0],
              u("Порт ") + QString::number(other_terminal.port()) +
                  u(" из tgm.cfg не входит в таблицу портов; выбран порт 0 (") +
                  QString::fromStdString(dev.file("ttyS0")) +
                  u(").\rПорт задаётся номером из таблицы портов (0–31 ttyS0–ttyS31, 32–63 "
                    "ttyUSB0–ttyUSB31, 64–95 ttyACM0–ttyACM31) или путём к устройству"));
    EXPECT_EQ(p.dialogs.message_kinds[0], MessageKind::warning);
    // The link reads on what the window gave it: ttyS0, which is not there.
    TBVLink& link = p.main->link();
    EXPECT_EQ(link.port, 0);
    link.operation = TBVLink::kRead;
    link.resume();
    while (link.operation.load() != 0)
        QTest::qWait(1);
    EXPECT_EQ(link.error_text, cp("Порт занят"));
    EXPECT_TRUE(other_terminal.drain(50).empty());
    p.main.reset();
    EXPECT_EQ(port_in_cfg(p), 0);
}
