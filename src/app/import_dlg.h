#pragma once
// The form import dialog: loads a form file into a project of its own and, when the file's
// tables need checking, shows them for the user to confirm.
#include "project/eproject.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace tgm {

class TEditDlg;
class TEditTabForm;

class TImportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TImportDlg(QWidget* parent = nullptr);
    // The one cell editor of the program.
    void set_edit_dlg(TEditDlg* editor) { edit_dlg_ = editor; }
    void set_table_editor(TEditTabForm* editor) { tab_editor_ = editor; }
    EPROJECT& project() { return project_; }

    // True when the import project holds tables the user accepted.
    bool run_import();
    // As run_import, for a file already chosen.
    bool import_file(const std::string& file_name);
    // A strap-table CSV or TSV file (one not in the export's layout first through the mapping
    // dialog): always shown for checking, channels that had to be resampled
    // marked in the grid.
    bool run_csv_import();
    void edit_header(int row);
    // Saves the import project in its own kind; true when it was saved.
    bool SaveButtonClick();
    void EditButtonClick();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show_project();
    void update_control_column();

    EPROJECT project_;
    // Bit k: table k came from a CSV channel that was resampled.
    uint32_t resampled_ = 0;
    TEditDlg* edit_dlg_ = nullptr;
    TEditTabForm* tab_editor_ = nullptr;
    QTableWidget* TabGrid;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    QPushButton* EditButton;
    QPushButton* SaveButton;
};

} // namespace tgm
