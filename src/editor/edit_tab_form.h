#pragma once
// The table editor: one tab per table, the grid of the current table's points with its point
// buttons, and the table's graph beside it. It edits the caller's copy of a table list in place.
#include "forms/fdata.h"
#include "render/vgraf.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QScrollBar;
class QTabBar;
class QTableView;
class QToolButton;

namespace tgm {

class GraphImage;
class PointGridModel;

class TEditTabForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditTabForm(QWidget* parent = nullptr);
    ~TEditTabForm() override;

    // Asks, on closing with changed tables, whether to hand them back. The program's windows
    // set it to their dialogs; unset, the changes are handed back.
    enum class CloseAnswer { yes, no, cancel };
    using CloseQuestion = std::function<CloseAnswer(QWidget* parent, const QString& text)>;
    void set_close_question(CloseQuestion ask) { close_question_ = std::move(ask); }

    // Opens on `tables` (the caller's, kept until the window closes) at tab `tab`; the caller
    // then shows the window modally. `overlay`, when given, holds a second list whose table of
    // each tab's slot the graph draws over that tab's, named `overlay_label`: the window keeps
    // its own copy for show only, never edits it and never hands it back.
    void open_tables(const QString& caption, FDATA& tables, bool control, int32_t tab,
                     const FDATA* overlay = nullptr, const QString& overlay_label = QString());
    void show_table();
    // Rows count from 1, one per point, as the window numbers them.
    void edit_cell(int row, int column);
    void follow_cursor();
    void update_range_controls();
    int selected_row() const;
    void select_row(int row);

    int32_t current() const { return current_; }
    // The graph while the window is open.
    VGRAF* graph() const { return graph_.get(); }

    // A table differs from what the window was opened with.
    bool tables_changed() const;

    void UndoButtonClick();
    void RedoButtonClick();
    void SNewButtonClick();
    void SInsButtonClick();
    void SDelButtonClick();
    void corrButtonClick();
    void TabControl1Change(int index);
    void ddvBoxChange(int index);
    void SelNotButtonClick();
    void SelLowButtonClick();
    void SelGrowButtonClick();
    void FrScrollBarScroll(int position);
    void Image1MouseDown(int x, int y);
    void Image1MouseMove(int x, int y, bool dragging);
    void Image1MouseUp(int x, int y);

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build_top_bar();
    void build_grid_side(QWidget* side);
    void build_graph_side(QWidget* side);
    FORMA* table() const;
    // After a command on the current table: `before` becomes its undo step when it changed.
    void record_change(FORMA before);
    void update_undo_buttons();
    // The grid's current row moved by the user: the cursor goes to that row's level.
    void grid_row_changed(int row);
    // The cursor's level in the label, unless the mouse names the level under it.
    void show_cursor_level();
    // A press or a double click on a fixed cell goes to the volume of its row.
    bool fixed_cell_click(QEvent* event);
    // One of the range buttons: the graph's range command, then the range controls.
    void change_range(void (VGRAF::*change)());
    // The second list's table of the current slot to the graph, when it holds one there.
    void overlay_current();

    FDATA* tables_ = nullptr;
    int32_t current_ = 0;
    bool control_ = false;
    std::unique_ptr<VGRAF> graph_;
    FDATA opened_; // the tables as the window was opened with them
    // The second list drawn over the tables, or none.
    bool overlaid_ = false;
    FDATA overlay_;
    QString overlay_label_;
    // Per table: earlier states (last one on top) and states taken back.
    std::vector<std::vector<FORMA>> undo_;
    std::vector<std::vector<FORMA>> redo_;
    CloseQuestion close_question_;
    // Set while the window itself moves the grid's current row.
    bool moving_row_ = false;

    QAction* undo_action_ = nullptr;
    QAction* redo_action_ = nullptr;
    QToolButton* UndoButton = nullptr;
    QToolButton* RedoButton = nullptr;

    QToolButton* SNewButton = nullptr;
    QToolButton* SInsButton = nullptr;
    QToolButton* SDelButton = nullptr;
    QToolButton* corrButton = nullptr;
    QLabel* FilePanel = nullptr;
    QTabBar* TabControl1 = nullptr;
    QTableView* StringGrid1 = nullptr;
    PointGridModel* grid_model_ = nullptr;
    QComboBox* ddvBox = nullptr;
    GraphImage* Image1 = nullptr;
    QFrame* FrGroup = nullptr;
    QLabel* FrDia = nullptr;
    QToolButton* SelLowButton = nullptr;
    QToolButton* SelGrowButton = nullptr;
    QToolButton* SelNotButton = nullptr;
    QScrollBar* FrScrollBar = nullptr;
    QGroupBox* StGroup = nullptr;
    QLabel* StResult = nullptr;
};

} // namespace tgm
