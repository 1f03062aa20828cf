#pragma once
// The main window: the current project as a grid of channels, with every project and table
// command in the menus, the toolbar and the grid's pop-up menu.
#include "project/eproject.h"

#include <QMainWindow>
#include <QString>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTableWidget;
class QTimer;

namespace tgm {

class TEditTabForm;
class TImportDlg;
class TStatusBar;
class TTraseForm;

class TPrjForm : public QMainWindow {
    Q_OBJECT
public:
    // `params`: the command-line parameters after the program name.
    explicit TPrjForm(const std::vector<std::string>& params, QWidget* parent = nullptr);
    ~TPrjForm() override;

    void set_import_dialog(TImportDlg* dialog) { import_dlg_ = dialog; }
    void set_table_editor(TEditTabForm* editor) { tab_editor_ = editor; }
    EPROJECT& project() { return project_; }
    TTraseForm* trase_form() const { return trase_; }
    // The selected row, 1 ... count (the caption row is 0); 0 without a selection.
    int current_row() const;

    void refresh(int row);
    void update_control_column();
    bool confirm_discard();
    bool save_dialog();
    void edit_header();

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
    void NfolderClick();
    void NTraseClick();
    void NBiButtonClick();
    void AboutClick();
    void NUpdateClick();

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

    EPROJECT project_;
    TImportDlg* import_dlg_ = nullptr;
    TEditTabForm* tab_editor_ = nullptr;
    TTraseForm* trase_ = nullptr;
    QTableWidget* TabGrid = nullptr;
    TStatusBar* ProjBar = nullptr;
    TStatusBar* StrBar = nullptr;
    QMenu* NTab = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace tgm
