#include "editor/edit_tab_form.h"
#include "render/gui_text.h"

#include "editor/point_grid_model.h"
#include "editor_tables.h"
#include "scripted_dialogs.h"
#include "support/cp1251.h"
#include "testing/files.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;

namespace {

template <typename W = QWidget>
W* part(QWidget* editor, const char* name) {
    auto* w = editor->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QTableView* grid(QWidget* editor) { return part<QTableView>(editor, "StringGrid1"); }

QString cell(QWidget* editor, int row, int column) {
    return grid(editor)->model()->index(row - 1, column).data().toString();
}

bool framed(QWidget* editor, int row, int column) {
    return grid(editor)
        ->model()
        ->index(row - 1, column)
        .data(PointGridModel::kRedFrameRole)
        .toBool();
}

// Rows with a red frame in a column, counted from 1.
std::vector<int> framed_rows(QWidget* editor, int column) {
    std::vector<int> rows;
    for (int r = 1; r <= grid(editor)->model()->rowCount(); ++r)
        if (framed(editor, r, column))
            rows.push_back(r);
    return rows;
}

// Types `text` into the cell editor once it is up.
void type_into_cell_editor(const QString& text) {
    when_modal([text](QWidget* w) {
        auto* box = w->findChild<QLineEdit*>(QStringLiteral("EdBox"));
        ASSERT_NE(box, nullptr) << "the cell editor did not come up";
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    });
}

void press_enter_on(TEditTabForm& editor, int row, int column) {
    grid(&editor)->setCurrentIndex(grid(&editor)->model()->index(row - 1, column));
    QTest::keyClick(grid(&editor), Qt::Key_Return);
}

} // namespace

TEST(EditTabForm, AGapShowsNothingAndOnlyFsTablesGetTheCorrection) {
    FDATA tables = tables_of({rising_table(5), FORMA(), index_table({"0", "5", "9"}, kFormFs2)});
    tables.table(1).make_empty(kFormFs);
    TEditTabForm editor;
    editor.open_tables(u("проект"), tables, true, 1);
    EXPECT_EQ(part<QLabel>(&editor, "FilePanel")->text(), u("проект"));
    EXPECT_EQ(part<QTabBar>(&editor, "TabControl1")->count(), 3);
    for (const char* name : {"StringGrid1", "ddvBox", "Image1", "FrGroup", "StGroup"})
        EXPECT_TRUE(part(&editor, name)->isHidden()) << name;
    for (const char* name : {"SNewButton", "SInsButton", "SDelButton", "corrButton"})
        EXPECT_FALSE(part(&editor, name)->isEnabled()) << name;

    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(2);
    EXPECT_EQ(editor.current(), 2);
    EXPECT_FALSE(grid(&editor)->isHidden());
    EXPECT_TRUE(part(&editor, "SNewButton")->isEnabled());
    EXPECT_FALSE(part(&editor, "corrButton")->isEnabled()); // integer litres, but not .fs
    EXPECT_EQ(editor.selected_row(), 1);
    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(0);
    EXPECT_TRUE(part(&editor, "corrButton")->isEnabled());
    EXPECT_EQ(part<QLabel>(&editor, "StResult")->text(), "OK ");
    EXPECT_EQ(cell(&editor, 3, 2), "0");
}

TEST(EditTabForm, RedFramesShowWhatTheUnitCannotTakeAndWhatDoesNotConvert) {
    // A step of 300 at level 3: second differences 300 and -300 around it.
    const FORMA jump = index_table({"0", "10", "20", "330", "340", "350"});
    FDATA tables =
        tables_of({jump, index_table({"-1", "40000", "40001"}), index_table({"0", "1.5", "x"}),
                   level_table({{"100", "5"}, {"2.5", "9"}, {"300", "20"}})});
    TEditTabForm editor;
    editor.open_tables(QString(), tables, true, 0);
    // ddV: column 1 carries the second difference centred on the row's point.
    EXPECT_EQ(framed_rows(&editor, 1), (std::vector<int>{3, 4}));
    EXPECT_TRUE(framed_rows(&editor, 2).empty());
    EXPECT_EQ(cell(&editor, 5, 2), "-300");
    EXPECT_EQ(part<QLabel>(&editor, "StResult")->text(), "OK*");
    part<QComboBox>(&editor, "ddvBox")->setCurrentIndex(1); // dV: every step fits a word
    EXPECT_TRUE(framed_rows(&editor, 1).empty());
    EXPECT_EQ(cell(&editor, 4, 2), "310");

    // A negative start value and a first step beyond 15 bits: column 2 in ddV, column 1 in dV.
    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(1);
    EXPECT_EQ(framed_rows(&editor, 1), (std::vector<int>{1, 2}));
    part<QComboBox>(&editor, "ddvBox")->setCurrentIndex(0);
    EXPECT_EQ(framed_rows(&editor, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(framed_rows(&editor, 1), (std::vector<int>{2}));
    EXPECT_EQ(part<QLabel>(&editor, "StResult")->text(), "OK**");

    // Texts that keep the table from converting: the graph goes, the cells are framed.
    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(2);
    EXPECT_EQ(framed_rows(&editor, 1), (std::vector<int>{2, 3}));
    EXPECT_EQ(part<QLabel>(&editor, "StResult")->text(), "-");
    EXPECT_TRUE(part(&editor, "Image1")->isHidden());
    EXPECT_TRUE(part(&editor, "FrGroup")->isHidden());
    EXPECT_EQ(cell(&editor, 2, 2), "");
    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(3);
    EXPECT_EQ(framed_rows(&editor, 0), (std::vector<int>{2}));
    EXPECT_TRUE(framed_rows(&editor, 1).empty());

    // From the import dialog: no control group, no differences, no frames on converted tables.
    editor.open_tables(QString(), tables, false, 0);
    EXPECT_TRUE(part(&editor, "StGroup")->isHidden());
    EXPECT_FALSE(part(&editor, "Image1")->isHidden());
    EXPECT_TRUE(framed_rows(&editor, 1).empty());
    EXPECT_EQ(cell(&editor, 5, 2), "");
}

TEST(EditTabForm, CellsAndPointButtonsEditTheTableInPlace) {
    FDATA tables = tables_of({rising_table(4), level_table({{"100", "5"}, {"300", "20"}})});
    TEditTabForm editor;
    editor.open_tables(QString(), tables, true, 0);
    FORMA& t = tables.table(0);

    type_into_cell_editor("777");
    press_enter_on(editor, 3, 1);
    EXPECT_EQ(t.volume_text(2), "777");
    EXPECT_EQ(cell(&editor, 3, 1), "777");
    EXPECT_EQ(editor.selected_row(), 3);
    // Index levels are not edited: their column never becomes current.
    grid(&editor)->setCurrentIndex(grid(&editor)->model()->index(1, 0));
    EXPECT_EQ(grid(&editor)->currentIndex(), grid(&editor)->model()->index(2, 1));

    part<QToolButton>(&editor, "SNewButton")->click();
    EXPECT_EQ(t.point_count(), 5);
    EXPECT_EQ(t.level_text(4), "4");
    EXPECT_EQ(editor.selected_row(), 5);
    editor.select_row(2);
    part<QToolButton>(&editor, "SInsButton")->click();
    EXPECT_EQ(t.volume_text(1), "0");
    EXPECT_EQ(t.volume_text(2), "10");
    EXPECT_EQ(t.level_text(2), "2");
    for (int i = 0; i < 4; ++i)
        part<QToolButton>(&editor, "SDelButton")->click();
    ASSERT_EQ(t.point_count(), 2);
    part<QToolButton>(&editor, "SDelButton")->click(); // never below two points
    EXPECT_EQ(t.point_count(), 2);
    EXPECT_EQ(grid(&editor)->model()->rowCount(), 2);

    // Explicit levels are edited like volumes.
    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(1);
    type_into_cell_editor("1,5");
    press_enter_on(editor, 1, 0);
    EXPECT_EQ(tables.table(1).level_text(0), "1,5");
    EXPECT_EQ(framed_rows(&editor, 0), (std::vector<int>{1}));
}

TEST(EditTabForm, ZoomSurvivesTheDifferenceModeButNotATabChange) {
    FDATA tables = tables_of({rising_table(200), rising_table(50)});
    TEditTabForm editor;
    editor.open_tables(QString(), tables, true, 0);
    VGRAF& graph = *editor.graph();
    auto* scroll = part<QScrollBar>(&editor, "FrScrollBar");
    EXPECT_TRUE(scroll->isHidden());
    EXPECT_TRUE(part(&editor, "SelGrowButton")->isHidden());

    graph.scroll_to(150);
    part<QToolButton>(&editor, "SelLowButton")->click();
    ASSERT_TRUE(graph.zoomed());
    EXPECT_FALSE(scroll->isHidden());
    EXPECT_EQ(scroll->maximum(), 199);
    EXPECT_EQ(scroll->value(), 150);
    EXPECT_EQ(scroll->singleStep(), 32);
    const float first = graph.range().first_level;
    part<QComboBox>(&editor, "ddvBox")->setCurrentIndex(1);
    EXPECT_TRUE(graph.zoomed());
    EXPECT_EQ(graph.range().first_level, first);

    // The scroll bar moves the view and the grid follows the cursor.
    editor.FrScrollBarScroll(60);
    EXPECT_EQ(graph.cursor_level(), 60);
    EXPECT_EQ(editor.selected_row(), 61);
    EXPECT_EQ(graph.range().first_level, 60 - 49);

    part<QTabBar>(&editor, "TabControl1")->setCurrentIndex(1);
    EXPECT_FALSE(graph.zoomed());
    EXPECT_EQ(graph.cursor_level(), 0);
    EXPECT_EQ(graph.range().last_level, 49);
    EXPECT_TRUE(scroll->isHidden());
}

TEST(EditTabForm, TheGridFollowsTheCursorInMillimetresForLevelTables) {
    FDATA tables =
        tables_of({level_table({{"0", "0"}, {"1000", "50"}, {"2000", "120"}, {"2500", "170"}})});
    TEditTabForm editor;
    editor.open_tables(QString(), tables, false, 0);
    editor.graph()->scroll_to(20); // 20 cm = 2000 tenths of a millimetre
    editor.follow_cursor();
    EXPECT_EQ(editor.selected_row(), 3);
    editor.graph()->scroll_to(21);
    editor.follow_cursor();
    EXPECT_EQ(editor.selected_row(), 4);
}

TEST(EditTabForm, TheMainWindowTakesTheCopyBackModifiedOnlyWhenItDiffers) {
    Program p;
    p.action("NPrjNew")->trigger();
    p.main->project().set_modified(false);
    bool main_hidden = false;
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w, p.tab_editor);
        main_hidden = p.main->isHidden();
        EXPECT_EQ(part<QLabel>(w, "FilePanel")->text(), "NONAME");
        w->close();
    });
    p.action("TabEditButton")->trigger();
    EXPECT_TRUE(main_hidden);
    EXPECT_FALSE(p.main->project().modified());
    EXPECT_EQ(p.tab_editor->graph(), nullptr);

