#pragma once
// The main window: the current project as a grid of channels, with every project and table
// command in the menus, the toolbar and the grid's pop-up menu.
#include "app/ui_dialogs.h"
#include "project/compare_marks.h"
#include "project/eproject.h"
#include "project/write_record.h"
#include "support/change_settings.h"

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTableWidget;

namespace tgm {

class DemoUnit;
class TBVLink;
class TEditTabForm;
class TImportDlg;
class TLinkForm1;
class StatusBar;
class TTraseForm;

class TPrjForm : public QMainWindow {
    Q_OBJECT
public:
    // `params`: the command-line parameters after the program name.
    explicit TPrjForm(const std::vector<std::string>& params, QWidget* parent = nullptr);
    ~TPrjForm() override;

    void set_import_dialog(TImportDlg* dialog) { import_dlg_ = dialog; }
    // Also gives the editor the program's dialogs for its closing question.
    void set_table_editor(TEditTabForm* editor);
    EPROJECT& project() { return project_; }
    TTraseForm* trase_form() const { return trase_; }
    TBVLink& link() { return *link_; }
    TLinkForm1* link_form() const { return link_form_; }
    // The port the unit is reached on: the simulated unit's while the demo runs, otherwise the
    // configured one.
    int32_t unit_port() const;
    // The simulated unit of the demo mode, or nullptr.
    DemoUnit* demo_unit() const { return demo_.get(); }
    // The selected row, 1 ... count (the caption row is 0); 0 without a selection.
    int current_row() const;

    void refresh(int row);
    void update_control_column();
    bool confirm_discard();
    bool save_dialog();
    void edit_header();
    // After a write or a clear: the newer units restart, the older ones need their power
    // switched (by the link's version_code). `more` (the check's verdict, the copy) follows on
    // lines of its own and is shown even for a unit that needs no notice.
    void show_activation_notice(int32_t version_code, const std::string& text,
                                const std::string& more = {},
                                MessageKind kind = MessageKind::information);

    void NPrjNewClick();
    void ImportButtonClick();
    void ExportButtonClick();
    void NExitClick();
    void NTabAddNewClick();
    void NTabInsertNewClick();
    void NTabInsertEmptyClick();
    void NTabCopyClick();
    void NTabCutClick();
    void NTabPasteClick();
    void NTabAddFClick();
    void NTabInsertFClick();
    void NTabDeleteClick();
    void NTabEditClick();
    void NStrReadClick();
    void NStrWriteClick();
    void NStrClearClick();
    void NStrCompareClick();
    void NChanClick();
    void NfolderClick();
    void NTraseClick();
    void NBiButtonClick();
    void AboutClick();
    void NUpdateClick();

    // Opens a form file as "Открыть" does, without its file dialog (the file named on the
    // command line).
    void open_file(const std::string& file_name);
    // Strap tables as CSV and the printed calibration sheets.
    void import_csv();
    void export_csv();
    void print_sheets();
    void export_pdf();
    // The protocol of the last write of this session, printed or saved as PDF through the
    // print dialog.
    void print_write_protocol();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menus();
    void build_toolbar();
    void build_grid();
    QAction* make_action(const char* name, const QString& caption, void (TPrjForm::*handler)());
    void enable(const std::vector<const char*>& names, bool on);
    QAction* named(const char* name) const;
    void fill_row(int k);
    void set_caption();
    QString caption_text() const;
    QSize opening_size(const QString& caption_text) const;
    // The common frame of the system commands: status panels, the operation, the results.
    bool run_on_link(int32_t operation, const char* caption, const char* progress_word);
    // A write of the project's tables or a delete, made safe (prj_form_changes.cpp): asked
    // first, the unit's tables copied, the write read back, each step journalled. False when
    // the user did not agree.
    bool confirm_change(int32_t operation);
    // A write no unit could take is refused before the question, with its reason.
    bool write_possible();
    void change_unit(int32_t operation);
    // The port as the confirmation and the journal name it: the device, or the simulated unit.
    std::string unit_port_name() const;
    void toggle_change_setting(bool ChangeSettings::*setting, const char* action_name);
    // The grid's marks of the last comparison (prj_form_compare.cpp): taken from the link's
    // tables and `differences`, shown on channel k's cell, or dropped when the unit may have
    // changed.
    void mark_comparison(const std::vector<ChannelDifference>& differences);
    void show_mark(int k);
    void forget_marks();
    // The compare's message; with a difference worth seeing, it offers the graph.
    void show_differences(const QString& text);
    // The table editor at row r; while the grid holds marks, the unit's tables as compared are
    // drawn over the project's.
    void edit_tables(int r);
    // After tgm.cfg is read: a port number outside the port table gives way to the default
    // port, and the user is told (prj_form_params.cpp).
    void check_configured_port();
    // Timer1, the lockout of the system commands after start-up and after each of them. It
    // runs on the link's clock, so that tests control it.
    void start_lockout();
    bool lockout_running();
    void add_document_commands(QMenu* form_menu, QMenu* project_menu);
    // The save dialogs' proposal: the project's name with `extension` for its own.
    QString proposed_file_name(const char* extension) const;
    // Beeps and asks before files that exist are replaced; true when none does or the user
    // agrees.
    bool may_replace(const std::vector<std::string>& file_names);
    // The sheets are of converted tables: false, with the refusal shown, while one does not.
    bool exports_allowed();
    // Confirms discarding the project, runs `import` on the import dialog and takes what it
    // accepted.
    void open_through_import(const std::function<bool(TImportDlg&)>& import);
    // The save dialog until `save` is done with the chosen file (given `extension`) or the user
    // cancels; a "No" to the overwrite question or a failed write shows the dialog again.
    void save_through_dialog(
        UiDialogs::FileRequest request, const char* extension,
        const std::function<bool(const std::string& target, int filter_index)>& save);

    EPROJECT project_;
    TImportDlg* import_dlg_ = nullptr;
    TEditTabForm* tab_editor_ = nullptr;
    TTraseForm* trase_ = nullptr;
    QTableWidget* TabGrid = nullptr;
    StatusBar* ProjBar = nullptr;
    StatusBar* StrBar = nullptr;
    QMenu* NTab = nullptr;
    QMenu* PopupMenu1 = nullptr;
    std::unique_ptr<DemoUnit> demo_;
    std::unique_ptr<TBVLink> link_;
    ChangeSettings change_settings_;
    // The last write's record, whatever its outcome; none before a write has run.
    std::optional<WriteRecord> last_write_;
    CompareMarks marks_;
    TLinkForm1* link_form_ = nullptr;
    uint32_t lockout_started_ = 0;
    bool lockout_enabled_ = false;
    // The form file named on the command line, opened once the window first shows.
    std::string start_file_;
};

} // namespace tgm
