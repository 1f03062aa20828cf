// The unit's tables through the windows: the system commands, their progress dialog and its
// event-log lines, against the simulated unit on a clock the test controls.
#include "render/gui_text.h"
#include "scripted_dialogs.h"
#include "unit_on_port.h"

#include "app/link_form1.h"
#include "app/status_bar.h"
#include "changes/unit_change.h"
#include "editor/graph_image.h"
#include "forms/table_crc.h"
#include "operations/tbvlink.h"
#include "ports/line_port.h"
#include "support/change_settings.h"
#include "support/cp1251.h"
#include "support/hist.h"
#include "testing/files.h"
#include "testing/holding_clock.h"
#include "testing/pdf_reader.h"
#include "testing/tables.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

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

// A V unit of firmware 9600.
SimConfig v9600() {
    SimConfig config = UnitOnPort0::with_firmware("9600");
    config.protocol = 'v';
    return config;
}

} // namespace

// Write the tank farm into a V unit, read it back: the same tables, a modified project
// named "Система", and the next read asks first. Within a second of a command nothing starts.
TEST(SystemCommands, WriteThenReadTheTankFarmGivesBackItsTables) {
    HoldingClock clock;
    UnitOnPort0 unit(v9600());
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
    p.dialogs.files.clear(); // the save dialog proposes the name readable
    p.action("ExportButton")->trigger();
    ASSERT_FALSE(p.dialogs.requests.empty());
    EXPECT_EQ(p.dialogs.requests.back().file_name, u("Система"));
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
                                        QString::fromStdString(unit.port_name()) +
                                        u("?\rТаблицы, которые сейчас в системе, будут заменены."),
                                    u("Удалить все таблицы в системе на порту ") +
                                        QString::fromStdString(unit.port_name()) + u("?")}));
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

