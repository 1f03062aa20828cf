// The main window's system commands: read, write, delete and compare the unit's tables through
// the link thread and its progress dialog, and the lockout that keeps them one second apart.
#include "app/prj_form.h"

#include "app/link_form1.h"
#include "app/status_bar.h"
#include "app/ui_dialogs.h"
#include "changes/unit_change.h"
#include "operations/activation_notice.h"
#include "operations/tbvlink.h"
#include "operations/unit_messages.h"
#include "ports/timer.h"
#include "project/channel_compare.h"
#include "render/gui_text.h"
#include "support/cp1251.h"

namespace tgm {
namespace {

constexpr uint32_t kLockout = 1000;

} // namespace

void TPrjForm::start_lockout() {
    lockout_started_ = tick_ms();
    lockout_enabled_ = true;
}

bool TPrjForm::lockout_running() {
    if (lockout_enabled_ && tick_ms() - lockout_started_ >= kLockout)
        lockout_enabled_ = false;
    return lockout_enabled_;
}

bool TPrjForm::run_on_link(int32_t operation, const char* caption, const char* progress_word) {
    StrBar->set_panel(1, QStringLiteral("?"));
    StrBar->set_panel(2, u(progress_word));
    StrBar->set_panel(3, QStringLiteral("0"));
    StrBar->repaint_now();
    const bool ok = link_form_->run(*link_, operation, u(caption));
    StrBar->set_panel(1, qs(status_version(*link_, operation)));
    // A cancel shows as the cancel it was; a failure keeps its own text.
    StrBar->set_panel(2, qs(!ok && link_->cancel.load() ? cancelled_text() : link_->error_text));
    StrBar->set_panel(3, QString::number(link_->max_response.load()));
    StrBar->repaint_now();
    return ok;
}

void TPrjForm::show_activation_notice(int32_t version_code, const std::string& text,
                                      const std::string& more, MessageKind kind) {
    std::string message = activation_notice(version_code, text);
    if (!more.empty())
        message += (message.empty() ? "" : "\r") + more;
    if (!message.empty())
        ui_dialogs().message(this, qs(message), kind);
}

// The project goes whatever the outcome: the user has already agreed to give it up.
void TPrjForm::NStrReadClick() {
    if (lockout_running() || !confirm_discard())
        return;
    forget_marks();
    const bool ok = run_on_link(TBVLink::kRead, "Чтение таблиц", "Чтение...");
    project_.reset();
    if (ok && link_->group.count() > 0)
        project_.take_group(link_->group, cp("Система"));
    else if (ok)
        ui_dialogs().message(this, qs(no_tables_text()));
    refresh(-1);
    start_lockout();
}

// Both are asked first and run the steps of a safe change (prj_form_changes.cpp).
void TPrjForm::NStrWriteClick() {
    if (lockout_running() || !write_possible() || !confirm_change(TBVLink::kWrite))
        return;
    forget_marks(); // the unit's tables change
    change_unit(TBVLink::kWrite);
    start_lockout();
}

void TPrjForm::NStrClearClick() {
    if (lockout_running() || !confirm_change(TBVLink::kClear))
        return;
    forget_marks(); // the unit's tables change
    change_unit(TBVLink::kClear);
    start_lockout();
}

void TPrjForm::NStrCompareClick() {
    if (lockout_running())
        return;
    if (run_on_link(TBVLink::kRead, "Чтение таблиц", "Сравнение...")) {
        // An empty unit marks every project table as the project's only.
        const std::vector<ChannelDifference> differences =
            compare_with_project(link_->group, project_);
        mark_comparison(differences);
        if (link_->group.count() > 0) {
            const QString sentence = qs(comparison_sentence(differences.empty()));
            if (differences.empty())
                ui_dialogs().message(this, sentence);
            else
                show_differences(sentence + u("\r") + qs(difference_texts(differences)));
        } else {
            ui_dialogs().message(this, qs(no_tables_text()));
        }
    } else {
        forget_marks(); // what the unit holds is not known
    }
    start_lockout();
}

} // namespace tgm
