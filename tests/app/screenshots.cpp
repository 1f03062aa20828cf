// Draws the main window with an example project, the import dialog, the event log and the
// About box into PNG files, on whatever Qt platform is in use (offscreen by default).
#include "scripted_dialogs.h"

#include "app/about_form.h"
#include "app/trase_form.h"
#include "support/cp1251.h"
#include "support/hist.h"

#include <QDir>
#include <QPixmap>
#include <cstdio>

using namespace tgm;

namespace {

bool save(QWidget* w, const QString& file) {
    w->show();
    QApplication::processEvents();
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    return ok;
}

std::string write_example_f1(const std::string& path) {
    std::string text;
    const char* names[] = {"Резервуар 1 (бензин АИ-92)", "Резервуар 2 (дизельное топливо)",
                           "Резервуар 3 (бензин АИ-95)"};
    for (int k = 0; k < 3; ++k) {
        text += "# " + cp(names[k]) + "\r\n";
        for (int i = 0; i <= 10; ++i)
            text += "| " + std::to_string(i * 2500) + " " + std::to_string(i * (1900 + 300 * k) + i * i * 7) + "\r\n";
    }
    test::write_file(path, text);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out);
    bool ok = true;

    test::Program p({"-t"});
    const std::vector<std::string> headers = {"Резервуар 1 (бензин АИ-92)", "Резервуар 2 (ДТ)",
                                              "Резервуар 3 (АИ-95)", "Резервуар 4 (АИ-80)",
                                              "Резервуар 5 (ДТ зимнее)"};
    // A fixed folder, so the status bar reads the same in every run.
    QDir folder(QDir::tempPath() + QStringLiteral("/tgm-example"));
    folder.removeRecursively();
    folder.mkpath(QStringLiteral("."));
    const std::string project =
        test::write_fs(folder.filePath(QStringLiteral("station.fs")).toStdString(), headers, 320);
    p.dialogs.files = {test::ScriptedDialogs::chosen(project)};
    p.main->ImportButtonClick();
    p.main->project().insert_gap(3);
    p.main->refresh(2);
    ok &= save(p.main.get(), out + "/main-window.png");

    const std::string f1 = write_example_f1(folder.filePath(QStringLiteral("survey.f1")).toStdString());
    p.import->project().open_form(f1);
    ok &= save(p.import, out + "/import-dialog.png");
    p.import->hide();

    HIST* log = log_sink();
    log->add_line(cp("r2 K 6.21 Чтение таблиц"));
    log->append_to_last_line("OK");
    log->add_line(cp("w1 V 9.60 Запись таблиц"));
    log->append_to_last_line(cp("Ошибка связи"));
    log->add_line(cp("r2 K 6.21 Чтение таблиц"));
    log->append_to_last_line(cp("OK"));
    ok &= save(p.main->trase_form(), out + "/event-log.png");
    p.main->trase_form()->report = false;

    TAboutForm about(p.main.get());
    ok &= save(&about, out + "/about-box.png");
    folder.removeRecursively();
    return ok ? 0 : 1;
}
