#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "app/status_bar.h"
#include "editor/edit_dlg.h"
#include "forms/fdata.h"
#include "support/cp1251.h"
#include "support/tappinfo.h"
#include "testing/files.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;
using Answer = UiDialogs::Answer;

namespace {

const char* const kGrowing[] = {
    "NTabAddNew",  "NTabAddF",  "NTabInsertNew",  "NTabInsertEmpty",  "NTabInsertF",  "NTabPaste",
    "NNTabAddNew", "NNTabAddF", "NNTabInsertNew", "NNTabInsertEmpty", "NNTabInsertF", "NNTabPaste"};

void press(QWidget* w, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}

} // namespace

TEST(PrjForm, StartsWithoutGridAndWithTheVersionInTheCaption) {
    Program p;
    EXPECT_TRUE(p.grid()->isHidden());
    EXPECT_FALSE(p.main->findChild<QMenu*>("NTab")->menuAction()->isEnabled());
    for (const char* name : {"ExportButton", "NFormWrite", "StrWriteButton", "NStrWrite",
                             "NStrCompare", "TabEditButton", "NTabPaste"})
        EXPECT_FALSE(p.action(name)->isEnabled()) << name;
    for (const char* name :
         {"SpeedButton1", "ImportButton", "StrReadButton", "NStrRead", "NStrClear"})
        EXPECT_TRUE(p.action(name)->isEnabled()) << name;
    EXPECT_FALSE(p.action("NTrase")->isVisible());
    EXPECT_FALSE(p.action("TraseButton")->isVisible());
    EXPECT_FALSE(p.action("N4")->isVisible());
    const QString caption = p.main->windowTitle();
    // "[*]" is Qt's mark of a changed project, shown as "*" only then.
    EXPECT_EQ(caption, u("Tarvel-Сервис. Градуировочные таблицы  (") +
                           QString::fromStdString(TAppInfo().version_text()) + ")[*]");
    EXPECT_TRUE(QRegularExpression(R"(  \(\d+\.\d+\.\d+\.\d+\)\[\*\]$)").match(caption).hasMatch());
    EXPECT_FALSE(p.main->isWindowModified());
    EXPECT_EQ(p.action("ImportButton")->toolTip(), u("Чтение из формы"));
    EXPECT_EQ(p.grid()->horizontalHeaderItem(3)->text(), u("Ёмкость (л)"));
    EXPECT_EQ(p.grid()->columnWidth(4), 147);
}

TEST(PrjForm, IniTitleAndTrafficReachTheWindow) {
    Program p({}, "title =  " + cp("Два слова") + " \r\ntraffic = off\r\n");
    EXPECT_TRUE(p.main->windowTitle().startsWith(u("Два слова  (")));
    EXPECT_TRUE(p.action("NTrase")->isVisible());
    EXPECT_TRUE(p.action("TraseButton")->isVisible());
    EXPECT_FALSE(p.action("NTrase")->isChecked());
}

TEST(PrjForm, NewProjectShowsOneTableAndCloseAsksFirst) {
    Program p;
    p.main->show();
    p.action("SpeedButton1")->trigger();
    ASSERT_FALSE(p.grid()->isHidden());
    EXPECT_EQ(p.grid()->rowCount(), 1);
    EXPECT_EQ(p.cell(1, 0), "1");
    EXPECT_EQ(p.cell(1, 2), "1");
    EXPECT_FALSE(p.cell(1, 1).isEmpty());
    EXPECT_TRUE(p.action("ExportButton")->isEnabled());
    EXPECT_TRUE(p.main->project().modified());
    EXPECT_TRUE(p.main->isWindowModified()); // the caption's "*"

    // Cancel, or Yes followed by a cancelled save dialog, keeps the program running.
    p.dialogs.answers = {Answer::cancel};
    EXPECT_FALSE(p.main->close());
    p.dialogs.answers = {Answer::yes};
    EXPECT_FALSE(p.main->close());
    EXPECT_TRUE(p.main->isVisible());
    ASSERT_EQ(p.dialogs.questions.size(), 2u);
    EXPECT_EQ(p.dialogs.questions[0], u("Сохранить проект?"));
    EXPECT_EQ(p.dialogs.requests.size(), 1u);
    p.dialogs.answers = {Answer::no};
    EXPECT_TRUE(p.main->close());
}

