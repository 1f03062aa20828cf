// Draws the main window with an example project, Qt's save dialog as the program opens it, the
// table editor, the import dialog, the progress dialog during a write and after a failure, the
// event log, the port dialogs, the About box and the console on a simulated unit into PNG files,
// on whatever Qt platform is in use (offscreen by default).
#include "scripted_dialogs.h"

#include "app/about_form.h"
#include "app/bik_form.h"
#include "app/link_form1.h"
#include "app/qt_translation.h"
#include "app/spreadsheet_mapping_dialog.h"
#include "app/status_bar.h"
#include "app/trase_form.h"
#include "forms/csv_reader.h"
#include "operations/tbvlink.h"
#include "render/gui_text.h"
#include "sim/sim_pty.h"
#include "support/cp1251.h"
#include "support/hist.h"
#include "testing/files.h"
#include "testing/holding_clock.h"
#include "testing/manual_clock.h"
#include "testing/pty_pair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <unistd.h>

using namespace tgm;

namespace {

bool save(QWidget* w, const QString& file) {
    w->show();
    QApplication::processEvents();
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    return ok;
}

// A copy in a fixed folder, so the status bar reads the same in every run.
std::string copy_example(const QDir& folder, const char* name) {
    const std::string target = folder.filePath(QString::fromLatin1(name)).toStdString();
    test::write_file(target, test::read_file(test::examples_dir() + "/" + name));
    return target;
}

// The console on a simulated 6362 unit that port 0 names, once its display has come.
bool save_console(test::Program& p, const QString& file) {
    SimConfig config;
    std::string error;
    SimPty unit(make_sim_unit(config, error));
    test::TempDir dev;
    if (!unit.open(error) || ::symlink(unit.slave_path().c_str(), dev.file("ttyS0").c_str()) != 0) {
        std::printf("FAILED %s: %s\n", qPrintable(file), error.c_str());
        return false;
    }
    test::EnvGuard dev_dir("TGM_DEV_DIR", dev.path());
    unit.start();
    bool ok = false;
    test::when_modal([&](QWidget* w) {
        auto* bar = w->findChild<StatusBar*>(QStringLiteral("StrBar"));
        ok = QTest::qWaitFor([bar] { return bar->panel(2) == QStringLiteral("OK"); }, 10000) &&
             save(w, file);
        w->close();
    });
    p.main->NBiButtonClick();
    return ok;
}

// A K unit on a pseudo-terminal that the link then uses.
std::unique_ptr<SimPty> unit_for_link(test::Program& p, int32_t init_polls) {
    SimConfig config;
    config.firmware = "9610";
    config.faults.init_polls = init_polls;
    std::string error;
    auto unit = std::make_unique<SimPty>(make_sim_unit(config, error));
    if (!unit->open(error))
        return nullptr;
    unit->start();
    p.main->link().port = unit->port();
    return unit;
}

// The progress dialog held in the middle of a write into a unit that is still initialising, then
// the error of one that never ends its initialisation. Their lines stay in the event log.
bool save_link_dialogs(test::Program& p, const QDir& folder, const QString& out) {
    test::HoldingClock clock;
    p.dialogs.files = {test::ScriptedDialogs::chosen(copy_example(folder, "station_litres.fs2"))};
    p.main->ImportButtonClick();
    // The write alone, agreed to: no copy, no check.
    p.action("backup_action")->trigger();
    p.action("verify_action")->trigger();
    p.dialogs.answers = {UiDialogs::Answer::ok, UiDialogs::Answer::ok};
    bool ok = false;
    {
        const auto unit = unit_for_link(p, 30);
        int sleeps = 0;
        clock.hold_if([&sleeps](uint32_t ms) { return ms >= 500 && ++sleeps == 12; });
        test::when_modal([&](QWidget* w) {
            const bool held = QTest::qWaitFor([&] { return clock.holding(); }, 10000);
            QTest::qWait(2 * TLinkForm1::kTick + 50); // the stage and the progress are up
            ok = held && save(w, out + "/progress-dialog.png");
            clock.release();
        });
        clock.sleep_ms(1000);
        p.main->NStrWriteClick();
    }
    const auto never_ready = unit_for_link(p, -1);
    TLinkForm1* form = p.main->link_form();
    QTimer poll;
    bool failed_shown = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (failed_shown || !form->show_result || !form->isVisible())
            return;
        failed_shown = true;
        ok &= save(form, out + "/failed-dialog.png");
        form->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    poll.start(5);
    clock.sleep_ms(1000);
    p.main->NStrWriteClick();
    p.main->link().port = 0;
    p.action("backup_action")->trigger();
    p.action("verify_action")->trigger();
    return ok && failed_shown;
}

// The boxes of a safe change, Qt's own: the write's question, its notice with the check, a
// compare that names the channels, the editor it opens with the unit's table over the
// project's, the grid's marks, and the delete's question (answered "Отмена").
bool save_change_boxes(test::Program& p, const QString& out) {
    test::ManualClock clock;
    const auto unit = unit_for_link(p, 0);
    if (!unit)
        return false;
    UiDialogs* scripted = set_ui_dialogs(nullptr);
    QStringList names = {"confirm-write.png", "write-checked.png", "compare-channels.png",
                         "compare-overlay.png", "confirm-delete.png"};
    bool ok = true;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() == p.tab_editor && !names.isEmpty()) {
            QApplication::processEvents();
            ok &= save(p.tab_editor, out + "/" + names.takeFirst());
            p.tab_editor->reject();
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || names.isEmpty())
            return;
        QApplication::processEvents();
        ok &= save(box, out + "/" + names.takeFirst());
        auto* act = box->findChild<QPushButton*>(QStringLiteral("act"));
        if (act && !names.isEmpty())
            act->click();
        else if (box->defaultButton())
            box->defaultButton()->click();
        else
            box->buttons().first()->click();
    });
    poll.start(20);
    clock.sleep_ms(1000);
    p.main->NStrWriteClick();
    FDATA edited = p.main->project().tables();
    edited.table(1).set_volume_text(120, "4510");
    edited.table(3).set_volume_text(edited.table(3).point_count() - 1, "");
    p.main->project().take_edited(edited);
    p.main->refresh(-1);
    clock.sleep_ms(1000);
    p.main->NStrCompareClick();
    ok &= save(p.main.get(), out + "/compare-marks.png");
    clock.sleep_ms(1000);
    p.main->NStrClearClick();
    poll.stop();
    set_ui_dialogs(scripted);
    p.main->link().port = 0;
    return ok && names.isEmpty();
}

