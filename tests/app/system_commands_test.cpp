// The unit's tables through the windows: the system commands, their progress dialog and its
// event-log lines, against the simulated unit on a clock the test controls.
#include "render/gui_text.h"
#include "scripted_dialogs.h"
#include "unit_on_port.h"

#include "app/link_form1.h"
#include "app/status_bar.h"
#include "operations/tbvlink.h"
#include "ports/pci.h"
#include "support/cp1251.h"
#include "support/hist.h"
#include "testing/files.h"
#include "testing/holding_clock.h"
#include "testing/tables.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;
using Answer = UiDialogs::Answer;

namespace {

QStringList status(Program& p) {
    auto* bar = p.main->findChild<StatusBar*>(QStringLiteral("StrBar"));
    return {bar->panel(1), bar->panel(2), bar->panel(3)};
}

std::string last_log_line() {
    const std::vector<std::string>& lines = log_sink()->lines();
    return lines.empty() ? std::string("(none)") : cp1251_to_utf8(lines.back());
}

void open_example(Program& p, const char* name) {
    p.dialogs.files = {ScriptedDialogs::chosen(examples_dir() + "/" + name)};
    p.action("ImportButton")->trigger();
}

GROUPTAB numbers_of(const EPROJECT& project) {
    FDATA copy = project.tables();
    GROUPTAB g;
    copy.build_group(g);
    return g;
}

// Answers every failed-result dialog with its button once it shows, and keeps its texts, so
// that a failure the test did not expect ends the command instead of waiting for a user.
struct ResultAnswers {
    explicit ResultAnswers(Program& p) {
        TLinkForm1* form = p.main->link_form();
        auto* poll = new QTimer(form);
        QObject::connect(poll, &QTimer::timeout, form, [this, form] {
            if (!form->show_result || !form->isVisible())
                return;
            texts << form->findChild<QLabel*>(QStringLiteral("Label2"))->text();
            form->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
        });
        poll->start(5);
    }
    QStringList texts;
};

// The switches of "Параметры" off: a change is then only asked about and journalled.
void without_copy_or_check(Program& p) {
    p.action("backup_action")->trigger();
    p.action("verify_action")->trigger();
    ASSERT_FALSE(p.action("backup_action")->isChecked());
    ASSERT_FALSE(p.action("verify_action")->isChecked());
}

const char* const kRestart = "\rВыполняется перезагрузка системы";
const char* const kPowerCycle =
    "\rВнимание !\nЧтобы записанный проект стал активным,\nнеобходимо переключить питание системы";

} // namespace