TEST(PrjForm, SaveDialogProposesTheNameAndTheChosenFilterDecidesTheKind) {
    Program p;
    const std::string tank = p.home.file("tank.fs2");
    write_fs(tank, {"a"});
    // Bring the file in through the import, so the project carries its name.
    p.dialogs.files = {ScriptedDialogs::chosen(tank)};
    p.action("NFormRead")->trigger();
    ASSERT_EQ(p.main->project().count(), 1);
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("x.fs"), 4)};
    p.action("ExportButton")->trigger();
    ASSERT_EQ(p.dialogs.requests.size(), 2u);
    const UiDialogs::FileRequest& r = p.dialogs.requests[1];
    EXPECT_EQ(r.file_name.toStdString(), p.home.file("tank"));
    EXPECT_EQ(r.filter_index, 3); // the kind of .fs2
    EXPECT_EQ(r.filters.size(), 5);
    EXPECT_EQ(r.filters[3], u("Форма fs31 (*.[Ff][Ss]31)"));
    // "Форма fs31" chosen and "x.fs" typed.
    EXPECT_TRUE(file_exists(p.home.file("x.fs31")));
    EXPECT_FALSE(file_exists(p.home.file("x.fs")));
    // The project is now the file saved, as the status bar and the caption say.
    EXPECT_FALSE(p.main->project().modified());
    EXPECT_FALSE(p.main->isWindowModified());
    EXPECT_EQ(p.main->project().name(), p.home.file("x.fs31"));
    auto* bar = p.main->findChild<StatusBar*>(QStringLiteral("ProjBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->panel(1), QString::fromStdString(p.home.file("x.fs31")));
}

TEST(PrjForm, NoToTheOverwriteQuestionReopensTheDialog) {
    Program p;
    p.action("NPrjNew")->trigger();
    const std::string target = p.home.file("old.fs");
    write_file(target, "keep");
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("old.FS")),
                       ScriptedDialogs::chosen(p.home.file("new"))};
    p.dialogs.answers = {Answer::no};
    EXPECT_TRUE(p.main->save_dialog());
    EXPECT_EQ(p.dialogs.requests.size(), 2u);
    EXPECT_EQ(p.dialogs.beeps, 1);
    ASSERT_EQ(p.dialogs.questions.size(), 1u);
    EXPECT_EQ(p.dialogs.questions[0],
              QString::fromStdString(target) + u(" уже существует.\r Заменить?"));
    EXPECT_EQ(read_file(target), "keep");
    EXPECT_TRUE(file_exists(p.home.file("new.fs")));
    // The second opening proposes what the user chose the first time.
    EXPECT_EQ(p.dialogs.requests[1].file_name.toStdString(), p.home.file("old.FS"));

    // Yes replaces the file.
    p.action("NTabAddNew")->trigger();
    p.dialogs.files = {ScriptedDialogs::chosen(target)};
    p.dialogs.answers = {Answer::yes};
    EXPECT_TRUE(p.main->save_dialog());
    EXPECT_NE(read_file(target), "keep");
}

TEST(PrjForm, FailedSaveReopensTheDialog) {
    Program p;
    p.action("NPrjNew")->trigger();
    write_file(p.home.file("plain"), "x");
    // A folder through a file cannot hold the form.
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("plain") + "/a.fs")};
    EXPECT_FALSE(p.main->save_dialog());
    EXPECT_EQ(p.dialogs.requests.size(), 2u);
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_TRUE(p.dialogs.messages[0].startsWith(u("Ошибка записи файла ")));
    EXPECT_TRUE(p.main->project().modified());

    // A write-protected file is refused, not replaced by the save's rename, and the message
    // says why under its first line.
    const std::string target = p.home.file("protected.fs");
    write_file(target, "the user's own file");
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    p.dialogs.files = {ScriptedDialogs::chosen(target)};
    p.dialogs.answers = {Answer::yes};
    EXPECT_FALSE(p.main->save_dialog());
    ASSERT_EQ(p.dialogs.messages.size(), 2u);
    const QString name = QString::fromStdString(target);
    EXPECT_EQ(p.dialogs.messages[1],
              u("Ошибка записи файла ") + name + u("\r") + name + u(": файл защищён от записи"));
    EXPECT_EQ(read_file(target), "the user's own file");
}