std::vector<std::string> journal_lines(Program& p) {
    const std::string text = read_file(p.home.file("REPORT/journal.csv"));
    std::vector<std::string> lines;
    std::size_t start = 3; // after the byte-order mark
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The files' paths as the program writes them: the folder, "/", the name.
std::vector<std::string> files_in(const std::string& folder) {
    std::vector<std::string> names;
    if (std::filesystem::is_directory(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(folder + "/" + entry.path().filename().string());
    return names;
}

// A write of a project into a unit that holds other tables: "Отмена" sends not one byte;
// "Записать" leaves a copy of the old tables in BACKUP, the new ones in the unit, a check that
// says they match and the journal's lines with the CRCs written.
TEST(SafeChanges, AWriteOverOtherTablesIsAskedCopiedCheckedAndJournalled) {
    HoldingClock clock;
    UnitOnPort0 unit(v9600());
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    const GROUPTAB old_tables = group({line(40), line(30, 5, 7)});
    p.main->project().take_group(old_tables, "old");
    p.main->refresh(-1);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrWrite")->trigger();
    const QString verdict = u("\rПроверка: таблицы системы совпадают с проектом.");
    EXPECT_EQ(p.dialogs.messages,
              std::vector<QString>{u("Запись таблиц завершена.") + u(kRestart) + verdict});
    EXPECT_TRUE(files_in(p.home.file("BACKUP")).empty()); // the unit held nothing

    clock.sleep_ms(1000);
    const GROUPTAB new_tables = group({line(50, 3, 9)});
    p.main->project().take_group(new_tables, "new");
    p.main->refresh(-1);
    const int64_t heard = unit.unit->unit().bytes_received();
    p.dialogs.answers = {Answer::cancel};
    p.action("NStrWrite")->trigger();
    EXPECT_EQ(unit.unit->unit().bytes_received(), heard);
    EXPECT_EQ(p.dialogs.messages.size(), 1u);
    ASSERT_EQ(journal_lines(p).size(), 4u); // a change not made is not journalled

    // The progress dialog says each step of the change in words, in order.
    QStringList steps;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* label = p.main->link_form()->findChild<QLabel*>(QStringLiteral("stepLabel"));
        if (label->isVisible() && (steps.isEmpty() || steps.back() != label->text()))
            steps << label->text();
    });
    look.start(1);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrWrite")->trigger();
    look.stop();
    EXPECT_EQ(steps, QStringList({u("Шаг 1 из 3: копия таблиц системы"), u("Шаг 2 из 3: запись"),
                                  u("Шаг 3 из 3: проверка")}));
    EXPECT_TRUE(failures.texts.isEmpty()) << failures.texts.join(" ").toStdString();
    EXPECT_EQ(status(p), QStringList({"F9600", "OK", "0"}));
    const std::vector<std::string> copies = files_in(p.home.file("BACKUP"));
    ASSERT_EQ(copies.size(), 1u);
    // The copy named, and how to put it back.
    EXPECT_EQ(p.dialogs.messages.back(),
              u("Запись таблиц завершена.") + u(kRestart) + verdict +
                  u("\rКопия таблиц системы: ") + file_text(copies[0]) +
                  u("\rЧтобы вернуть их, откройте копию («Открыть») и выполните «Записать в "
                    "систему»."));
    EXPECT_EQ(copies[0].rfind(p.home.file("BACKUP/F9600_"), 0), 0u) << copies[0];
    EPROJECT copy;
    ASSERT_TRUE(copy.open_form(copies[0]));
    EXPECT_TRUE(numbers_of(copy).equals(old_tables));
    clock.sleep_ms(1000);
    p.action("NStrCompare")->trigger();
    EXPECT_EQ(p.dialogs.messages.back(), u("Таблицы системы совпадают с проектом."));

    const std::vector<std::string> lines = journal_lines(p);
    ASSERT_EQ(lines.size(), 7u);
    const std::string port = unit.port_name();
    EXPECT_EQ(lines[4].substr(19), ";Запись;" + port + ";F9600;Начата;1;" + crc_field(new_tables) +
                                       ";" + copies[0] + ";");
    EXPECT_EQ(lines[5].substr(19),
              ";Запись;" + port + ";F9600;OK;1;" + crc_field(new_tables) + ";" + copies[0] + ";");
    EXPECT_EQ(lines[6].substr(19), ";Проверка;" + port + ";F9600;OK;1;" + crc_field(new_tables) +
                                       ";" + copies[0] + ";совпадают");
    EXPECT_EQ(ChangeSettings::load(p.home.path() + "/").backup, true);
    p.action("backup_action")->trigger();
    EXPECT_EQ(ChangeSettings::load(p.home.path() + "/").backup, false);
}

// The copy cannot be read from a unit in fault: nothing more is sent until the user agrees;
// "Отмена" leaves the unit as it was, "Записать" writes without a copy and says so in the
// journal.
TEST(SafeChanges, ACopyThatCannotBeReadAsksBeforeAnythingIsWritten) {
    HoldingClock clock;
    SimConfig config = v9600();
    config.faults.fault_word = 256;
    UnitOnPort0 unit(config);
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    p.main->project().take_group(group({line(40)}), "one");
    p.main->refresh(-1);
    int64_t heard_at_question = -1;
    p.dialogs.on_confirm = [&] { heard_at_question = unit.unit->unit().bytes_received(); };
    p.dialogs.answers = {Answer::ok, Answer::cancel};
    p.action("NStrWrite")->trigger();
    ASSERT_EQ(p.dialogs.questions.size(), 2u);
    const std::string error = p.main->link().error_text;
    EXPECT_EQ(failures.texts, QStringList{qs(error)});
    EXPECT_EQ(p.dialogs.questions[1], u("Таблицы системы не прочитаны, копия не сделана:\r") +
                                          qs(error) + u("\rЗаписать таблицы без копии?"));
    EXPECT_EQ(p.dialogs.question_buttons[1], UiDialogs::Buttons::write_cancel);
    EXPECT_EQ(unit.unit->unit().bytes_received(), heard_at_question);
    EXPECT_TRUE(p.dialogs.messages.empty());
    EXPECT_EQ(journal_lines(p).size(), 1u);

    clock.sleep_ms(1000);
    p.dialogs.answers = {Answer::ok, Answer::ok};
    p.action("NStrWrite")->trigger();
    EXPECT_GT(unit.unit->unit().bytes_received(), heard_at_question);
    const std::vector<std::string> lines = journal_lines(p);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].substr(lines[2].rfind(';', lines[2].size() - 2)),
              ";не сделана: " + cp1251_to_utf8(error) + ";");
}