    when_modal([&](QWidget* w) {
        type_into_cell_editor("250");
        press_enter_on(*p.tab_editor, 2, 1);
        w->close();
    });
    p.dialogs.answers = {UiDialogs::Answer::yes}; // "Сохранить изменения в таблицах?"
    p.action("NTabEdit")->trigger();
    EXPECT_TRUE(p.main->project().modified());
    EXPECT_EQ(p.cell(1, 3), "250");
    EXPECT_FALSE(p.main->isHidden());
}

TEST(EditTabForm, AnEditFromTheImportDialogIsImportedOnOk) {
    Program p;
    const std::string f1 = p.home.file("tank.f1");
    write_file(f1, "# T1\r\n| 0 0\r\n| 100 100\r\n| 200 300\r\n");
    bool dialog_up = false;
    when_modal([&](QWidget* dialog) {
        when_modal([&](QWidget* editor) {
            EXPECT_EQ(editor, p.tab_editor);
            EXPECT_TRUE(part(editor, "StGroup")->isHidden());
            type_into_cell_editor("-");
            press_enter_on(*p.tab_editor, 3, 1);
            editor->close();
        });
        part<QPushButton>(dialog, "EditButton")->click();
        // Still in its own loop, with the edit shown and OK gated by it.
        dialog_up = dialog->isVisible();
        EXPECT_EQ(p.import_grid()->item(0, 1)->text(), "-");
        EXPECT_FALSE(part(dialog, "OkButton")->isEnabled());
        when_modal([&](QWidget* editor) {
            type_into_cell_editor("500");
            press_enter_on(*p.tab_editor, 3, 1);
            editor->close();
        });
        part<QPushButton>(dialog, "EditButton")->click();
        EXPECT_TRUE(part(dialog, "OkButton")->isEnabled());
        ASSERT_TRUE(p.dialogs.answers.empty());      // both closes asked and kept the edits
        p.dialogs.answers = {UiDialogs::Answer::no}; // "Сохранить форму?"
        part<QPushButton>(dialog, "OkButton")->click();
    });
    p.dialogs.files = {ScriptedDialogs::chosen(f1)};
    p.dialogs.answers = {UiDialogs::Answer::yes, UiDialogs::Answer::yes};
    p.action("ImportButton")->trigger();
    EXPECT_TRUE(dialog_up);
    ASSERT_EQ(p.main->project().count(), 1);
    // Resampled: 500 litres at 20 mm = 2 cm.
    EXPECT_EQ(p.main->project().tables().table(0).volume_text(2), "500");
}