TEST(PrjForm, SixteenTablesDisableTheGrowingCommandsUntilADelete) {
    Program p;
    p.action("NPrjNew")->trigger();
    for (int i = 0; i < 15; ++i) {
        p.grid()->selectRow(p.grid()->rowCount() - 1);
        p.action("NTabAddNew")->trigger();
        // After adding, the selection goes back to row 1.
        EXPECT_EQ(p.main->current_row(), 1);
    }
    ASSERT_EQ(p.main->project().count(), 16);
    EXPECT_EQ(p.cell(16, 0), "16");
    for (const char* name : kGrowing)
        EXPECT_FALSE(p.action(name)->isEnabled()) << name;
    EXPECT_TRUE(p.action("NNTabCopy")->isEnabled());
    EXPECT_TRUE(p.action("NNTabDelete")->isEnabled());

    p.grid()->selectRow(4);
    p.dialogs.answers = {Answer::cancel};
    p.action("NTabDelete")->trigger();
    EXPECT_EQ(p.main->project().count(), 16);
    p.dialogs.answers = {Answer::ok};
    p.action("NNTabDelete")->trigger();
    EXPECT_EQ(p.main->project().count(), 15);
    EXPECT_EQ(p.dialogs.questions.back(),
              u("Удалить таблицу?\nКанал 5. Таблицы каналов 6–16 сдвинутся на один канал вверх; "
                "каналы сохраняет «Вставить пропуск»."));
    p.grid()->selectRow(14);
    p.action("NTabDelete")->trigger(); // the last table: nothing moves
    EXPECT_EQ(p.dialogs.questions.back(), u("Удалить таблицу?\nКанал 15."));
    p.grid()->selectRow(4);
    EXPECT_EQ(p.main->current_row(), 5);
    for (const char* name : kGrowing)
        EXPECT_TRUE(p.action(name)->isEnabled()) << name;
}

TEST(PrjForm, TableCommandsActOnTheSelectedRow) {
    Program p;
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("t.fs"), {"A", "B", "C"}))};
    p.action("ImportButton")->trigger();
    ASSERT_EQ(p.main->project().count(), 3);
    EXPECT_FALSE(p.main->project().modified());

    p.grid()->selectRow(1); // "B"
    p.action("NTabInsertEmpty")->trigger();
    EXPECT_EQ(p.main->current_row(), 2);
    EXPECT_EQ(p.cell(2, 0), "2");
    for (int c = 1; c < 5; ++c)
        EXPECT_EQ(p.cell(2, c), "") << c;
    EXPECT_EQ(p.cell(3, 4), "B");
    EXPECT_EQ(p.cell(3, 0), "3");

    p.grid()->selectRow(3); // "C"
    p.action("NTabCut")->trigger();
    EXPECT_EQ(p.main->project().count(), 3);
    p.grid()->selectRow(0);
    p.action("NNTabPaste")->trigger();
    EXPECT_EQ(p.cell(1, 4), "C");
    EXPECT_EQ(p.cell(2, 4), "A");
    EXPECT_TRUE(p.main->project().modified());
}

TEST(PrjForm, CutOnTheOnlyTableKeepsItAndFillsTheClipboard) {
    Program p;
    p.action("NPrjNew")->trigger();
    p.action("NTabCut")->trigger();
    EXPECT_EQ(p.main->project().count(), 1);
    EXPECT_TRUE(p.main->project().clipboard_full());
    EXPECT_TRUE(p.action("NTabPaste")->isEnabled());
    p.action("NTabPaste")->trigger();
    EXPECT_EQ(p.main->project().count(), 2);
}