// Write the tank farm into a V unit, read it back: the same tables, a modified project
// named "Система", and the next read asks first. Within a second of a command nothing starts.
TEST(SystemCommands, WriteThenReadTheTankFarmGivesBackItsTables) {
    HoldingClock clock;
    SimConfig config = UnitOnPort0::with_firmware("9600");
    config.protocol = 'v';
    UnitOnPort0 unit(config);
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    open_example(p, "tank_farm.fs");
    ASSERT_EQ(p.main->project().count(), 16);
    // Tank 15 fits no layout of the unit: the example shows what the control column says then.
    ASSERT_EQ(p.main->project().control_text(14), "OK**");
    p.main->project().delete_table(14);
    p.main->refresh(-1);
    const GROUPTAB written = numbers_of(p.main->project());
    without_copy_or_check(p);

    p.dialogs.answers = {Answer::ok};
    p.action("StrWriteButton")->trigger();
    EXPECT_TRUE(failures.texts.isEmpty()) << failures.texts.join(" ").toStdString();
    EXPECT_EQ(status(p), QStringList({"F9600", "OK", "0"}));
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0], u("Запись таблиц завершена.") + u(kRestart));
    EXPECT_EQ(last_log_line().rfind(" write ", 0), 0u) << last_log_line();

    // Straight after the write: nothing at all, not even the question.
    p.dialogs.questions.clear();
    p.main->project().set_modified(true);
    bool shown = false;
    unless_modal(shown);
    p.action("NStrRead")->trigger();
    p.action("NStrClear")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_TRUE(p.dialogs.questions.empty());
    EXPECT_EQ(status(p), QStringList({"F9600", "OK", "0"}));

    clock.sleep_ms(1000);
    p.dialogs.answers = {Answer::no};
    p.action("StrReadButton")->trigger();
    EXPECT_EQ(p.dialogs.questions, std::vector<QString>{u("Сохранить проект?")});
    EXPECT_EQ(status(p), QStringList({"F9600", "OK", "0"}));
    EXPECT_EQ(p.main->project().name(), cp("Система"));
    EXPECT_TRUE(p.main->project().modified());
    EXPECT_TRUE(numbers_of(p.main->project()).equals(written));
    EXPECT_FALSE(p.grid()->isHidden());
    EXPECT_EQ(p.grid()->rowCount(), 15);
    EXPECT_EQ(log_sink()->lines().size(), 2u);

    clock.sleep_ms(1000);
    p.dialogs.answers = {Answer::cancel};
    p.action("NStrRead")->trigger();
    EXPECT_EQ(p.dialogs.questions.size(), 2u);
    EXPECT_EQ(log_sink()->lines().size(), 2u); // cancelled before any operation
    EXPECT_EQ(p.main->project().count(), 15);
}

// A unit of code 7 must be switched off and on; a clear is asked about first, "Отмена" its
// default, and says so too; the empty unit then reads as such. Codes below 4 say nothing.
// Start-up locks the commands.
TEST(SystemCommands, NoticesByCodeAClearAskedFirstAndAnEmptyUnit) {
    HoldingClock clock;
    UnitOnPort0 unit("6330");
    Program p;
    ResultAnswers failures(p);
    without_copy_or_check(p);
    bool shown = false;
    unless_modal(shown);
    p.action("NStrClear")->trigger();
    clock.sleep_ms(999);
    p.action("NStrClear")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(status(p), QStringList({"", "", ""}));
    clock.sleep_ms(1);

    open_example(p, "station_litres.fs2");
    p.dialogs.answers = {Answer::ok, Answer::ok, Answer::ok};
    p.action("NStrWrite")->trigger();
    p.action("NStrWrite")->trigger(); // locked out: one notice only
    clock.sleep_ms(1000);
    p.action("NStrClear")->trigger();
    EXPECT_EQ(p.dialogs.questions,
              std::vector<QString>({u("Таблиц проекта «") +
                                        file_text(examples_dir() + "/station_litres.fs2") +
                                        u("»: 4.\rЗаписать их в систему на порту ") +
                                        QString::fromStdString(unit.dev.file("ttyS0")) +
                                        u("?\rТаблицы, которые сейчас в системе, будут заменены."),
                                    u("Удалить все таблицы в системе на порту ") +
                                        QString::fromStdString(unit.dev.file("ttyS0")) + u("?")}));
    EXPECT_EQ(p.dialogs.question_buttons,
              std::vector<UiDialogs::Buttons>(
                  {UiDialogs::Buttons::write_cancel, UiDialogs::Buttons::delete_cancel}));
    EXPECT_TRUE(failures.texts.isEmpty()) << failures.texts.join(" ").toStdString();
    EXPECT_EQ(status(p), QStringList({"633 ", "OK", "0"}));
    EXPECT_EQ(p.dialogs.messages,
              std::vector<QString>({u("Запись таблиц завершена.") + u(kPowerCycle),
                                    u("Таблицы удалены.") + u(kPowerCycle)}));

    clock.sleep_ms(1000);
    p.main->project().set_modified(false);
    p.action("NStrRead")->trigger();
    EXPECT_EQ(p.dialogs.messages.back(), u("Таблицы объёма в системе отсутствуют"));
    EXPECT_EQ(p.main->project().count(), 0);
    EXPECT_TRUE(p.grid()->isHidden());
    EXPECT_EQ(last_log_line(), " read v-6330 :   empty");

    p.dialogs.messages.clear();
    p.main->show_activation_notice(12, cp("Запись таблиц завершена."));
    p.main->show_activation_notice(2, cp("Запись таблиц завершена."));
    p.main->show_activation_notice(-1, cp("Таблицы удалены."));
    EXPECT_EQ(p.dialogs.messages,
              std::vector<QString>{u("Запись таблиц завершена.") + u(kRestart)});
}

