// The main window's commands beyond the form files: strap tables as CSV for spreadsheets, and
// the calibration sheets printed or written as PDF.
#include "app/prj_form.h"

#include "app/import_dlg.h"
#include "app/ui_dialogs.h"
#include "forms/csv_reader.h"
#include "forms/csv_writer.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "render/calibration_sheet.h"
#include "render/gui_text.h"
#include "support/cp1251.h"

#include <QAction>
#include <QDate>
#include <QKeySequence>
#include <QMenu>
#include <QPrinter>

namespace tgm {
namespace {

// The chosen name with the extension the file gets: kept when it is there, else put in place of
// whatever extension was typed.
std::string with_extension(const std::string& file_name, const char* extension) {
    const std::string name = form_file_name(file_name, 0);
    const std::string typed = file_name.substr(name.size());
    std::string lower = typed;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == extension ? file_name : name + extension;
}

// Nothing to print: the chosen table is a gap, or every table is.
void report_no_sheets(QWidget* parent, int32_t table) {
    const QString text = table >= 0 ? QString::fromUtf8("Канал %1: пропуск").arg(table + 1)
                                    : QString::fromUtf8("Нет таблиц для печати");
    ui_dialogs().message(parent, text, MessageKind::warning);
}

} // namespace

void TPrjForm::add_document_commands(QMenu* form_menu, QMenu* project_menu) {
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    form_menu->addSeparator();
    form_menu->addAction(make_action("csvImport", u("Импорт CSV…"), &TPrjForm::import_csv));
    form_menu->addAction(make_action("csvExport", u("Экспорт CSV…"), &TPrjForm::export_csv));
    project_menu->addSeparator();
    project_menu->addAction(make_action("sheetPrint", u("Печать…"), &TPrjForm::print_sheets));
    named("sheetPrint")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    project_menu->addAction(make_action("pdfExport", u("Экспорт PDF…"), &TPrjForm::export_pdf));
    QAction* protocol =
        make_action("writeProtocol", u("Протокол записи…"), &TPrjForm::print_write_protocol);
    protocol->setEnabled(false); // until a write has run
    project_menu->addAction(protocol);
}

void TPrjForm::import_csv() {
    open_through_import([](TImportDlg& dialog) { return dialog.run_csv_import(); });
}

bool TPrjForm::exports_allowed() {
    if (project_.count() < 1)
        return false;
    const bool converts = project_.check_conversion();
    update_control_column();
    return converts;
}

void TPrjForm::export_csv() {
    if (!exports_allowed())
        return;
    UiDialogs::FileRequest request;
    request.filters = qt_filters(QStringLiteral("CSV|*.CSV"));
    request.file_name = proposed_file_name(".csv");
    save_through_dialog(request, ".csv", [this](const std::string& target, int) {
        GROUPTAB group;
        project_.build_group(group);
        return may_replace({target}) && write_csv_file(target, group);
    });
}

void TPrjForm::save_through_dialog(
    UiDialogs::FileRequest request, const char* extension,
    const std::function<bool(const std::string& target, int filter_index)>& save) {
    for (;;) {
        const UiDialogs::FileAnswer answer = ui_dialogs().save_file(this, request);
        if (!answer.accepted)
            return;
        request.file_name = answer.file_name;
        request.filter_index = answer.filter_index;
        if (save(with_extension(file_bytes(answer.file_name), extension), answer.filter_index))
            return;
    }
}

void TPrjForm::export_pdf() {
    if (!exports_allowed())
        return;
    const int32_t selected = current_row() - 1;
    UiDialogs::FileRequest request;
    request.filters = qt_filters(
        QString::fromUtf8("PDF, все таблицы|*.PDF|PDF, таблица канала %1|*.PDF").arg(selected + 1));
    request.file_name = proposed_file_name(".pdf");
    save_through_dialog(request, ".pdf", [this, selected](const std::string& target, int filter) {
        const int32_t tables = filter == 2 ? selected : -1;
        const CalibrationSheet sheets(project_, tables, QDate::currentDate());
        if (sheets.empty()) {
            report_no_sheets(this, tables);
            return true;
        }
        return may_replace({target}) && sheets.write_pdf(target);
    });
}

void TPrjForm::print_sheets() {
    if (!exports_allowed())
        return;
    const int32_t selected = current_row() - 1;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(CalibrationSheet::page_layout());
    printer.setDocName(QString::fromUtf8("Градуировочные таблицы"));
    bool selection = false;
    if (!ui_dialogs().print_setup(this, printer, selection))
        return;
    // The sheets are laid out for A4 whatever paper the dialog chose.
    printer.setPageLayout(CalibrationSheet::page_layout());
    const int32_t tables = selection ? selected : -1;
    const CalibrationSheet sheets(project_, tables, QDate::currentDate());
    if (sheets.empty())
        report_no_sheets(this, tables);
    else if (!sheets.print(printer))
        ui_dialogs().message(this, QString::fromUtf8("Ошибка печати"), MessageKind::error);
}

} // namespace tgm
