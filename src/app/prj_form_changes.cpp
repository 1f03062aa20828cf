// The main window's changes to the unit made safe: the confirmation, the copy of the unit's
// tables, the read back, the journal, the messages after a cancel or a failure, the two
// switches of "Параметры" that turn the copy and the check on and off, and the protocol of the
// last write.
#include "app/prj_form.h"

#include "app/demo_unit.h"
#include "app/link_form1.h"
#include "app/status_bar.h"
#include "app/ui_dialogs.h"
#include "changes/unit_change.h"
#include "forms/number_text.h"
#include "operations/activation_notice.h"
#include "operations/link_errors.h"
#include "operations/tbvlink.h"
#include "operations/unit_messages.h"
#include "ports/port_names.h"
#include "render/gui_text.h"
#include "render/write_protocol.h"
#include "support/cp1251.h"
#include "support/file_locations.h"

#include <QAction>
#include <QPrinter>

namespace tgm {

std::string TPrjForm::unit_port_name() const {
    if (demo_)
        return "имитатор БВ " + demo_->label();
    const std::string path = port_device_path(link_->port);
    return path.empty() ? std::to_string(link_->port) : path;
}

// One click that replaces or erases a unit's tables is asked about first; the delete's
// default answer is "Отмена".
bool TPrjForm::confirm_change(int32_t operation) {
    const QString port = QString::fromStdString(unit_port_name());
    QString text;
    if (operation == TBVLink::kWrite) {
        GROUPTAB tables;
        project_.build_group(tables);
        text = u("Таблиц проекта «") + name_text(project_.name()) + u("»: ") +
               QString::number(table_count(tables)) + u(".\rЗаписать их в систему на порту ") +
               port + u("?\rТаблицы, которые сейчас в системе, будут заменены.");
    } else {
        text = u("Удалить все таблицы в системе на порту ") + port + u("?");
    }
    const auto buttons = operation == TBVLink::kWrite ? UiDialogs::Buttons::write_cancel
                                                      : UiDialogs::Buttons::delete_cancel;
    return ui_dialogs().confirm(this, text, buttons, true) == UiDialogs::Answer::ok;
}

bool TPrjForm::write_possible() {
    if (!project_.check_conversion())
        return false; // its warning names the tables
    GROUPTAB tables;
    project_.build_group(tables);
    const std::string reason = packing_refusal(tables);
    if (reason.empty())
        return true;
    ui_dialogs().message_with_reason(this, qs(link_error_text(kPackingFailed)), qs(reason),
                                     MessageKind::warning);
    return false;
}

void TPrjForm::change_unit(int32_t operation) {
    const bool write = operation == TBVLink::kWrite;
    ChangeOptions options =
        change_options(operation, change_settings_.backup, change_settings_.verify,
                       unit_port_name(), project_.name());
    options.project_modified = project_.modified();
    // Each step's place in the whole, under the progress dialog's own caption and stage.
    const int32_t steps = 1 + (options.backup ? 1 : 0) + (options.verify ? 1 : 0);
    int32_t step_number = 0;
    const auto run = [&](UnitChange::Step step, int32_t op) {
        const char* what = step == UnitChange::Step::copy ? "копия таблиц системы"
                           : step == UnitChange::Step::verify ? "проверка"
                           : write                            ? "запись"
                                                              : "удаление";
        link_form_->set_step(u("Шаг %1 из %2: %3").arg(++step_number).arg(steps).arg(u(what)));
        if (step == UnitChange::Step::change)
            return write ? run_on_link(op, "Запись таблиц", "Запись...")
                         : run_on_link(op, "Удаление таблиц", "Удаление...");
        // The copy and the check are ordinary reads; the status bar keeps the change's result.
        return link_form_->run(*link_, TBVLink::kRead, u("Чтение таблиц"));
    };
    bool declined = false;
    const auto ask = [&](const std::string& error) {
        const QString text =
            u("Таблицы системы не прочитаны, копия не сделана:\r") + qs(error) +
            (write ? u("\rЗаписать таблицы без копии?") : u("\rУдалить таблицы без копии?"));
        declined = ui_dialogs().confirm(this, text,
                                        write ? UiDialogs::Buttons::write_cancel
                                              : UiDialogs::Buttons::delete_cancel,
                                        true) != UiDialogs::Answer::ok;
        return !declined;
    };
    GROUPTAB tables;
    if (write)
        project_.build_group(tables);
    UnitChange safe(*link_, options, run, ask);
    const bool started = safe.perform(operation, tables);
    link_form_->set_step(QString());
    // A cancel shows as the cancel it was, whichever step it stopped.
    if (safe.cancelled())
        StrBar->set_panel(2, qs(cancelled_text()));
    if (!started) {
        if (!declined) {
            std::string text = safe.why().empty() ? std::string() : safe.why() + "\r";
            text += (safe.cancelled() ? cancelled_text() + "\r" : std::string()) +
                    safe.unit_state_text();
            ui_dialogs().message(this, qs(text), MessageKind::warning);
        }
        return;
    }
    if (write) {
        last_write_ = safe.record();
        named("writeProtocol")->setEnabled(true);
    }
    if (safe.verify_read())
        mark_comparison(safe.differences());
    const std::string copy = safe.copy_file().empty() ? std::string()
                                                      : cp("\rКопия таблиц системы: ") +
                                                            utf8_to_cp1251(safe.copy_file());
    // How to put the unit's old tables back, after any change that may have reached the unit.
    const std::string put_back =
        safe.copy_file().empty() || safe.untouched()
            ? std::string()
            : copy + cp("\rЧтобы вернуть их, откройте копию («Открыть») и выполните «Записать в "
                        "систему».");
    const std::string what = change_done_text(operation);
    if (safe.changed()) {
        // The verdict (a cancelled check says so), what the unit then holds, the copy.
        std::string more = safe.verdict();
        if (!safe.succeeded() && !safe.unit_state_text().empty())
            more += (more.empty() ? "" : "\r") + safe.unit_state_text();
        more += put_back;
        if (!more.empty() && more[0] == '\r')
            more.erase(0, 1);
        show_activation_notice(safe.version_code(), what, more,
                               safe.succeeded() ? MessageKind::information : MessageKind::warning);
    } else {
        // The progress dialog has closed; what the unit may hold now, and the copy to put back.
        std::string text = safe.notice_due() ? activation_notice(safe.version_code(), what) : "";
        if (!text.empty())
            text += "\r";
        text += safe.cancelled() ? cancelled_text() + "\r" : "";
        text += safe.unit_state_text() + put_back;
        ui_dialogs().message(this, qs(text), MessageKind::warning);
    }
    if (!safe.journal_error().empty())
        ui_dialogs().message(this, qs(safe.journal_error()), MessageKind::warning);
}

void TPrjForm::toggle_change_setting(bool ChangeSettings::*setting, const char* action_name) {
    change_settings_.*setting = named(action_name)->isChecked();
    if (!change_settings_.save(home_folder()))
        ui_dialogs().message(
            this, u("Настройка не сохранена: ") + file_text(ChangeSettings::file(home_folder())),
            MessageKind::warning);
}

void TPrjForm::print_write_protocol() {
    if (!last_write_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(WriteProtocol::page_layout());
    printer.setDocName(u("Протокол записи градуировочных таблиц"));
    bool selection = false; // one page: there is nothing to select
    if (!ui_dialogs().print_setup(this, printer, selection))
        return;
    // Laid out for A4 whatever paper the dialog chose.
    printer.setPageLayout(WriteProtocol::page_layout());
    if (!WriteProtocol(*last_write_).print(printer))
        ui_dialogs().message(this, u("Ошибка печати"), MessageKind::error);
}

} // namespace tgm