// Every change goes back and forth per table, across tab changes; the correction says what it
// did; closing asks only when the tables differ from what the editor was opened with, "Отмена"
// and Esc stay, and "Нет" leaves the project as it was.
TEST(EditTabForm, UndoRedoPerTableAndTheClosingQuestion) {
    Program p;
    const std::string fs = p.home.file("two.fs");
    write_fs(fs, {"A", "B"}, 5); // volumes 0, 100, 200 ... and 1, 101, 201 ...
    p.dialogs.files = {ScriptedDialogs::chosen(fs)};
    p.action("ImportButton")->trigger();
    ASSERT_EQ(p.main->project().count(), 2);
    p.main->project().set_modified(false);
    const FDATA opened = p.main->project().tables();
    const QString question = u("Сохранить изменения в таблицах?");

    when_modal([&](QWidget* w) {
        TEditTabForm& e = *p.tab_editor;
        auto* undo = part<QToolButton>(w, "UndoButton");
        EXPECT_EQ(undo->toolTip(), u("Отменить"));
        EXPECT_EQ(part<QToolButton>(w, "RedoButton")->toolTip(), u("Повторить"));
        EXPECT_FALSE(undo->isEnabled());
        const auto ctrl = [&](Qt::Key key) { QTest::keyClick(grid(w), key, Qt::ControlModifier); };

        type_into_cell_editor("0");
        press_enter_on(e, 2, 1);
        part<QToolButton>(w, "corrButton")->click();
        EXPECT_EQ(cell(w, 2, 1), "100");
        part<QToolButton>(w, "corrButton")->click(); // nothing left to correct: no undo step
        ASSERT_EQ(p.dialogs.messages.size(), 2u);
        EXPECT_EQ(p.dialogs.messages[0], u("Исправлено уровней: 1"));
        EXPECT_EQ(p.dialogs.messages[1], u("Коррекция не потребовалась"));

        part<QTabBar>(w, "TabControl1")->setCurrentIndex(1);
        EXPECT_FALSE(undo->isEnabled()); // the other table has no history of its own
        e.select_row(2);
        part<QToolButton>(w, "SDelButton")->click();
        EXPECT_EQ(grid(w)->model()->rowCount(), 4);
        ctrl(Qt::Key_Z);
        EXPECT_EQ(grid(w)->model()->rowCount(), 5);

        part<QTabBar>(w, "TabControl1")->setCurrentIndex(0);
        ctrl(Qt::Key_Z);
        EXPECT_EQ(cell(w, 2, 1), "0");
        ctrl(Qt::Key_Z);
        EXPECT_EQ(cell(w, 2, 1), "100");
        EXPECT_FALSE(undo->isEnabled());
        ctrl(Qt::Key_Y);
        EXPECT_EQ(cell(w, 2, 1), "0");
        part<QToolButton>(w, "UndoButton")->click();
        EXPECT_FALSE(e.tables_changed()); // back as opened: tab 1 was undone too
        part<QToolButton>(w, "RedoButton")->click();

        QTest::keyClick(w, Qt::Key_Escape); // no answer: "Отмена"
        EXPECT_TRUE(w->isVisible());
        p.dialogs.answers = {UiDialogs::Answer::no};
        w->close();
    });
    p.action("NTabEdit")->trigger();
    EXPECT_EQ(p.dialogs.questions, (std::vector<QString>{question, question}));
    EXPECT_TRUE(p.main->project().tables().equals(opened));
    EXPECT_FALSE(p.main->project().modified());

    // Closing without a change asks nothing.
    when_modal([&](QWidget* w) { w->close(); });
    p.action("NTabEdit")->trigger();
    EXPECT_EQ(p.dialogs.questions.size(), 2u);
}

