#include "render/gui_text.h"
#include "scripted_dialogs.h"

#include "app/about_form.h"
#include "app/trase_form.h"
#include "support/cp1251.h"
#include "support/hist.h"
#include "support/platform.h"
#include "support/report_writer.h"
#include "support/tappinfo.h"
#include "testing/files.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tgm;
using namespace tgm::test;

namespace {

std::string todays_report(const TempDir& home) {
    return home.path() + "/REPORT/" + report_file_name(local_time(std::time(nullptr)));
}

} // namespace

TEST(TraseForm, TrafficShowsTheLogCommandWhichTogglesTheWindow) {
    Program p({"-t"});
    TTraseForm* log = p.main->trase_form();
    const QRect owner = p.main->frameGeometry();
    EXPECT_EQ(log->pos(), QPoint(owner.x() + owner.width() - 20, owner.y() + owner.height() / 2));
    p.main->show();
    EXPECT_TRUE(log->isHidden());
    EXPECT_EQ(log->windowTitle(), u("Журнал операций"));

    p.action("TraseButton")->trigger();
    EXPECT_TRUE(log->isVisible());
    EXPECT_TRUE(p.action("NTrase")->isChecked());
    p.action("NTrase")->trigger();
    EXPECT_FALSE(log->isVisible());
    EXPECT_FALSE(p.action("NTrase")->isChecked());

    ASSERT_EQ(log_sink(), &log->log());
    log_sink()->add_line(cp("w1 Запись"));
    log_sink()->append_to_last_line("OK");
    EXPECT_EQ(log->findChild<QPlainTextEdit*>("Memo1")->toPlainText(), u("w1 Запись OK"));
}

TEST(TraseForm, ARunWithTrafficAppendsItsLogToTheDaysReport) {
    std::string report;
    {
        Program p({"-t"});
        log_sink()->add_line("r2 K");
        report = todays_report(p.home);
        p.main.reset();
        ASSERT_TRUE(file_exists(report));
        const std::string text = read_file(report);
        EXPECT_TRUE(QRegularExpression(R"(^\d{1,2}:\d\d:\d\d\r\nr2 K\r\n$)")
                        .match(QString::fromStdString(text))
                        .hasMatch())
            << text;
        EXPECT_EQ(log_sink(), nullptr);
    }
}

TEST(TraseForm, NoReportWithoutOperationsOrWithoutTraffic) {
    {
        Program p({"-t"});
        const std::string home = p.home.path();
        p.main.reset();
        EXPECT_FALSE(file_exists(home + "/REPORT"));
    }
    Program p;
    log_sink()->add_line("w1");
    p.main.reset();
    EXPECT_FALSE(file_exists(p.home.file("REPORT")));
}

TEST(TraseForm, AReportFolderThatCannotBeMadeIsReported) {
    Program p({"-t"});
    write_file(p.home.file("REPORT"), "x");
    log_sink()->add_line("w1");
    p.main.reset();
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0], u("Ошибка при создании каталога REPORT"));
}

TEST(AboutForm, ShowsTitleExecutableAndFourNumberVersion) {
    Program p({}, "title = " + cp("Станция") + "\r\n");
    TAboutForm about(p.main.get());
    EXPECT_EQ(about.windowTitle(), u("О программе"));
    EXPECT_EQ(about.findChild<QLineEdit*>("ProductName")->text(), u("Программа \"Станция\""));
    const QString version = about.findChild<QLineEdit*>("Version")->text();
    // The executable's name alone, whichever separator its path has (".exe" on Windows).
    const QString build = u(", сборка ") + QString::fromStdString(TAppInfo().version_text());
    EXPECT_TRUE(version == u("Исполняемый модуль:\t test_app") + build ||
                version == u("Исполняемый модуль:\t test_app.exe") + build)
        << version.toStdString();
    EXPECT_TRUE(QRegularExpression(u(R"(, сборка \d+\.\d+\.\d+\.\d+$)")).match(version).hasMatch());
    EXPECT_EQ(about.findChild<QPlainTextEdit*>("Comments")->toPlainText().count('\n'), 2);
}

TEST(AboutForm, UpdateCommandFollowsTheUpdaterSearch) {
    // The search looks at the current folder.
    struct InFolder {
        TempDir dir;
        std::filesystem::path previous = std::filesystem::current_path();
        InFolder() { std::filesystem::current_path(dir.path()); }
        ~InFolder() { std::filesystem::current_path(previous); }
    } in_folder;
    const TempDir& here = in_folder.dir;
    {
        Program without;
        EXPECT_FALSE(without.action("NUpdate")->isVisible());
    }
    write_file(here.file("update.ini"), "manager=\r\n");
    write_file(here.file("tgmupd"), "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(here.file("tgmupd"), std::filesystem::perms::owner_all);
    {
        Program with;
        EXPECT_TRUE(with.action("NUpdate")->isVisible());
        with.action("NUpdate")->trigger(); // exits 0: the program goes on, silent
        EXPECT_TRUE(with.dialogs.messages.empty());
    }
}