// A unit of code 12 restarts after a write. Compare looks at the points only, but one trailing
// gap more, or a table that does not convert, is a difference.
TEST(SystemCommands, CompareIgnoresHeadersButNotATrailingGapOrATableThatDoesNotConvert) {
    HoldingClock clock;
    UnitOnPort0 unit("6350");
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    const GROUPTAB tables = group({line(40), PARTAB(), line(30, 5, 7)});
    p.main->project().take_group(tables, "two");
    p.main->refresh(-1);
    without_copy_or_check(p);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrWrite")->trigger();
    // Code 12.
    EXPECT_EQ(p.dialogs.messages,
              std::vector<QString>{u("Запись таблиц завершена.") + u(kRestart)});
    auto compare = [&] {
        clock.sleep_ms(1000);
        p.action("NStrCompare")->trigger();
        EXPECT_EQ(status(p).at(1), "OK");
        return p.dialogs.messages.back();
    };
    const QString same = u("Таблицы системы совпадают с проектом.");
    const QString different = u("Таблицы системы отличны от проекта !");

    p.main->project().set_header(0, cp("Другой заголовок"));
    EXPECT_EQ(compare(), same);
    GROUPTAB longer = tables;
    longer.add_empty();
    p.main->project().take_group(longer, "longer");
    EXPECT_EQ(compare(), different + u("\rКанал 4: таблица есть только в проекте"));
    p.main->project().take_group(tables, "two");
    FDATA edited = p.main->project().tables();
    edited.table(2).set_volume_text(1, "x");
    p.main->project().take_edited(edited);
    EXPECT_EQ(compare(), different + u("\rКанал 3: таблица проекта не преобразуется"));
    // One level of one channel, the length of another, a slot of the unit's only.
    GROUPTAB other = group({line(40), PARTAB(), line(32, 5, 7)});
    other.item(0).point(12) = 121;
    p.main->project().take_group(other, "two");
    EXPECT_EQ(compare(), different + u("\rКанал 1: отличается с 12 см (в системе 120 л, в проекте "
                                       "121 л), отличных уровней: 1"
                                       "\rКанал 3: отличается с 30 см (в системе нет точки, в "
                                       "проекте 215 л), отличных уровней: 2"));
    p.main->project().take_group(group({line(40), PARTAB()}), "two");
    EXPECT_EQ(compare(), different + u("\rКанал 3: таблица есть только в системе"));
    p.main->project().take_group(tables, "two");
    EXPECT_EQ(p.main->project().name(), "two"); // compare changes nothing
    EXPECT_TRUE(failures.texts.isEmpty()) << failures.texts.join(" ").toStdString();
}

