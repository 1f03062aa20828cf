// "Импорт CSV…" with a lab's table: the mapping dialog, then the import dialog as for any CSV.
#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "testing/files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;

namespace {

// Acts once on `dialog` when it is the modal window; the import dialog comes up only after the
// mapping dialog's own loop has ended.
void when_shown(QWidget* dialog, std::function<void()> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, dialog, act] {
        if (QApplication::activeModalWidget() != dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start(5);
}

} // namespace

TEST(SpreadsheetMapping, UnitsAreAskedForAndTheTableGoesOnIntoTheImportDialog) {
    Program p;
    // No units in the header; a level every 5 units.
    std::string text = "Резервуар №4\r\nH;V\r\n";
    for (int level = 0; level <= 300; level += 5)
        text += std::to_string(level) + ";" + std::to_string(level * 4) + "\r\n";
    const std::string csv = p.home.file("lab.csv");
    write_file(csv, text);

    std::vector<bool> ok_enabled;
    QStringList highest;
    QString import_channel;
    when_modal([&](QWidget* w) {
        auto* ok = w->findChild<QPushButton*>(QStringLiteral("ok_button"));
        auto* level = w->findChild<QComboBox*>(QStringLiteral("level_unit"));
        auto* volume = w->findChild<QComboBox*>(QStringLiteral("volume_unit"));
        auto* result = w->findChild<QTableWidget*>(QStringLiteral("result_grid"));
        ASSERT_TRUE(ok && level && volume && result);
        EXPECT_EQ(w->findChild<QComboBox*>(QStringLiteral("role_1"))->currentText(), u("уровень"));
        ok_enabled.push_back(ok->isEnabled());
        volume->setCurrentText(u("л"));
        ok_enabled.push_back(ok->isEnabled());
        level->setCurrentText(u("см"));
        ok_enabled.push_back(ok->isEnabled());
        highest << result->item(0, 2)->text();
        level->setCurrentText(u("мм"));
        highest << result->item(0, 2)->text() << result->item(0, 0)->text();
        level->setCurrentText(u("см"));
        highest << result->item(0, 0)->text();
        when_shown(p.import, [&] {
            import_channel = p.import_grid()->item(0, 0)->text();
            p.import->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
        });
        ok->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(csv)};
    p.action("csvImport")->trigger();

    EXPECT_EQ(ok_enabled, (std::vector<bool>{false, false, true}));
    // 300 cm, then 300 mm; every 5 cm is resampled, every 5 mm holds each whole centimetre.
    EXPECT_EQ(highest, (QStringList{"300", "30", "1", u("1 ≈")}));
    EXPECT_EQ(import_channel, u("1 ≈"));
    ASSERT_EQ(p.main->project().count(), 1);
    EXPECT_EQ(p.cell(1, 4), u("Резервуар №4"));
    EXPECT_EQ(p.cell(1, 3), "1204"); // 300 cm and one extrapolated: 301 cm at 4 l/cm
}

TEST(SpreadsheetMapping, CancelImportsNothing) {
    Program p;
    const std::string csv = p.home.file("lab.TSV");
    write_file(csv, "Level, mm\tVolume, l\n0\t0\n10\t5\n");
    when_modal([&](QWidget* w) {
        EXPECT_TRUE(w->findChild<QPushButton*>(QStringLiteral("ok_button"))->isEnabled());
        w->findChild<QPushButton*>(QStringLiteral("cancel_button"))->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(csv)};
    p.action("csvImport")->trigger();
    EXPECT_EQ(p.main->project().count(), 0);
    EXPECT_TRUE(p.dialogs.messages.empty());
}

// A workbook of a title sheet and two tanks: the first sheet holding a table is shown, another
// sheet shows its own rows and tables, the signature under each table is named as left out, and
// the whole workbook goes in sheet by sheet.
TEST(SpreadsheetMapping, AWorkbooksSheetsAreChosenOrTakenWhole) {
    Program p;
    const std::string book = p.home.file("tanks.xlsx");
    write_file(book, read_file(examples_dir() + "/../tests/forms/workbooks/two_tanks.xlsx"));
    QStringList shown;
    when_modal([&](QWidget* w) {
        auto* sheet = w->findChild<QComboBox*>(QStringLiteral("sheet"));
        auto* whole = w->findChild<QCheckBox*>(QStringLiteral("all_sheets"));
        auto* grid = w->findChild<QTableWidget*>(QStringLiteral("file_grid"));
        auto* result = w->findChild<QTableWidget*>(QStringLiteral("result_grid"));
        auto* skipped = w->findChild<QLabel*>(QStringLiteral("skipped_label"));
        ASSERT_TRUE(sheet && whole && grid && result && skipped);
        auto seen = [&] {
            shown << sheet->currentText() + "|" + grid->item(1, 0)->text() + "|" +
                         result->item(0, 2)->text() + "|" + skipped->text();
        };
        seen();
        sheet->setCurrentIndex(2);
        seen();
        sheet->setCurrentIndex(0); // the title sheet: no table, nothing to take
        shown << QString::number(result->rowCount()) +
                     (w->findChild<QPushButton*>(QStringLiteral("ok_button"))->isEnabled() ? "|ok"
                                                                                           : "|no");
        sheet->setCurrentIndex(1);
        whole->setChecked(true);
        shown << QString::number(result->rowCount());
        when_shown(p.import,
                   [&] { p.import->findChild<QPushButton*>(QStringLiteral("OkButton"))->click(); });
        w->findChild<QPushButton*>(QStringLiteral("ok_button"))->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(book)};
    p.action("csvImport")->trigger();
    EXPECT_EQ(shown, (QStringList{u("Резервуар 1|Резервуар 1|120|пропущена строка 125: текст"),
                                  u("Резервуар 2|Резервуар 2|80|пропущена строка 85: текст"),
                                  "0|no", "2"}));
    ASSERT_EQ(p.main->project().count(), 2);
    EXPECT_EQ(p.cell(2, 4), u("Резервуар 2"));
}
