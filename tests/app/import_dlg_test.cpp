#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "support/cp1251.h"
#include "testing/files.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;
using Answer = UiDialogs::Answer;

namespace {

QPushButton* button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

// An .f1 file: explicit levels in tenths of a millimetre.
std::string write_f1(const std::string& path, int tables, const std::string& last_volume = "300") {
    std::string text;
    for (int k = 0; k < tables; ++k)
        text += "# T" + std::to_string(k + 1) + "\r\n| 0 0\r\n| 100 100\r\n| 200 " +
                (k == tables - 1 ? last_volume : "300") + "\r\n";
    write_file(path, text);
    return path;
}

} // namespace

TEST(ImportDlg, AFsFileGoesStraightIntoTheProject) {
    Program p;
    // Upper-case extensions are form files too.
    const std::string fs = p.home.file("a.FS");
    std::filesystem::rename(write_fs(p.home.file("a.fs"), {"A", "B"}), fs);
    bool shown = false;
    unless_modal(shown);
    p.dialogs.files = {ScriptedDialogs::chosen(fs)};
    p.action("ImportButton")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(p.main->project().count(), 2);
    EXPECT_EQ(p.cell(2, 4), "B");
    ASSERT_EQ(p.dialogs.requests.size(), 1u);
    EXPECT_EQ(p.dialogs.requests[0].filters,
              QStringList{u("Формы (fs*, f1) (*.[Ff][Ss]* *.[Ff]1)")});
}