// Cancel twice, Esc and a close request while the thread runs: the thread is asked to stop,
// and the dialog stays until it has.
TEST(ProgressDialog, OnlyTheThreadsEndClosesItAfterACancel) {
    HoldingClock clock;
    SimConfig config = UnitOnPort0::with_firmware("9610");
    config.faults.init_polls = -1; // never ready: the write waits in its readiness polls
    UnitOnPort0 unit(config);
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    p.main->project().take_group(group({line(40)}), "one");
    p.main->refresh(-1);
    without_copy_or_check(p);
    p.dialogs.answers = {Answer::ok};
    clock.hold_if([](uint32_t ms) { return ms >= 500; });

    TLinkForm1* form = p.main->link_form();
    bool stayed = false;
    QString stage;
    when_modal([&](QWidget* w) {
        ASSERT_EQ(w, form);
        const TBVLink& link = p.main->link();
        (void)QTest::qWaitFor([&] { return clock.holding() || link.operation.load() == 0; }, 10000);
        ASSERT_TRUE(clock.holding()) << cp1251_to_utf8(link.trace_text + " / " + link.error_text);
        auto* label = form->findChild<QLabel*>("Label2");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !label->text().isEmpty(); }, 5000));
        stage = label->text();
        auto* cancel = form->findChild<QPushButton*>("CancelBtn");
        cancel->click();
        cancel->click();
        QTest::keyClick(form, Qt::Key_Escape);
        form->close();
        form->reject();
        form->Timer1Timer(); // a tick sees the thread still running
        stayed = form->isVisible() && link.operation.load() != 0 && link.cancel.load();
        clock.release();
    });
    p.action("NStrWrite")->trigger();
    EXPECT_TRUE(stayed);
    EXPECT_EQ(stage, u("Ожидание завершения инициализации БВ"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(p.main->link().result);
    EXPECT_EQ(p.dialogs.beeps, 0);
    // Once the dialog has closed: a cancel is a cancel, and the unit may hold anything.
    EXPECT_EQ(p.dialogs.messages,
              std::vector<QString>{u("Операция прервана пользователем.\rТаблицы в системе могли "
                                     "остаться записанными не полностью.")});
    const std::string logged = last_log_line();
    EXPECT_EQ(logged.substr(logged.size() - 8), "  ubreak") << logged;
}

// A port held by another program: the error stays on screen until dismissed, with a beep, and
// ends the log line; the failed read has already given the project up.
TEST(ProgressDialog, PortBusyIsShownAndLoggedAndTheFailedReadLeavesNoProject) {
    HoldingClock clock;
    UnitOnPort0 unit("6362");
    PCI holder;
    ASSERT_EQ(holder.open_with(0, 7, 2, 4, 0), 0);
    Program p;
    clock.sleep_ms(1000);
    open_example(p, "rgs50.fs31");
    ASSERT_FALSE(p.grid()->isHidden());
    p.main->project().set_modified(false);

    ResultAnswers shown(p);
    p.action("StrReadButton")->trigger();
    EXPECT_EQ(shown.texts, QStringList{u("Порт занят")});
    EXPECT_EQ(p.dialogs.beeps, 1);
    EXPECT_FALSE(p.main->link_form()->isVisible());
    EXPECT_EQ(status(p), QStringList({"", "Порт занят", "0"}));
    EXPECT_EQ(last_log_line(), " read Порт занят");
    EXPECT_EQ(p.main->project().count(), 0);
    EXPECT_TRUE(p.grid()->isHidden());
    EXPECT_TRUE(p.dialogs.messages.empty());
}

// -r: r percent per second of ticks, never past 100; a plain value as it stands; the end of the
// operation shows 100 and closes at the next tick.
TEST(ProgressDialog, MinusRAdvancesRPercentASecondUpToAHundred) {
    TBVLink link;
    TLinkForm1 form(nullptr);
    auto* bar = form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    form.link = &link;
    link.operation = TBVLink::kWrite; // as a running operation shows itself
    link.progress = -40;
    std::vector<int> shown;
    for (int tick = 1; tick <= 11; ++tick) {
        form.Timer1Timer();
        shown.push_back(bar->value());
    }
    EXPECT_EQ(shown, std::vector<int>({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 100}));
    link.progress = 30;
    form.Timer1Timer();
    EXPECT_EQ(bar->value(), 30);
    EXPECT_FALSE(form.close_next);
    link.operation = 0;
    form.Timer1Timer();
    EXPECT_EQ(bar->value(), 100);
    EXPECT_TRUE(form.close_next);
}