TEST(PrjForm, EnterOpensTheHeaderEditorOverTheCell) {
    Program p;
    p.main->show();
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("t.fs"), {"A", "B"}))};
    p.action("ImportButton")->trigger();
    p.grid()->selectRow(1);

    QRect placed;
    when_modal([&](QWidget* w) {
        auto* editor = qobject_cast<TEditDlg*>(w);
        ASSERT_NE(editor, nullptr);
        placed = editor->geometry();
        auto* box = editor->findChild<QLineEdit*>("EdBox");
        EXPECT_EQ(box->text(), "B");
        box->setText(u("Новый"));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    press(p.grid(), Qt::Key_Return);
    EXPECT_EQ(p.main->project().header(1), "B");
    EXPECT_FALSE(p.main->project().modified());
    const QRect cell = p.grid()->visualRect(p.grid()->model()->index(1, 4));
    EXPECT_EQ(placed, QRect(p.grid()->viewport()->mapToGlobal(cell.topLeft()), cell.size()));

    when_modal([&](QWidget* w) {
        auto* box = w->findChild<QLineEdit*>("EdBox");
        box->setText(u("Новый"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    press(p.grid(), Qt::Key_Enter);
    EXPECT_EQ(p.main->project().header(1), cp("Новый"));
    EXPECT_EQ(p.cell(2, 4), u("Новый"));
    EXPECT_TRUE(p.main->project().modified());
}

TEST(PrjForm, FormsFolderCommandKeepsTheFolderAndWritesTheConfiguration) {
    Program p;
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.path() + "/forms/*.*")};
    p.action("Nfolder")->trigger();
    ASSERT_EQ(p.dialogs.requests.size(), 1u);
    EXPECT_EQ(p.dialogs.requests[0].title, u("Открыть папку"));
    EXPECT_EQ(p.dialogs.requests[0].file_name, "*.*");
    const std::string cfg = read_file(p.home.file("tgm.cfg"));
    const std::string folder = p.home.path() + "/forms/";
    EXPECT_NE(cfg.find(folder), std::string::npos);
    // The import dialog starts in the new folder.
    p.action("ImportButton")->trigger();
    EXPECT_EQ(p.dialogs.requests.back().folder.toStdString(), folder);
}

TEST(PrjForm, MenusCarryTheirCaptionsWithTrailingBlanks) {
    Program p;
    QStringList titles;
    for (QAction* a : p.main->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{u("Проект    "), u("Таблица       "), u("Параметры      "),
                                   u("Справка")}));
    EXPECT_EQ(p.action("NStrRead")->text(), u("Читать таблицы "));
    QStringList popup;
    for (QAction* a : p.main->findChild<QMenu*>("PopupMenu1")->actions())
        popup << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    EXPECT_EQ(popup, (QStringList{"NNTabAddNew", "NNTabInsertNew", "NNTabInsertEmpty", "-",
                                  "NNTabCopy", "NNTabCut", "NNTabPaste", "-", "NNTabAddF",
                                  "NNTabInsertF", "-", "NNTabDelete"}));
}

TEST(PrjForm, TheOverwriteQuestionNamesTheNumberedFilesThatWillBeWritten) {
    Program p;
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("t.fs"), {"A", "B", "C"}))};
    p.action("ImportButton")->trigger();
    write_file(p.home.file("x_t1.fs31"), "keep 1");
    write_file(p.home.file("x_t3.fs31"), "keep 3");
    // "Форма fs31" and x.fs31: x_t1 ... x_t3 will be written, x.fs31 itself never.
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("x.fs31"), 4),
                       ScriptedDialogs::chosen(p.home.file("y"), 4)};
    p.dialogs.answers = {Answer::no};
    EXPECT_TRUE(p.main->save_dialog());
    ASSERT_EQ(p.dialogs.questions.size(), 1u);
    EXPECT_EQ(p.dialogs.questions[0],
              QString::fromStdString(p.home.file("x_t1.fs31") + "\r" + p.home.file("x_t3.fs31")) +
                  u(" уже существуют.\r Заменить?"));
    EXPECT_EQ(p.dialogs.beeps, 1);
    EXPECT_EQ(read_file(p.home.file("x_t1.fs31")), "keep 1");
    EXPECT_FALSE(file_exists(p.home.file("x_t2.fs31")));
    EXPECT_TRUE(file_exists(p.home.file("y_t3.fs31")));

    // One existing file gets the question about it alone.
    std::filesystem::remove(p.home.file("y_t1.fs31"));
    std::filesystem::remove(p.home.file("y_t3.fs31"));
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("y.fs31"), 4)};
    p.dialogs.answers = {Answer::yes};
    EXPECT_TRUE(p.main->save_dialog());
    ASSERT_EQ(p.dialogs.questions.size(), 2u);
    EXPECT_EQ(p.dialogs.questions[1],
              QString::fromStdString(p.home.file("y_t2.fs31")) + u(" уже существует.\r Заменить?"));
    EXPECT_TRUE(file_exists(p.home.file("y_t1.fs31")));
}