// "Канал связи" and "Выбор порта" on a folder of stand-in devices.
bool save_port_dialogs(test::Program& p, const QString& out) {
    // A fixed folder, so the paths read the same in every run.
    QDir dev(QDir::tempPath() + QStringLiteral("/tgm-dev"));
    dev.removeRecursively();
    dev.mkpath(QStringLiteral("."));
    test::EnvGuard dev_dir("TGM_DEV_DIR", dev.path().toStdString());
    test::PtyPair com1, usb;
    const std::string folder = dev.path().toStdString();
    if (::symlink(com1.path().c_str(), (folder + "/ttyS0").c_str()) != 0 ||
        ::symlink(usb.path().c_str(), (folder + "/ttyUSB0").c_str()) != 0)
        return false;
    bool ok = true;
    test::when_modal([&](QWidget* chan) {
        ok &= save(chan, out + "/channel-dialog.png");
        test::when_modal([&](QWidget* ports) {
            ports->findChild<QListWidget*>(QStringLiteral("port_list"))->setCurrentRow(1);
            ok &= save(ports, out + "/port-dialog.png");
            ports->close();
        });
        chan->findChild<QPushButton*>(QStringLiteral("choose_button"))->click();
        chan->close();
    });
    p.main->NChanClick();
    dev.removeRecursively();
    return ok;
}

