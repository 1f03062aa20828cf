// The main window's CSV, print and PDF commands, and a form file named on the command line.
#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "app/program_arguments.h"
#include "app/qt_dialogs.h"
#include "forms/csv_writer.h"
#include "support/cp1251.h"
#include "testing/files.h"
#include "testing/pdf_reader.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;
using Answer = UiDialogs::Answer;

namespace {

std::string example(const char* name) { return examples_dir() + "/" + name; }

// Channel 1 as it stands, channel 3 at levels that need resampling; channel 2 has no rows.
const char kCsv[] = "Канал;Заголовок;Уровень, см;Объём, л\n"
                    "3;Бак 3;0;0\n3;Бак 3;2,5;250\n3;Бак 3;5;500\n"
                    "1;Бак 1;0;0\n1;Бак 1;1;10\n1;Бак 1;2;20\n";

} // namespace

TEST(Sheets, CsvImportIsAlwaysCheckedMarksResampledChannelsAndSavesAsFs) {
    Program p;
    const std::string csv = p.home.file("tanks.csv");
    write_file(csv, kCsv);
    QStringList channels;
    QString tip;
    when_modal([&](QWidget* w) {
        ASSERT_EQ(w, p.import);
        for (int r = 0; r < p.import_grid()->rowCount(); ++r)
            channels << p.import_grid()->item(r, 0)->text() + "|" +
                            p.import_grid()->item(r, 1)->text();
        tip = p.import_grid()->item(2, 0)->toolTip();
        p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("tanks.csv"))};
        p.import->SaveButtonClick();
        w->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(csv)};
    p.action("csvImport")->trigger();

    ASSERT_GE(p.dialogs.requests.size(), 2u);
    EXPECT_EQ(p.dialogs.requests[0].filters,
              QStringList{u("CSV, TSV, XLSX, ODS (*.[Cc][Ss][Vv] *.[Tt][Ss][Vv] *.[Xx][Ll][Ss][Xx] "
                            "*.[Oo][Dd][Ss])")});
    EXPECT_EQ(channels, (QStringList{"1|OK ", "2|", u("3 ≈|OK ")}));
    EXPECT_EQ(tip, u("Пересчитана на каждый сантиметр уровня, как форма .f1"));
    // The import's save writes a form beside the CSV file, never over it.
    EXPECT_EQ(p.dialogs.requests[1].file_name.toStdString(), p.home.file("tanks.fs"));
    EXPECT_TRUE(file_exists(p.home.file("tanks.fs")));
    EXPECT_EQ(read_file(csv), kCsv);

    ASSERT_EQ(p.main->project().count(), 3);
    EXPECT_EQ(p.cell(1, 3), "20");
    EXPECT_EQ(p.cell(2, 1), "");
    EXPECT_EQ(p.cell(3, 2), "6"); // 5 cm and one centimetre extrapolated
    EXPECT_FALSE(p.main->project().modified());
}

TEST(Sheets, ARefusedCsvFileNamesItsLinesAndLeavesTheProjectAsItWas) {
    Program p;
    p.action("NPrjNew")->trigger();
    const std::string csv = p.home.file("mm.csv");
    write_file(csv, "Канал;Заголовок;Уровень, см;Объём, л\r\n1;a;0;0\r\n1;b;1;x\r\n");
    p.dialogs.answers = {Answer::no}; // "Сохранить проект?"
    p.dialogs.files = {ScriptedDialogs::chosen(csv)};
    bool shown = false;
    unless_modal(shown);
    p.action("csvImport")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0],
              u("Строка 3: не прочитаны: нужны канал, заголовок, уровень (см) "
                "и объём (л), разделённые \";\"\r"
                "Строка 2: канал 1: меньше двух точек"));
    EXPECT_EQ(p.dialogs.message_kinds[0], MessageKind::warning);
    p.dialogs.answers = {Answer::no};
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("missing.csv"))};
    p.action("csvImport")->trigger();
    EXPECT_EQ(p.dialogs.messages.back(), u("Файл испорчен!"));
    EXPECT_EQ(p.main->project().count(), 1);
    EXPECT_EQ(p.main->project().name(), "NONAME");
    EXPECT_TRUE(p.main->project().modified());
}