TEST(ImportDlg, AFsFileWithATableThatDoesNotConvertIsShownWithOkDisabled) {
    Program p;
    const std::string fs = p.home.file("bad.fs");
    write_file(fs, "# good\r\n| 0 10 20\r\n# bad\r\n| 0 - 20\r\n");
    bool ok_enabled = true;
    QString control;
    when_modal([&](QWidget* w) {
        ASSERT_EQ(w, p.import);
        control = p.import_grid()->item(1, 1)->text();
        ok_enabled = button(w, "OkButton")->isEnabled();
        button(w, "CancelButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(fs)};
    p.action("ImportButton")->trigger();
    EXPECT_EQ(control, "-");
    EXPECT_FALSE(ok_enabled);
    EXPECT_EQ(p.main->project().count(), 0);
    EXPECT_TRUE(p.grid()->isHidden());
}

TEST(ImportDlg, AnF1FileIsShownForCheckingAndOkTakesIt) {
    Program p;
    const std::string f1 = write_f1(p.home.file("tank.f1"), 3);
    QString caption;
    int rows = 0;
    QStringList channels;
    when_modal([&](QWidget* w) {
        caption = w->windowTitle();
        rows = p.import_grid()->rowCount();
        for (int r = 0; r < rows; ++r)
            channels << p.import_grid()->item(r, 0)->text();
        EXPECT_EQ(p.import_grid()->item(0, 1)->text(), "OK ");
        EXPECT_TRUE(button(w, "OkButton")->isEnabled());
        button(w, "OkButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.action("ImportButton")->trigger();
    EXPECT_EQ(caption, u("Импорт ") + QString::fromStdString(f1));
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(channels, (QStringList{"1", "2", "3"}));
    ASSERT_EQ(p.main->project().count(), 3);
    EXPECT_EQ(p.cell(3, 4), "T3");
    EXPECT_FALSE(p.cell(1, 2).isEmpty());

    // The save dialog proposes the name without extension under the first filter.
    p.main->save_dialog();
    EXPECT_EQ(p.dialogs.requests.back().file_name.toStdString(), p.home.file("tank"));
    EXPECT_EQ(p.dialogs.requests.back().filter_index, 1);
}

TEST(ImportDlg, ALoneMinusVolumeDisablesOk) {
    Program p;
    const std::string f1 = write_f1(p.home.file("m.f1"), 2, "-");
    when_modal([&](QWidget* w) {
        EXPECT_EQ(p.import_grid()->item(0, 1)->text(), "OK ");
        EXPECT_EQ(p.import_grid()->item(1, 1)->text(), "-");
        EXPECT_FALSE(button(w, "OkButton")->isEnabled());
        button(w, "CancelButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.main->NTabAddFClick();
    EXPECT_EQ(p.main->project().count(), 0);
}

TEST(ImportDlg, ChangedHeaderAsksToSaveAndNoStillImportsIt) {
    Program p;
    p.action("NPrjNew")->trigger();
    p.dialogs.answers = {Answer::no}; // "Сохранить проект?" is not asked by add-from-file
    const std::string f1 = write_f1(p.home.file("h.f1"), 1);
    when_modal([&](QWidget*) {
        when_modal([&](QWidget* editor) {
            auto* box = editor->findChild<QLineEdit*>("EdBox");
            box->setText(u("Шапка"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        p.import_grid()->setCurrentCell(0, 2);
        QTest::keyClick(p.import_grid(), Qt::Key_Return);
        EXPECT_EQ(p.import_grid()->item(0, 2)->text(), u("Шапка"));
        button(p.import, "OkButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.action("NTabAddF")->trigger();
    ASSERT_EQ(p.dialogs.questions.size(), 1u);
    EXPECT_EQ(p.dialogs.questions[0], u("Сохранить форму?"));
    ASSERT_EQ(p.main->project().count(), 2);
    EXPECT_EQ(p.cell(2, 4), u("Шапка"));
    EXPECT_EQ(p.main->current_row(), 1);
}

TEST(ImportDlg, CancelOnSaveFormKeepsTheDialogOpenWhicheverButtonClosed) {
    Program p;
    const std::string f1 = write_f1(p.home.file("c.f1"), 2);
    std::vector<bool> visible;
    when_modal([&](QWidget* w) {
        p.import->project().set_header(0, "changed");
        p.dialogs.answers = {Answer::cancel, Answer::cancel, Answer::yes, Answer::no};
        button(w, "OkButton")->click();
        visible.push_back(w->isVisible());
        button(w, "CancelButton")->click();
        visible.push_back(w->isVisible());
        // Yes with a cancelled save dialog keeps it open as well.
        button(w, "CancelButton")->click();
        visible.push_back(w->isVisible());
        button(w, "CancelButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.action("ImportButton")->trigger();
    EXPECT_EQ(visible, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(p.dialogs.questions.size(), 4u);
    EXPECT_EQ(p.main->project().count(), 0); // cancelled in the end
}

TEST(ImportDlg, SaveFormWritesTheImportProjectInItsOwnKind) {
    Program p;
    const std::string f1 = write_f1(p.home.file("s.f1"), 1);
    when_modal([&](QWidget* w) {
        p.import->project().set_header(0, "renamed");
        p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("copy.fs"))};
        button(w, "SaveButton")->click();
        EXPECT_FALSE(p.import->project().modified());
        button(w, "OkButton")->click(); // nothing to ask any more
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.action("ImportButton")->trigger();
    EXPECT_TRUE(p.dialogs.questions.empty());
    // Without a description the dialog shows the patterns as the filter text gives them.
    EXPECT_EQ(p.dialogs.requests[1].filters, QStringList{"*.FS* *.F1 (*.[Ff][Ss]* *.[Ff]1)"});
    EXPECT_EQ(p.dialogs.requests[1].file_name.toStdString(), f1);
    const std::string saved = read_file(p.home.file("copy.f1"));
    EXPECT_NE(saved.find("# renamed"), std::string::npos);
    EXPECT_EQ(p.main->project().header(0), "renamed");
}

TEST(ImportDlg, AFileThatCannotBeLoadedLeavesTheProjectAlone) {
    Program p;
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("k.fs"), {"K"}))};
    p.action("ImportButton")->trigger();
    // A folder where the file is expected.
    std::filesystem::create_directory(p.home.file("dir.fs"));
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("dir.fs"))};
    p.action("NTabInsertF")->trigger();
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0], u("Файл испорчен!"));
    // Under the message, apart from it: which file, and what happened.
    EXPECT_EQ(p.dialogs.message_reasons[0],
              QString::fromStdString(p.home.file("dir.fs")) + u(": это папка"));
    // A count no unit table holds, on the fourth line: the reader stops there.
    write_file(p.home.file("count.fs2"), "# a\r\n// note\r\n\r\n| 70000\r\n1\r\n2\r\n");
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("count.fs2"))};
    p.action("NTabInsertF")->trigger();
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("gone.fs"))};
    p.action("ImportButton")->trigger();
    ASSERT_EQ(p.dialogs.messages.size(), 3u);
    EXPECT_EQ(p.dialogs.messages[1], u(" Ошибка формы! "));
    EXPECT_EQ(p.dialogs.message_reasons[1], QString::fromStdString(p.home.file("count.fs2")) +
                                                u(": строка 4: число точек больше 65535"));
    EXPECT_EQ(p.dialogs.messages[2], u("Файл испорчен!"));
    EXPECT_EQ(p.dialogs.message_reasons[2],
              QString::fromStdString(p.home.file("gone.fs")) + u(": файл не найден"));
    EXPECT_EQ(p.main->project().count(), 1);
    EXPECT_EQ(p.cell(1, 4), "K");
}

TEST(ImportDlg, InsertFromFilePutsTheFileBeforeTheSelectedRow) {
    Program p;
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("abc.fs"), {"A", "B", "C"}))};
    p.action("ImportButton")->trigger();
    p.grid()->selectRow(1);
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("xy.fs"), {"X", "Y"}))};
    p.action("NNTabInsertF")->trigger();
    ASSERT_EQ(p.main->project().count(), 5);
    QStringList headers;
    for (int r = 1; r <= 5; ++r)
        headers << p.cell(r, 4);
    EXPECT_EQ(headers, (QStringList{"A", "X", "Y", "B", "C"}));
    EXPECT_EQ(p.main->current_row(), 2);
    EXPECT_TRUE(p.main->project().modified());
    // Opening again asks about the modified project first; Cancel leaves everything as it was.
    p.action("ImportButton")->trigger();
    EXPECT_EQ(p.dialogs.questions.back(), u("Сохранить проект?"));
    EXPECT_EQ(p.dialogs.requests.size(), 2u);
    EXPECT_EQ(p.main->project().count(), 5);
}

TEST(ImportDlg, IsCentredOnTheScreenTheFirstTimeItShows) {
    Program p;
    const std::string f1 = write_f1(p.home.file("first.f1"), 3);
    QPoint centre, screen;
    when_modal([&](QWidget* w) {
        centre = w->frameGeometry().center();
        screen = w->screen()->availableGeometry().center();
        button(w, "CancelButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.action("ImportButton")->trigger();
    EXPECT_LE((centre - screen).manhattanLength(), 2) << centre.x() << "," << centre.y();
}

// "Канал" and "Контроль" never take the current cell, so Enter always edits a header; back from
// the cell editor the grid is refilled with row 1 selected.
TEST(ImportDlg, FixedColumnsNeverBecomeCurrentAndRowOneIsSelectedAgain) {
    Program p;
    const std::string f1 = write_f1(p.home.file("two.f1"), 2);
    QStringList edited;
    when_modal([&](QWidget* dialog) {
        QTableWidget* grid = p.import_grid();
        EXPECT_EQ(grid->currentRow(), 0);
        EXPECT_EQ(grid->currentColumn(), 2);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(1, 0)).center());
        QTest::keyClick(grid, Qt::Key_Left);
        EXPECT_EQ(grid->currentColumn(), 2);
        QTest::keyClick(grid, Qt::Key_Down);
        ASSERT_EQ(grid->currentRow(), 1);
        when_modal([&](QWidget* editor) {
            auto* box = editor->findChild<QLineEdit*>(QStringLiteral("EdBox"));
            edited << box->text();
            box->setText(QStringLiteral("X"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_EQ(grid->item(1, 2)->text(), "X");
        EXPECT_EQ(grid->currentRow(), 0);
        when_modal([&](QWidget* editor) {
            auto* box = editor->findChild<QLineEdit*>(QStringLiteral("EdBox"));
            edited << box->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QTest::keyClick(grid, Qt::Key_Return);
        button(dialog, "CancelButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.dialogs.answers = {Answer::no}; // "Сохранить форму?"
    p.action("ImportButton")->trigger();
    EXPECT_EQ(edited, (QStringList{"T2", "T1"}));
}