// A V 9600 unit that stores one point of what it is sent wrong.
SimConfig v_unit_storing_a_point_wrong() {
    SimConfig config = v9600();
    config.faults.wrong_point = true;
    return config;
}

// A unit that stores one point wrong: the write's own result stays in the status bar, the
// check names the channel, in a warning.
TEST(SafeChanges, AWriteReadBackWrongNamesTheChannel) {
    HoldingClock clock;
    UnitOnPort0 unit(v_unit_storing_a_point_wrong());
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    p.main->project().take_group(group({line(40), line(30, 5, 7)}), "two");
    p.main->refresh(-1);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrWrite")->trigger();
    EXPECT_EQ(status(p), QStringList({"F9600", "OK", "0"}));
    const int32_t read_back = p.main->link().group.item(0).point(39);
    EXPECT_NE(read_back, 390);
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0], u("Запись таблиц завершена.") + u(kRestart) +
                                         u("\rПроверка: таблицы системы отличны от проекта !"
                                           "\rКанал 1: отличается с 39 см (в системе ") +
                                         QString::number(read_back) +
                                         u(" л, в проекте 390 л), отличных уровней: 1"));
    EXPECT_EQ(p.dialogs.message_kinds[0], MessageKind::warning);
}

// "Протокол записи…" waits for a write, and a delete is none; after a write whose check found
// a channel wrong it prints one page with each channel's CRC written and read back, and says
// that the project's tables were not saved in a file.
TEST(SafeChanges, TheWriteProtocolComesOnceAWriteHasRunAndSaysWhatTheCheckFound) {
    HoldingClock clock;
    UnitOnPort0 unit(v_unit_storing_a_point_wrong());
    Program p;
    ResultAnswers failures(p);
    QAction* protocol = p.action("writeProtocol");
    EXPECT_FALSE(protocol->isEnabled());
    clock.sleep_ms(1000);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrClear")->trigger();
    EXPECT_EQ(journal_lines(p).size(), 3u); // the delete began and ran
    EXPECT_FALSE(protocol->isEnabled());

    clock.sleep_ms(1000);
    const GROUPTAB tables = group({line(40), line(30, 5, 7)});
    p.main->project().take_group(tables, "two");
    p.main->refresh(-1);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrWrite")->trigger();
    EXPECT_TRUE(protocol->isEnabled());
    const GROUPTAB read_back = p.main->link().group;
    const std::string pdf = p.home.file("protocol.pdf");
    p.dialogs.prints = {{pdf, false}};
    protocol->trigger();
    EXPECT_TRUE(failures.texts.isEmpty()) << failures.texts.join(" ").toStdString();
    ASSERT_EQ(pdf_pages(pdf), 1);
    const std::string page = pdf_text(pdf);
    for (int32_t k = 0; k < 2; ++k) {
        const std::string written = crc_text(table_crc(tables.item(k)));
        const std::string read = crc_text(table_crc(read_back.item(k)));
        EXPECT_EQ(written == read, k == 1);
        const std::string row = "\n +" + std::to_string(k + 1) + " .* " + written + " +" + read +
                                " +" + (k == 0 ? "отличается" : "совпадает") + "\n";
        EXPECT_TRUE(std::regex_search(page, std::regex(row))) << row << "\n" << page;
    }
    for (const std::string& text : std::vector<std::string>{
             unit.port_name(), "F9600", "two",
             "(с несохранёнными изменениями)", // the tables written are in no file yet
             "Проверка: таблицы системы отличны от проекта !", "запись не подтверждена проверкой"})
        EXPECT_NE(page.find(text), std::string::npos) << text << "\n" << page;
}

