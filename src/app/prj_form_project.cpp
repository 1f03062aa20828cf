// The main window's project commands: new, open, save, exit and the question before giving up
// a modified project.
#include "app/prj_form.h"

#include "app/import_dlg.h"
#include "app/ui_dialogs.h"
#include "forms/form_kind.h"
#include "render/gui_text.h"

#include <filesystem>
#include <sys/stat.h>

namespace tgm {
namespace {

const char* const kSaveFilter =
    "Форма fs|*.FS|Форма fs1|*.FS1|Форма fs2|*.FS2|Форма fs31|*.FS31|Форма fs32|*.FS32";

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

bool TPrjForm::confirm_discard() {
    if (!project_.modified())
        return true;
    switch (ui_dialogs().confirm(this, QString::fromUtf8("Сохранить проект?"),
                                 UiDialogs::Buttons::yes_no_cancel, false)) {
    case UiDialogs::Answer::yes: return save_dialog();
    case UiDialogs::Answer::no: return true;
    default: return false;
    }
}

bool TPrjForm::save_dialog() {
    const int k0 = form_type_of_file(project_.name());
    auto kind_of = [](int index) { return index >= 2 && index <= 5 ? index : 1; };
    UiDialogs::FileRequest request;
    request.filters = qt_filters(QString::fromUtf8(kSaveFilter));
    request.filter_index = kind_of(k0);
    request.file_name = proposed_file_name("");
    for (;;) {
        const UiDialogs::FileAnswer answer = ui_dialogs().save_file(this, request);
        if (!answer.accepted)
            return false;
        const int kind = kind_of(answer.filter_index);
        request.filter_index = kind;
        request.file_name = answer.file_name;
        const std::string target = form_file_name(file_bytes(answer.file_name), kind);
        // Ask about the files the export will really write (x_t1.fs31 ... for several tables).
        if (may_replace(project_.tables().export_file_names(target, kind, -1)) &&
            project_.export_form(target, kind))
            return true;
    }
}

QString TPrjForm::proposed_file_name(const char* extension) const {
    // A project read from the unit is named in code page 1251, a file's name in the system's.
    return name_text(form_file_name(project_.name(), 0) + extension);
}

bool TPrjForm::may_replace(const std::vector<std::string>& file_names) {
    QStringList existing;
    for (const std::string& name : file_names)
        if (exists(name))
            existing << file_text(name);
    if (existing.isEmpty())
        return true;
    ui_dialogs().beep(500, 100);
    const char* verb =
        existing.size() == 1 ? " уже существует.\r Заменить?" : " уже существуют.\r Заменить?";
    return ui_dialogs().confirm(this, existing.join(QLatin1Char('\r')) + QString::fromUtf8(verb),
                                UiDialogs::Buttons::yes_no, true) == UiDialogs::Answer::yes;
}

void TPrjForm::NPrjNewClick() {
    if (confirm_discard()) {
        project_.new_project();
        refresh(-1);
    }
}

void TPrjForm::open_through_import(const std::function<bool(TImportDlg&)>& import) {
    if (!confirm_discard())
        return;
    if (import_dlg_ && import(*import_dlg_))
        project_.take_tables(import_dlg_->project());
    refresh(-1);
}

void TPrjForm::ImportButtonClick() {
    open_through_import([](TImportDlg& dialog) { return dialog.run_import(); });
}

void TPrjForm::open_file(const std::string& file_name) {
    // The status bar and the save dialog show the file as the open dialog would name it.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file_name, ec);
    const std::string name = ec ? file_name : absolute.lexically_normal().string();
    open_through_import([&name](TImportDlg& dialog) { return dialog.import_file(name); });
}

// The status bar and the caption show the file saved.
void TPrjForm::ExportButtonClick() {
    if (save_dialog())
        refresh(current_row());
}

void TPrjForm::NExitClick() { close(); }

} // namespace tgm
