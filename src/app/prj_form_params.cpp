// The main window's parameter and help commands: the port, forms folder, event log, the console,
// About, update.
#include "app/prj_form.h"

#include "app/about_form.h"
#include "app/bik_form.h"
#include "app/chan_cfg_form.h"
#include "app/demo_unit.h"
#include "app/trase_form.h"
#include "app/ui_dialogs.h"
#include "operations/tbvlink.h"
#include "ports/port_names.h"
#include "render/gui_text.h"
#include "support/chanpar.h"
#include "support/cp1251.h"
#include "support/file_locations.h"
#include "support/message_sink.h"
#include "support/syscfg.h"
#include "support/updater.h"

namespace tgm {

// tgm.cfg is written in place, so a save cut off can leave any number as its port; a
// pseudo-terminal's number would open someone else's terminal. The default port stands in,
// and reaches tgm.cfg with its next save.
void TPrjForm::check_configured_port() {
    int32_t& port = config().chanpar().port;
    if (is_table_port(port))
        return;
    const int32_t fallback = CHANPAR().port;
    show_message(cp("Порт ") + std::to_string(port) +
                     cp(" из tgm.cfg не входит в таблицу портов; выбран порт ") +
                     std::to_string(fallback) + " (" + utf8_to_cp1251(port_device_path(fallback)) +
                     ").\r" + port_table_text(),
                 MessageKind::warning);
    port = fallback;
}

// A port chosen here ends the demo: from then on the unit is the one on that port.
void TPrjForm::NChanClick() {
    {
        TChanCfgForm form(this, config().chanpar(), unit_port(),
                          demo_ ? cp("имитатор БВ ") + demo_->label() : std::string());
        form.exec();
        if (form.port_chosen() && demo_) {
            demo_.reset();
            set_caption();
        }
    }
    config().save_config();
    if (link_->port != unit_port())
        forget_marks(); // another unit
    link_->port = unit_port();
}

void TPrjForm::NfolderClick() {
    UiDialogs::FileRequest request;
    request.title = QString::fromUtf8("Открыть папку");
    request.folder = file_text(config().syspar().forms_folder());
    request.file_name = QStringLiteral("*.*");
    request.folder_only = true;
    const UiDialogs::FileAnswer answer = ui_dialogs().open_file(this, request);
    if (!answer.accepted)
        return;
    config().syspar().set_forms_folder(file_bytes(answer.file_name));
    config().save_config();
}

void TPrjForm::NTraseClick() {
    const bool show = !trase_->isVisible();
    trase_->setVisible(show);
    named("NTrase")->setChecked(show);
}

// The keypad choice is kept in memory; it reaches tgm.cfg with the next save of the
// configuration, at the latest when the program ends.
void TPrjForm::NBiButtonClick() {
    ConsoleParameters parameters = console_parameters();
    parameters.port = unit_port();
    parameters.keypad = config().syspar().console_keyboard;
    run_console(this, parameters);
    console_parameters() = parameters;
    config().syspar().console_keyboard = parameters.keypad;
}

void TPrjForm::AboutClick() {
    TAboutForm about(this);
    about.exec();
}

void TPrjForm::NUpdateClick() {
    if (updater().run_update(program_path()) == UPDATER::Outcome::replace)
        terminate_for_update();
}
} // namespace tgm