// What the grid's channel cell says of the last comparison: its tooltip, when the cell is
// coloured as well.
std::string mark_of(Program& p, int row) {
    QTableWidgetItem* cell = p.grid()->item(row - 1, 0);
    const bool coloured = cell->background() != p.grid()->palette().window();
    if (coloured == cell->toolTip().isEmpty())
        return "(the colour and the tooltip disagree)";
    return cell->toolTip().toStdString();
}

int pixels_of(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// The grid keeps each channel's last comparison, from a write's check and from a compare, until
// the project's tables change; from a compare that finds a difference the editor opens on that
// channel with the unit's table drawn over the project's, and closing it changes nothing.
TEST(CompareMarks, TheGridMarksADifferingChannelAndTheEditorDrawsTheUnitsTableOverIt) {
    HoldingClock clock;
    UnitOnPort0 unit("6350");
    Program p;
    ResultAnswers failures(p);
    clock.sleep_ms(1000);
    p.main->project().take_group(group({line(40), line(50, 5, 7), line(30)}), "three");
    p.main->refresh(-1);
    p.dialogs.answers = {Answer::ok};
    p.action("NStrWrite")->trigger();
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(mark_of(p, 2), "Канал 2: таблица совпадает с таблицей системы");
    EXPECT_EQ(p.cell(2, 0), "2"); // the mark takes no text away

    // Channel 2 of the project changes at level 20: the check's marks no longer hold.
    FDATA edited = p.main->project().tables();
    edited.table(1).set_volume_text(20, "150");
    p.main->project().take_edited(edited);
    p.main->refresh(1);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(mark_of(p, row), "") << row;

    // The compare's message offers the graph; the editor comes up on channel 2.
    bool overlaid = false;
    int current = -1;
    PARTAB drawn;
    int second_colour = 0;
    auto* poll = new QTimer(p.main.get());
    QObject::connect(poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != p.tab_editor)
            return;
        poll->stop();
        overlaid = p.tab_editor->graph()->has_overlay();
        drawn = p.tab_editor->graph()->overlay_table();
        current = p.tab_editor->current();
        second_colour = pixels_of(p.tab_editor->findChild<GraphImage*>("Image1")->image(),
                                  VGRAF::kOverlayColour);
        p.tab_editor->reject();
    });
    poll->start(5);
    clock.sleep_ms(1000);
    const FDATA before = p.main->project().tables();
    p.dialogs.actions_chosen = {true};
    p.action("NStrCompare")->trigger();
    EXPECT_EQ(p.dialogs.messages.back(),
              u("Таблицы системы отличны от проекта !\rКанал 2: отличается с 20 см (в системе "
                "145 л, в проекте 150 л), отличных уровней: 1"));
    EXPECT_EQ(p.dialogs.actions, std::vector<QString>{u("Показать на графике…")});
    EXPECT_EQ(current, 1);
    EXPECT_TRUE(overlaid);
    EXPECT_TRUE(drawn.equals(line(50, 5, 7)));
    EXPECT_GT(second_colour, 0);

    // Nothing of the unit's came into the project; the marks stand, on channel 2 alone.
    EXPECT_TRUE(p.main->project().tables().equals(before));
    EXPECT_EQ(mark_of(p, 1), "Канал 1: таблица совпадает с таблицей системы");
    EXPECT_EQ(mark_of(p, 2), "Канал 2: отличается с 20 см (в системе 145 л, в проекте 150 л), "
                             "отличных уровней: 1");
    EXPECT_EQ(mark_of(p, 3), "Канал 3: таблица совпадает с таблицей системы");
    EXPECT_TRUE(failures.texts.isEmpty()) << failures.texts.join(" ").toStdString();
}