// The label names the level under the mouse while it moves and the cursor's level otherwise;
// the grid's row and the cursor move each other; the fixed level column sends clicks to the
// row's volume.
TEST(EditTabForm, CursorLabelGridRowAndTheFixedColumnAgree) {
    FDATA tables = tables_of({rising_table(200)});
    TEditTabForm editor;
    editor.resize(804, 621);
    editor.open_tables(QString(), tables, true, 0);
    VGRAF& graph = *editor.graph();
    auto* label = part<QLabel>(&editor, "FrDia");
    EXPECT_EQ(label->text(), u("L = 0"));

    editor.Image1MouseDown(100, 100);
    editor.Image1MouseMove(300, 120, true);
    EXPECT_EQ(label->text(), u("L = ") + QString::number(graph.level_at(300)));
    editor.Image1MouseUp(300, 120);
    ASSERT_TRUE(graph.zoomed());
    EXPECT_EQ(label->text(), u("L = ") + QString::number(graph.cursor_level()));
    editor.Image1MouseMove(400, 120, false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(part(&editor, "Image1"), &leave);
    EXPECT_EQ(label->text(), u("L = ") + QString::number(graph.cursor_level()));

    // Arrow keys and clicks in the grid move the cursor to the row's level.
    const int32_t at = graph.cursor_level();
    ASSERT_EQ(editor.selected_row(), at + 1);
    QTest::keyClick(grid(&editor), Qt::Key_Down);
    EXPECT_EQ(graph.cursor_level(), at + 1);
    EXPECT_EQ(label->text(), u("L = ") + QString::number(at + 1));
    QTest::keyClick(grid(&editor), Qt::Key_Left); // into the fixed column: stays on the volume
    EXPECT_EQ(grid(&editor)->currentIndex().column(), 1);

    QTableView* view = grid(&editor);
    const QModelIndex level = view->model()->index(view->rowAt(40), 0);
    const QPoint in_level = view->visualRect(level).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, in_level);
    EXPECT_EQ(view->currentIndex(), view->model()->index(level.row(), 1));
    EXPECT_EQ(graph.cursor_level(), level.row());
    type_into_cell_editor("5");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, in_level);
    EXPECT_EQ(tables.table(0).volume_text(level.row()), "5");
}