TEST(Sheets, CsvExportAsksBeforeReplacingAndRefusesATableThatDoesNotConvert) {
    Program p;
    p.main->open_file(example("station_litres.fs2"));
    const std::string csv = p.home.file("out.csv");
    write_file(csv, "old");
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("out")), ScriptedDialogs::chosen(csv)};
    p.dialogs.answers = {Answer::no, Answer::yes};
    p.action("csvExport")->trigger();
    // "out" becomes out.csv; No asks again, Yes replaces it.
    ASSERT_EQ(p.dialogs.questions.size(), 2u);
    EXPECT_EQ(p.dialogs.questions[0],
              QString::fromStdString(csv) + u(" уже существует.\r Заменить?"));
    EXPECT_EQ(p.dialogs.beeps, 2);
    GROUPTAB group;
    p.main->project().build_group(group);
    EXPECT_EQ(read_file(csv), csv_text(group));

    FDATA bad = p.main->project().tables();
    bad.table(1).set_volume_text(1, "-");
    p.main->project().take_edited(bad);
    const std::size_t asked = p.dialogs.requests.size();
    for (const char* command : {"csvExport", "pdfExport", "sheetPrint"})
        p.action(command)->trigger();
    EXPECT_EQ(p.dialogs.requests.size(), asked); // refused before any dialog
    ASSERT_EQ(p.dialogs.messages.size(), 3u);
    EXPECT_EQ(p.dialogs.messages[0], u("Канал 2: таблица не преобразуется (Контроль \"-\")"));
    EXPECT_EQ(p.dialogs.message_kinds[0], MessageKind::warning);
}

TEST(Sheets, PdfAndPrintCoverTheSelectedTableOrAll) {
    Program p;
    p.main->open_file(example("tank_farm.fs"));
    p.grid()->selectRow(14); // channel 15: 1801 points, 1 + 8 sheets
    const std::string all = p.home.file("all.pdf");
    const std::string one = p.home.file("one.pdf");
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("all"), 1),
                       ScriptedDialogs::chosen(one, 2)};
    p.action("pdfExport")->trigger();
    p.action("pdfExport")->trigger();
    EXPECT_EQ(p.dialogs.requests[0].filters,
              (QStringList{u("PDF, все таблицы (*.[Pp][Dd][Ff])"),
                           u("PDF, таблица канала 15 (*.[Pp][Dd][Ff])")}));
    EXPECT_EQ(p.dialogs.requests[0].file_name.toStdString(), examples_dir() + "/tank_farm.pdf");
    EXPECT_EQ(pdf_pages(all), 68);
    EXPECT_EQ(pdf_pages(one), 9);
    EXPECT_NE(pdf_text(one, 1, 1).find(u("Заголовок").toStdString()), std::string::npos);

    const std::string printed = p.home.file("printed.pdf");
    p.dialogs.prints = {{printed, true}};
    p.action("sheetPrint")->trigger();
    EXPECT_EQ(pdf_pages(printed), 9);
    EXPECT_NE(pdf_text(printed, 9, 9).find("1800"), std::string::npos);

    // A gap has no sheets.
    p.action("NPrjNew")->trigger();
    p.main->NTabInsertEmptyClick();
    p.dialogs.files = {ScriptedDialogs::chosen(one, 2)};
    p.action("pdfExport")->trigger();
    EXPECT_EQ(p.dialogs.messages, std::vector<QString>{u("Канал 1: пропуск")});
    EXPECT_EQ(pdf_pages(one), 9);
}

TEST(Sheets, AFormFileOnTheCommandLineOpensOnceTheWindowShows) {
    // As the configuration reads them: "-t" is the switch only in first place.
    EXPECT_EQ(read_arguments({"-t", "--style=x", "a.fs", "b.fs"}).file, "a.fs");
    EXPECT_EQ(read_arguments({"--style=x", "-t"}).file, "-t");
    EXPECT_EQ(read_arguments({"-t", "--style=x"}).options, std::vector<std::string>{"--style=x"});

    Program opened({"-t", example("rgs50.fs31")});
    EXPECT_EQ(opened.main->project().count(), 0);
    opened.main->show();
    QApplication::processEvents();
    EXPECT_EQ(opened.main->project().count(), 1);
    EXPECT_EQ(opened.main->project().name(), example("rgs50.fs31"));

    Program unknown({"notes.txt"});
    unknown.main->show();
    QApplication::processEvents();
    EXPECT_EQ(unknown.dialogs.messages, std::vector<QString>{u("Неизвестная форма!")});
    EXPECT_EQ(unknown.main->project().count(), 0);
}

TEST(Sheets, TheSystemPrintDialogOffersTheSelectedTableAndCancelPrintsNothing) {
    QPrinter printer;
    bool offered = false;
    when_modal([&](QWidget* w) {
        auto* dialog = qobject_cast<QPrintDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
        dialog->reject();
    });
    bool selection = true;
    EXPECT_FALSE(QtDialogs().print_setup(nullptr, printer, selection));
    EXPECT_TRUE(offered);
}