// A write cancelled once the unit has its image and answers no more: the log line ends in
// " ubreak", then the user is told it was a cancel, what the unit may hold and which copy to
// write back; the journal says so too.
TEST(SafeChanges, ACancelledWriteNamesTheCopy) {
    HoldingClock clock;
    const GROUPTAB old_tables = group({line(40), line(30, 5, 7)});
    SimConfig config = v9600();
    {
        // The old tables, written into a unit of the same kind, become the unit's own.
        std::string error;
        const std::unique_ptr<SimLine> other = SimLine::serve_on_port(config, 1, error);
        TBVLink link;
        link.port = 1;
        link.allow_v = true;
        link.group = old_tables;
        link.operation = TBVLink::kWrite;
        link.resume();
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.operation.load() == 0; }, 10000));
        ASSERT_TRUE(link.result) << cp1251_to_utf8(link.error_text);
        config.faults.silent_after_image = true;
        UnitOnPort0 unit(config);
        for (int32_t area = 0; area < SimFlash::kAreas; ++area)
            unit.flash().set_area(area, other->unit().flash().area(area));

        Program p;
        ResultAnswers failures(p);
        clock.sleep_ms(1000);
        p.main->project().take_group(group({line(50, 3, 9)}), "new");
        p.main->refresh(-1);
        // Cancel once the write's tables are going out: the unit no longer answers it.
        QTimer cancel;
        QObject::connect(&cancel, &QTimer::timeout, [&] {
            if (p.main->link().operation.load() == TBVLink::kWrite &&
                p.main->link().sent.load() != TBVLink::Sent::nothing)
                p.main->link_form()->CancelBtnClick();
        });
        cancel.start(5);
        p.dialogs.answers = {Answer::ok};
        p.action("NStrWrite")->trigger();
        cancel.stop();
        const std::vector<std::string> copies = files_in(p.home.file("BACKUP"));
        ASSERT_EQ(copies.size(), 1u);
        const std::string logged = last_log_line();
        EXPECT_EQ(logged.substr(logged.size() - 7), " ubreak") << logged;
        EXPECT_EQ(p.dialogs.messages,
                  std::vector<QString>{u("Операция прервана пользователем.\rТаблицы в системе "
                                         "могли остаться записанными не полностью.\rКопия "
                                         "таблиц системы: ") +
                                       file_text(copies[0]) +
                                       u("\rЧтобы вернуть их, откройте копию («Открыть») и "
                                         "выполните «Записать в систему».")})
            << (p.dialogs.messages.empty() ? "" : p.dialogs.messages[0].toStdString());
        // The status bar shows the cancel as the cancel it was.
        EXPECT_EQ(status(p)[1], u("Операция прервана пользователем."));
        const std::vector<std::string> lines = journal_lines(p);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_NE(lines[1].find(";Запись;"), std::string::npos);
        EXPECT_NE(lines[1].find(";Начата;"), std::string::npos) << lines[1];
        EXPECT_NE(lines[2].find(";Прервано пользователем;"), std::string::npos) << lines[2];
        EPROJECT copy;
        ASSERT_TRUE(copy.open_form(copies[0]));
        EXPECT_TRUE(numbers_of(copy).equals(old_tables));
    }
}