TEST(PrjForm, TablesThatDoNotConvertAreNamedBeforeAnImportOrAnExport) {
    Program p;
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("t.fs"), {"A", "B", "C"}))};
    p.action("ImportButton")->trigger();
    FDATA edited;
    edited.assign(p.main->project().tables());
    edited.table(0).set_volume_text(1, "-");
    edited.table(2).set_volume_text(2, "1x");
    p.main->project().take_edited(edited);
    p.main->refresh(2);
    const QString refusal = u("Канал 1: таблица не преобразуется (Контроль \"-\")\r"
                              "Канал 3: таблица не преобразуется (Контроль \"-\")");
    const std::size_t asked = p.dialogs.requests.size();
    p.action("NTabAddF")->trigger();
    p.action("NNTabInsertF")->trigger();
    EXPECT_EQ(p.dialogs.requests.size(), asked); // no file dialog for nothing
    EXPECT_EQ(p.dialogs.messages, (std::vector<QString>{refusal, refusal}));
    EXPECT_EQ(p.dialogs.message_kinds.back(), MessageKind::warning);
    EXPECT_EQ(p.main->current_row(), 2);

    // An export into another kind says the same instead of a write error, and lets the user
    // choose again: the project's own kind keeps the texts as they stand.
    p.dialogs.files = {ScriptedDialogs::chosen(p.home.file("x.fs2"), 3),
                       ScriptedDialogs::chosen(p.home.file("x.fs"), 1)};
    EXPECT_TRUE(p.main->save_dialog());
    EXPECT_EQ(p.dialogs.messages.size(), 3u);
    EXPECT_EQ(p.dialogs.messages.back(), refusal);
    EXPECT_FALSE(file_exists(p.home.file("x.fs2")));
    EXPECT_TRUE(file_exists(p.home.file("x.fs")));
}

TEST(PrjForm, AfterOpeningTheGridHasTheFocusOnItsCurrentRow) {
    Program p;
    p.main->show();
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(p.home.file("t.fs"), {"A", "B"}))};
    p.action("ImportButton")->trigger();
    EXPECT_EQ(p.main->focusWidget(), p.grid());
    EXPECT_EQ(p.grid()->currentIndex().row(), 0);
    EXPECT_TRUE(p.grid()->selectionModel()->isRowSelected(0, QModelIndex()));
    // Down and Enter reach the second header.
    QString edited;
    when_modal([&](QWidget* editor) {
        edited = editor->findChild<QLineEdit*>("EdBox")->text();
        QTest::keyClick(editor->findChild<QLineEdit*>("EdBox"), Qt::Key_Escape);
    });
    QTest::keyClick(p.grid(), Qt::Key_Down);
    QTest::keyClick(p.grid(), Qt::Key_Return);
    EXPECT_EQ(edited, "B");
}