// The mapping dialog on a lab's table: title lines, two column pairs across, a column it does
// not need, millimetres and cubic metres.
bool save_mapping_dialog(const QString& file) {
    std::string text = "Градуировочная таблица резервуара РГС-50 №3;;;;\r\n;;;;\r\n"
                       "Уровень наполнения, мм;Вместимость, м³;Коэффициент вместимости, м³/мм;"
                       "Уровень наполнения, мм;Вместимость, м³\r\n";
    auto litres = [](int mm) { return mm * 19 + mm * mm / 400; };
    auto cubic = [](int l) {
        return std::to_string(l / 1000) + "," + std::to_string(1000 + l % 1000).substr(1);
    };
    for (int mm = 0; mm < 1600; ++mm) {
        text += std::to_string(mm) + ";" + cubic(litres(mm)) + ";0,019;" +
                std::to_string(mm + 1600) + ";" + cubic(litres(mm + 1600)) + "\r\n";
    }
    CsvSource source;
    std::string refusal;
    if (!find_csv_shape(text, source, refusal))
        return false;
    SpreadsheetMappingDialog dialog(source);
    return save(&dialog, file);
}

// A workbook of two tanks behind a title sheet: the sheet chooser, the whole workbook at once,
// the signature under the table named as left out.
bool save_workbook_mapping_dialog(const QString& file) {
    CsvSource source;
    if (!open_csv_file(test::examples_dir() + "/../tests/forms/workbooks/two_tanks.xlsx", source))
        return false;
    SpreadsheetMappingDialog dialog(source);
    return save(&dialog, file);
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    install_qt_translation();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out);
    bool ok = true;

    test::Program p({"-t"});
    QDir folder(QDir::tempPath() + QStringLiteral("/tgm-example"));
    folder.removeRecursively();
    folder.mkpath(QStringLiteral("."));
    p.dialogs.files = {test::ScriptedDialogs::chosen(copy_example(folder, "tank_farm.fs"))};
    p.main->ImportButtonClick();
    p.main->refresh(9);
    ok &= save(p.main.get(), out + "/main-window.png");

    // The save dialog is Qt's own: the scripted answers step aside for it.
    UiDialogs* scripted = set_ui_dialogs(nullptr);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ok = false;
            return;
        }
        // The folder is listed by a thread of its own; wait for it.
        QElapsedTimer waited;
        waited.start();
        const auto* model = dialog->findChild<QFileSystemModel*>();
        while (model && model->rowCount(model->index(dialog->directory().absolutePath())) == 0 &&
               waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents();
        ok &= save(dialog, out + "/save-dialog.png");
        dialog->reject();
    });
    p.main->save_dialog();
    set_ui_dialogs(scripted);

    // The editor on the first tank, zoomed by a band over the graph, one volume typed wrong.
    FDATA tables = p.main->project().tables();
    TEditTabForm* editor = p.tab_editor;
    editor->open_tables(name_text(p.main->project().name()), tables, true, 0);
    editor->show();
    QApplication::processEvents();
    tables.table(0).set_volume_text(61, "4425");
    editor->show_table();
    auto* image = editor->findChild<QWidget*>(QStringLiteral("Image1"));
    const int y = image->height() / 2;
    editor->Image1MouseDown(image->width() / 8, y);
    editor->Image1MouseMove(image->width() / 3, y + 40, true);
    editor->Image1MouseUp(image->width() / 3, y + 40);
    ok &= save(editor, out + "/table-editor.png");
    // Closing with the typed volume asks first: Qt's own box, answered "Да".
    scripted = set_ui_dialogs(nullptr);
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ok = false;
            return;
        }
        ok &= save(box, out + "/editor-close-question.png");
        box->button(QMessageBox::Yes)->click();
    });
    editor->done(QDialog::Accepted);
    set_ui_dialogs(scripted);

    p.import->project().open_form(copy_example(folder, "survey.f1"));
    ok &= save(p.import, out + "/import-dialog.png");
    p.import->hide();
    ok &= save_mapping_dialog(out + "/mapping-dialog.png");
    ok &= save_workbook_mapping_dialog(out + "/mapping-dialog-workbook.png");

    ok &= save_link_dialogs(p, folder, out);
    p.main->trase_form()->resize(640, 160); // the lines end in their results
    ok &= save(p.main->trase_form(), out + "/event-log.png");
    ok &= save_change_boxes(p, out);
    ok &= save_port_dialogs(p, out);
    p.main->trase_form()->report = false;

    TAboutForm about(p.main.get());
    ok &= save(&about, out + "/about-box.png");
    about.hide();
    ok &= save_console(p, out + "/console.png");
    folder.removeRecursively();
    return ok ? 0 : 1;
}