// A write the unit's compression refuses: the result dialog shows the error and, under it, the
// channels that fit no form, grown to hold every line of that reason above its button.
TEST(ProgressDialog, ARefusedWriteShowsItsWholeReasonUnderTheError) {
    ManualClock clock;
    SimConfig config = UnitOnPort0::with_firmware("9610");
    config.type_count = 1; // second differences only
    UnitOnPort0 unit(config);
    Program p;
    clock.sleep_ms(1000);
    PARTAB zigzag(50);
    std::vector<PARTAB> tables;
    for (int32_t k = 0; k < 7; ++k) {
        for (int32_t i = 0; i < 50; ++i)
            zigzag.point(i) = k + (i % 2) * 1000;
        tables.push_back(zigzag);
    }
    p.main->project().take_group(group({tables[0], tables[1], tables[2], tables[3], tables[4],
                                        tables[5], tables[6], line(20)}),
                                 "zigzags");
    p.main->refresh(-1);
    without_copy_or_check(p);
    p.dialogs.answers = {Answer::ok};
    TLinkForm1* form = p.main->link_form();
    QString shown;
    bool whole = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!form->show_result || !form->isVisible() || !shown.isEmpty())
            return;
        auto* label = form->findChild<QLabel*>(QStringLiteral("Label2"));
        auto* button = form->findChild<QPushButton*>(QStringLiteral("CancelBtn"));
        shown = label->text();
        whole = label->height() >= label->heightForWidth(label->width()) &&
                label->geometry().bottom() < button->y() &&
                button->geometry().bottom() < form->height();
        button->click();
    });
    poll.start(5);
    p.action("NStrWrite")->trigger();
    EXPECT_EQ(shown, u("Ошибка сжатия таблиц\nКаналы 1, 2, 3, 4, 5, 6, 7 (контроль «OK*») не "
                       "помещаются ни в один формат этой системы."));
    EXPECT_TRUE(whole);
    EXPECT_EQ(form->height(), 85); // back to its own size for the next operation
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
    // Once the dialog has closed: a cancel is a cancel, and a unit that never became ready
    // was sent nothing of the write.
    EXPECT_EQ(p.dialogs.messages,
              std::vector<QString>{u("Операция прервана пользователем.\rТаблицы в системе не "
                                     "изменены.")});
    const std::string logged = last_log_line();
    EXPECT_EQ(logged.substr(logged.size() - 8), "  ubreak") << logged;
}

// A port held by another program: the error stays on screen until dismissed, with a beep, and
// ends the log line; the failed read has already given the project up.
TEST(ProgressDialog, PortBusyIsShownAndLoggedAndTheFailedReadLeavesNoProject) {
    HoldingClock clock;
    UnitOnPort0 unit("6362");
    const std::shared_ptr<LinePort> holder = make_line_port(0);
    ASSERT_EQ(holder->open_with(0, kKLine), OpenResult::ok);
    Program p;
    clock.sleep_ms(1000);
    open_example(p, "rgs50.fs31");
    ASSERT_FALSE(p.grid()->isHidden());
    p.main->project().set_modified(false);
    auto* project_bar = p.main->findChild<StatusBar*>(QStringLiteral("ProjBar"));
    ASSERT_TRUE(project_bar->panel(1).endsWith(QStringLiteral("rgs50.fs31")));

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
    EXPECT_EQ(project_bar->panel(1), QString()); // the empty project, not the old file
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

namespace {

// Tables that no unit could pack are refused before the question, with the channels: nobody is
// asked about a write that cannot happen, and nothing is sent.
TEST(SafeChanges, AWriteNoUnitCouldPackIsRefusedBeforeTheQuestion) {
    HoldingClock clock;
    UnitOnPort0 unit(v9600());
    Program p;
    clock.sleep_ms(1000);
    // More points than any unit's directory counts.
    PARTAB long_table(65536);
    for (int32_t i = 0; i < 65536; ++i)
        long_table.point(i) = i * 10;
    p.main->project().take_group(group({line(40), long_table}), "long");
    p.main->refresh(-1);
    p.action("NStrWrite")->trigger();
    EXPECT_TRUE(p.dialogs.questions.empty());
    EXPECT_EQ(unit.unit->unit().bytes_received(), 0);
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0], u("Ошибка сжатия таблиц"));
    EXPECT_EQ(p.dialogs.message_reasons[0].left(8), u("Канал 2 "))
        << p.dialogs.message_reasons[0].toStdString();
}

} // namespace