TEST(PrjForm, ToolButtonsLookDisabledOnlyWhenTheyAre) {
    Program p;
    // A disabled icon is grey and faint, an enabled one is neither.
    auto mean_alpha = [](const QImage& image) {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qAlpha(image.pixel(x, y));
        return sum / (image.width() * image.height());
    };
    auto coloured = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 128 &&
                    QColor(image.pixel(x, y)).hsvSaturation() > 100)
                    return true;
        return false;
    };
    for (const char* name : {"SpeedButton1", "ImportButton", "StrReadButton", "TabEditButton",
                             "StrWriteButton", "ExportButton", "NBiButton", "TraseButton"}) {
        const QIcon icon = p.action(name)->icon();
        const QImage normal = icon.pixmap(20, QIcon::Normal).toImage();
        const QImage disabled = icon.pixmap(20, QIcon::Disabled).toImage();
        EXPECT_GT(mean_alpha(normal), 2 * mean_alpha(disabled)) << name;
        EXPECT_GT(mean_alpha(disabled), 0) << name; // still legible
        EXPECT_FALSE(coloured(disabled)) << name;
    }
    // The new-project page carries colour of its own, so it never passes for a greyed button.
    EXPECT_TRUE(coloured(p.action("SpeedButton1")->icon().pixmap(20).toImage()));
    EXPECT_FALSE(p.action("TabEditButton")->isEnabled());
}

TEST(PrjForm, LongHeadersAndPathsShowInFullAndTheWindowGrowsTheHeaderColumn) {
    Program p;
    const std::string folder = p.home.path() + "/" + std::string(40, 'f');
    std::filesystem::create_directory(folder);
    const std::string header = "Резервуар №12 РВС-5000 (дизельное топливо, летнее)";
    p.dialogs.files = {ScriptedDialogs::chosen(write_fs(folder + "/farm.fs", {header}))};
    p.action("ImportButton")->trigger();
    EXPECT_EQ(p.grid()->item(0, 4)->toolTip(), u(header.c_str()));
    auto* name = p.main->findChild<StatusBar*>("ProjBar");
    EXPECT_EQ(name->panel(1), QString::fromStdString(folder + "/farm.fs"));
    EXPECT_EQ(name->findChildren<QLabel*>()[1]->toolTip(),
              QString::fromStdString(folder + "/farm.fs"));

    const QSize least = p.main->size();
    EXPECT_GE(least.width(), p.main->minimumWidth());
    p.main->show();
    QApplication::processEvents();
    const int header_width = p.grid()->columnWidth(4);
    EXPECT_GE(header_width, 147);
    p.main->resize(least + QSize(200, 0));
    QApplication::processEvents();
    EXPECT_EQ(p.grid()->columnWidth(4), header_width + 200);
    EXPECT_EQ(p.grid()->columnWidth(3), 64);
}

// The window opens wider than its smallest size: the whole caption and the example farm's
// headers fit, the frame stays on the screen, and the project's name panel takes the extra width.
TEST(PrjForm, OpensWideEnoughForTheCaptionAndTheExampleHeaders) {
    Program p;
    p.main->show();
    const QSize opened = p.main->size();
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(p.main->frameGeometry().width(), screen.width());
    EXPECT_LE(p.main->frameGeometry().height(), screen.height());
    EXPECT_GT(opened.width(), p.main->minimumWidth());
    EXPECT_LE(QFontMetrics(QApplication::font()).horizontalAdvance(p.main->windowTitle()) + 100,
              opened.width());

    p.dialogs.files = {ScriptedDialogs::chosen(examples_dir() + "/tank_farm.fs")};
    p.action("ImportButton")->trigger();
    ASSERT_EQ(p.main->project().count(), 16);
    const QFontMetrics grid(p.grid()->font());
    for (int r = 1; r <= 16; ++r)
        EXPECT_LE(grid.horizontalAdvance(p.cell(r, 4)) + 6, p.grid()->columnWidth(4)) << r;

    auto* bar = p.main->findChild<StatusBar*>(QStringLiteral("ProjBar"));
    auto* name = bar->findChildren<QLabel*>().at(1);
    const int before = name->width();
    p.main->resize(opened.width() + 100, opened.height());
    QApplication::processEvents();
    EXPECT_GE(name->width(), before + 90);
}
