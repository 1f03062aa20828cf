// The console window "Пульт" driving the simulated unit through the main window's command.
#include "render/gui_text.h"
#include "scripted_dialogs.h"
#include "unit_on_port.h"

#include "app/bik_form.h"
#include "app/status_bar.h"
#include "ports/line_port.h"
#include "support/syscfg.h"
#include "testing/files.h"

#include <QGroupBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;

namespace {

QString panel(TBikForm* form, int i) { return form->findChild<StatusBar*>("StrBar")->panel(i); }
QString display(TBikForm* form) {
    return form->findChild<QPlainTextEdit*>("Displey")->toPlainText();
}

QPushButton* button(TBikForm* form, int keypad, const char* caption) {
    const QString box = QStringLiteral("KeyBox%1").arg(keypad);
    for (QPushButton* b : form->findChild<QGroupBox*>(box)->findChildren<QPushButton*>())
        if (b->text() == u(caption))
            return b;
    ADD_FAILURE() << caption;
    return nullptr;
}

int visible_keypad(TBikForm* form) {
    int shown = 0;
    for (int i = 1; i <= 3; ++i)
        if (!form->findChild<QGroupBox*>(QStringLiteral("KeyBox%1").arg(i))->isHidden())
            shown = shown ? -1 : i;
    return shown;
}

// Runs the console through the main window's command; `act` drives the open window.
void with_console(Program& p, std::function<void(TBikForm*)> act) {
    when_modal([act](QWidget* w) {
        auto* form = qobject_cast<TBikForm*>(w);
        ASSERT_NE(form, nullptr);
        act(form);
        form->close();
    });
    p.action("NBiButton")->trigger();
}

bool wait_for_ok(TBikForm* form) {
    return QTest::qWaitFor([form] { return panel(form, 2) == QStringLiteral("OK"); }, 10000);
}

// The message box takes the focus and hands it back, as a real one does.
class FocusTakingDialogs : public ScriptedDialogs {
public:
    void message(QWidget* parent, const QString& text, MessageKind kind) override {
        ScriptedDialogs::message(parent, text, kind);
        if (messages.size() > 3) { // a window that asks again and again: end it
            parent->close();
            return;
        }
        QDialog box(parent);
        QTimer::singleShot(50, &box, &QDialog::accept);
        box.exec();
        parent->activateWindow();
    }
};

} // namespace

TEST(BikForm, DrivesTheUnitAndTheKeypadChoiceOutlivesTheProgram) {
    UnitOnPort0 line("6362");
    Program p;
    with_console(p, [](TBikForm* form) {
        EXPECT_EQ(form->windowTitle(), u("Пульт"));
        EXPECT_EQ(visible_keypad(form), 1);
        ASSERT_TRUE(wait_for_ok(form));
        EXPECT_EQ(panel(form, 0), u("СИСТЕМА"));
        EXPECT_EQ(panel(form, 1), QStringLiteral(" 6361 >>"));
        EXPECT_TRUE(display(form).startsWith(QStringLiteral("C И M У Л Я T O P   6 3 6 2")));
        EXPECT_EQ(display(form).count(QLatin1Char('\n')), 1);

        // A click or a typed key goes out with the next tick.
        QTest::mouseClick(button(form, 1, "1"), Qt::LeftButton);
        form->Timer1Timer();
        EXPECT_TRUE(display(form).startsWith(u("У P O B E H b ,   C M")))
            << display(form).toStdString();
        QTest::keyClick(form, Qt::Key_4);
        form->Timer1Timer();
        QTest::keyClick(form, Qt::Key_X); // no key of this display
        form->Timer1Timer();
        QTest::mouseClick(button(form, 1, "+"),
                          Qt::LeftButton); // "+" is code 11, which the menu ignores
        form->Timer1Timer();
        EXPECT_EQ(display(form).section(QLatin1Char('\n'), 1).trimmed(), QStringLiteral(">   4 _"));

        form->findChild<QAction*>("keypad3")->trigger();
        EXPECT_EQ(visible_keypad(form), 3);
        EXPECT_TRUE(form->findChild<QAction*>("keypad3")->isChecked());
        EXPECT_FALSE(form->findChild<QAction*>("keypad1")->isChecked());
    });
    EXPECT_EQ(config().syspar().console_keyboard, 2);
    // Kept in memory only until the configuration is next written: here, at the program's end.
    EXPECT_FALSE(file_exists(p.home.file("tgm.cfg")));
    p.main.reset();
    const std::string cfg = read_file(p.home.file("tgm.cfg"));
    ASSERT_GE(cfg.size(), 4u);
    EXPECT_EQ(cfg.substr(cfg.size() - 4), std::string("\x02\x00\x00\x00", 4));

    config().syspar().console_keyboard = 0;
    p.main = std::make_unique<TPrjForm>(std::vector<std::string>{});
    EXPECT_EQ(config().syspar().console_keyboard, 2);
    with_console(p, [](TBikForm* form) {
        EXPECT_EQ(visible_keypad(form), 3);
        EXPECT_TRUE(form->findChild<QAction*>("keypad3")->isChecked());
    });
}

// Keys typed faster than the tick wait in order and go out one a tick: none is lost.
TEST(BikForm, TwentyKeysInOneBurstAllReachTheUnitInOrder) {
    UnitOnPort0 line("6362");
    Program p;
    const std::string typed = "12345678901234567890";
    with_console(p, [&](TBikForm* form) {
        ASSERT_TRUE(wait_for_ok(form));
        const std::size_t before = line.unit->unit().console().pressed().size();
        for (char key : typed)
            QTest::keyClick(form, key);
        for (std::size_t i = 0; i < typed.size() + 2; ++i)
            form->Timer1Timer();
        const std::vector<int32_t> pressed = line.unit->unit().console().pressed();
        ASSERT_EQ(pressed.size(), before + typed.size());
        for (std::size_t i = 0; i < typed.size(); ++i)
            EXPECT_EQ(pressed[before + i], typed[i] - '0') << i;
    });
}

TEST(BikForm, ParametersChooseTheKeypadAndShowTheKeypadMenu) {
    TBikForm form;
    QAction* menu = form.findChild<QMenu*>("keypad_menu")->menuAction();
    const std::pair<int32_t, int> choices[] = {{1, 2}, {7, 3}, {-1, 3}, {0, 1}};
    for (const auto& [index, type] : choices) {
        form.set_parameters(3, index, index != 1);
        EXPECT_EQ(visible_keypad(&form), type) << index;
        EXPECT_EQ(form.keypad_type(), type) << index;
        EXPECT_EQ(menu->isVisible(), index != 1) << index;
    }
    EXPECT_EQ(form.channel().port, 3);
}

TEST(BikForm, AFailedExchangeShowsErrorAndTheNextRefreshDetectsAgain) {
    UnitOnPort0 line("6341");
    Program p;
    with_console(p, [&line](TBikForm* form) {
        ASSERT_TRUE(wait_for_ok(form));
        EXPECT_EQ(panel(form, 1), QStringLiteral(" << 635"));
        EXPECT_EQ(display(form), QStringLiteral("6 3 4 1       П   1.2.3 "));
        line.unit->stop();
        form->refresh();
        EXPECT_EQ(panel(form, 2), QStringLiteral("ERROR"));
        EXPECT_EQ(display(form), QString());
        form->refresh(); // detects again, and finds nobody
        EXPECT_EQ(panel(form, 1), QStringLiteral("?"));
        EXPECT_EQ(panel(form, 2), QStringLiteral("ERROR"));
        line.unit->start();
        EXPECT_TRUE(wait_for_ok(form));
        EXPECT_EQ(panel(form, 1), QStringLiteral(" << 635"));
    });
}

TEST(BikForm, AHeldPortSaysSoOnceAndTheWindowCloses) {
    UnitOnPort0 line("6362");
    const std::shared_ptr<LinePort> holder = make_line_port(0);
    ASSERT_EQ(holder->open_with(0, kKLine), OpenResult::ok);

    Program p;
    FocusTakingDialogs dialogs;
    TBikForm* seen = nullptr;
    bool port_ok = true;
    when_modal([&](QWidget* w) {
        seen = qobject_cast<TBikForm*>(w);
        port_ok = seen->port_ok();
    });
    QTimer::singleShot(5000, [] { // never hang the suite on a window that stays
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    p.action("NBiButton")->trigger();
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(port_ok);
    EXPECT_EQ(QStringList(dialogs.messages.begin(), dialogs.messages.end()).join('|').toStdString(),
              "Порт занят");
    EXPECT_EQ(dialogs.beeps, 1);
}
