// The table editor: construction, opening, showing a table, tabs, the graph and its range.
#include "editor/edit_tab_form.h"

#include "editor/graph_image.h"
#include "editor/point_grid_model.h"
#include "editor/red_frame_delegate.h"
#include "forms/form_kind.h"
#include "render/gui_text.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tgm {
namespace {

constexpr int kGridWidth = 204;
constexpr int kRowHeight = 18;

QToolButton* tool_button(QWidget* parent, const char* name, const char* hint, const QIcon& icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(u(hint));
    b->setIcon(icon);
    b->setAutoRaise(true);
    return b;
}

QToolButton* text_button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(u(caption));
    b->setMinimumWidth(32);
    return b;
}

} // namespace

TEditTabForm::TEditTabForm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TEditTabForm"));
    setWindowTitle(u("Редактор таблиц"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    build_top_bar();
    TabControl1 = new QTabBar(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setExpanding(false);
    connect(TabControl1, &QTabBar::currentChanged, this, &TEditTabForm::TabControl1Change);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    auto* grid_side = new QWidget(this);
    auto* graph_side = new QWidget(this);
    build_grid_side(grid_side);
    build_graph_side(graph_side);
    body->addWidget(grid_side);
    body->addWidget(graph_side, 1);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(2, 2, 2, 2);
    for (QWidget* w : {static_cast<QWidget*>(SNewButton), static_cast<QWidget*>(SInsButton),
                       static_cast<QWidget*>(SDelButton), static_cast<QWidget*>(corrButton),
                       static_cast<QWidget*>(UndoButton), static_cast<QWidget*>(RedoButton),
                       static_cast<QWidget*>(ddvBox)})
        top->addWidget(w);
    top->addWidget(FilePanel, 1);
    layout->addLayout(top);
    layout->addWidget(TabControl1);
    layout->addLayout(body, 1);
    resize(804, 621);
}

TEditTabForm::~TEditTabForm() = default;

void TEditTabForm::build_top_bar() {
    QStyle* s = style();
    SNewButton = tool_button(this, "SNewButton", "Новая запись",
                             s->standardIcon(QStyle::SP_FileDialogNewFolder));
    SInsButton =
        tool_button(this, "SInsButton", "Вставить запись", s->standardIcon(QStyle::SP_ArrowRight));
    SDelButton =
        tool_button(this, "SDelButton", "Удалить запись", s->standardIcon(QStyle::SP_TrashIcon));
    corrButton = tool_button(this, "corrButton", "Коррекция характеристики в области остатка",
                             s->standardIcon(QStyle::SP_BrowserReload));
    connect(SNewButton, &QToolButton::clicked, this, &TEditTabForm::SNewButtonClick);
    connect(SInsButton, &QToolButton::clicked, this, &TEditTabForm::SInsButtonClick);
    connect(SDelButton, &QToolButton::clicked, this, &TEditTabForm::SDelButtonClick);
    connect(corrButton, &QToolButton::clicked, this, &TEditTabForm::corrButtonClick);

    // Ctrl+Z and Ctrl+Y (and Ctrl+Shift+Z) reach them through keyPressEvent.
    undo_action_ = new QAction(s->standardIcon(QStyle::SP_ArrowBack), u("Отменить"), this);
    redo_action_ = new QAction(s->standardIcon(QStyle::SP_ArrowForward), u("Повторить"), this);
    connect(undo_action_, &QAction::triggered, this, &TEditTabForm::UndoButtonClick);
    connect(redo_action_, &QAction::triggered, this, &TEditTabForm::RedoButtonClick);
    UndoButton = new QToolButton(this);
    UndoButton->setObjectName(QStringLiteral("UndoButton"));
    UndoButton->setDefaultAction(undo_action_);
    UndoButton->setAutoRaise(true);
    RedoButton = new QToolButton(this);
    RedoButton->setObjectName(QStringLiteral("RedoButton"));
    RedoButton->setDefaultAction(redo_action_);
    RedoButton->setAutoRaise(true);

    ddvBox = new QComboBox(this);
    ddvBox->setObjectName(QStringLiteral("ddvBox"));
    ddvBox->addItems({QStringLiteral("ddV"), QStringLiteral("dV")});
    connect(ddvBox, &QComboBox::currentIndexChanged, this, &TEditTabForm::ddvBoxChange);

    FilePanel = new QLabel(this);
    FilePanel->setObjectName(QStringLiteral("FilePanel"));
    FilePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FilePanel->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void TEditTabForm::build_grid_side(QWidget* side) {
    side->setFixedWidth(kGridWidth);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    StringGrid1 = new QTableView(side);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    grid_model_ = new PointGridModel(this);
    StringGrid1->setModel(grid_model_);
    StringGrid1->setItemDelegate(new RedFrameDelegate(PointGridModel::kRedFrameRole, StringGrid1));
    // The column widths were made for a small, narrow face, as in the other grids.
    QFont font = StringGrid1->font();
    font.setPointSize(8);
    font.setStretch(QFont::SemiCondensed);
    StringGrid1->setFont(font);
    StringGrid1->horizontalHeader()->setFont(font);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setMinimumSectionSize(kRowHeight);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->horizontalHeader()->setFixedHeight(kRowHeight);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {52, 66, 64};
    for (int c = 0; c < 3; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->installEventFilter(this);
    StringGrid1->viewport()->installEventFilter(this);
    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                if (!moving_row_ && now.isValid())
                    grid_row_changed(now.row() + 1);
            });
    connect(StringGrid1, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int column = StringGrid1->currentIndex().isValid()
                               ? StringGrid1->currentIndex().column()
                               : index.column();
        select_row(index.row() + 1);
        edit_cell(index.row() + 1, column);
    });
    column->addWidget(StringGrid1, 1);

    StGroup = new QGroupBox(u("Контроль"), side);
    StGroup->setObjectName(QStringLiteral("StGroup"));
    auto* st = new QHBoxLayout(StGroup);
    StResult = new QLabel(StGroup);
    StResult->setObjectName(QStringLiteral("StResult"));
    QFont bold = StResult->font();
    bold.setBold(true);
    StResult->setFont(bold);
    st->addWidget(StResult);
    column->addWidget(StGroup);
}

void TEditTabForm::build_graph_side(QWidget* side) {
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Image1 = new GraphImage(side);
    connect(Image1, &GraphImage::pressed, this, &TEditTabForm::Image1MouseDown);
    connect(Image1, &GraphImage::moved, this, &TEditTabForm::Image1MouseMove);
    connect(Image1, &GraphImage::released, this, &TEditTabForm::Image1MouseUp);
    connect(Image1, &GraphImage::left, this, &TEditTabForm::show_cursor_level);
    connect(Image1, &GraphImage::resized, this, [this] {
        if (graph_)
            graph_->resize_view();
        Image1->update();
    });
    column->addWidget(Image1, 1);

    FrGroup = new QFrame(side);
    FrGroup->setObjectName(QStringLiteral("FrGroup"));
    auto* row = new QHBoxLayout(FrGroup);
    row->setContentsMargins(2, 0, 2, 2);
    auto* cursor = new QGroupBox(u("Курсор"), FrGroup);
    auto* cursor_row = new QHBoxLayout(cursor);
    FrDia = new QLabel(u("L = "), cursor);
    FrDia->setObjectName(QStringLiteral("FrDia"));
    FrDia->setMinimumWidth(70);
    cursor_row->addWidget(FrDia);
    auto* span = new QGroupBox(u("Диапазон"), FrGroup);
    auto* span_row = new QHBoxLayout(span);
    SelLowButton = text_button(span, "SelLowButton", "-");
    SelGrowButton = text_button(span, "SelGrowButton", "+");
    SelNotButton = text_button(span, "SelNotButton", "100%");
    FrScrollBar = new QScrollBar(Qt::Horizontal, span);
    FrScrollBar->setObjectName(QStringLiteral("FrScrollBar"));
    connect(SelLowButton, &QToolButton::clicked, this, &TEditTabForm::SelLowButtonClick);
    connect(SelGrowButton, &QToolButton::clicked, this, &TEditTabForm::SelGrowButtonClick);
    connect(SelNotButton, &QToolButton::clicked, this, &TEditTabForm::SelNotButtonClick);
    // Only the user's own moves: the window's setting of the position must not scroll again.
    connect(FrScrollBar, &QScrollBar::actionTriggered, this,
            [this](int) { FrScrollBarScroll(FrScrollBar->sliderPosition()); });
    span_row->addWidget(SelLowButton);
    span_row->addWidget(SelGrowButton);
    span_row->addWidget(SelNotButton);
    span_row->addWidget(FrScrollBar, 1);
    row->addWidget(cursor);
    row->addWidget(span, 1);
    column->addWidget(FrGroup);
}

FORMA* TEditTabForm::table() const {
    if (!tables_ || current_ < 0 || current_ >= static_cast<int32_t>(tables_->count))
        return nullptr;
    return &tables_->table(current_);
}

void TEditTabForm::open_tables(const QString& caption, FDATA& tables, bool control, int32_t tab,
                               const FDATA* overlay, const QString& overlay_label) {
    FilePanel->setText(caption);
    control_ = control;
    tables_ = &tables;
    opened_ = tables;
    overlaid_ = overlay != nullptr;
    overlay_ = overlaid_ ? *overlay : FDATA();
    overlay_label_ = overlay_label;
    graph_ = std::make_unique<VGRAF>(&Image1->image());
    const int32_t count = static_cast<int32_t>(tables.count);
    undo_.assign(static_cast<std::size_t>(count), {});
    redo_.assign(static_cast<std::size_t>(count), {});
    current_ = tab >= 0 && tab < count ? tab : 0;
    {
        const QSignalBlocker quiet(TabControl1);
        while (TabControl1->count() > 0)
            TabControl1->removeTab(0);
        for (int32_t k = 0; k < count; ++k)
            TabControl1->addTab(qs(tables.table(k).name));
        TabControl1->setCurrentIndex(current_);
        // A hidden tab bar does not tell the layout that its tabs arrived.
        TabControl1->updateGeometry();
    }
    {
        const QSignalBlocker quiet(ddvBox);
        ddvBox->setCurrentIndex(0);
    }
    graph_->reset_view(control_);
    overlay_current();
    show_table();
    if (!StringGrid1->isHidden())
        select_row(1);
}

void TEditTabForm::overlay_current() {
    const bool held = overlaid_ && current_ < static_cast<int32_t>(overlay_.count) &&
                      overlay_.table(current_).filled();
    graph_->set_overlay(held ? &overlay_.table(current_) : nullptr, overlay_label_);
}

bool TEditTabForm::tables_changed() const { return tables_ && !tables_->equals(opened_); }

void TEditTabForm::show_table() {
    FORMA* t = table();
    const bool present = t && t->filled() && graph_;
    update_undo_buttons();
    const QScopedValueRollback<bool> quiet(moving_row_, true);
    StringGrid1->setVisible(present);
    ddvBox->setVisible(present);
    Image1->setVisible(present);
    FrGroup->setVisible(present);
    StGroup->setVisible(present && control_);
    for (QToolButton* b : {SNewButton, SInsButton, SDelButton})
        b->setEnabled(present);
    corrButton->setEnabled(present && t->form_type == kFormFs);
    if (!present) {
        grid_model_->show_table(nullptr, nullptr, control_);
        StResult->clear();
        FrDia->setText(u("L = "));
        return;
    }

    graph_->prepare_graph(*t, ddvBox->currentIndex());
    if (graph_->valid()) {
        graph_->redraw_view();
        Image1->update();
        update_range_controls();
    } else {
        Image1->hide();
        FrGroup->hide();
    }

    // The grid is filled anew; the selected cell and the scrolled position stay.
    const int row = selected_row();
    const int column =
        StringGrid1->currentIndex().isValid() ? StringGrid1->currentIndex().column() : 1;
    const int top = StringGrid1->verticalScrollBar()->value();
    grid_model_->show_table(t, graph_.get(), control_);
    StringGrid1->verticalScrollBar()->setValue(top);
    if (row >= 1)
        StringGrid1->setCurrentIndex(
            grid_model_->index(std::min(row, t->point_count()) - 1, column));
    StResult->setText(qs(graph_->control_text()));
    show_cursor_level();
}

void TEditTabForm::TabControl1Change(int index) {
    if (!graph_)
        return;
    current_ = index;
    graph_->reset_view(control_);
    overlay_current();
    show_table();
    select_row(1);
}

void TEditTabForm::ddvBoxChange(int) {
    if (graph_)
        show_table();
}

void TEditTabForm::update_range_controls() {
    FrGroup->show();
    const bool part = graph_->zoomed();
    if (part) {
        const QSignalBlocker quiet(FrScrollBar);
        FrScrollBar->setRange(graph_->scroll_minimum(), graph_->scroll_maximum());
        FrScrollBar->setValue(graph_->scroll_position());
        FrScrollBar->setSingleStep(std::max(graph_->small_step(), 1));
        FrScrollBar->setPageStep(std::max(static_cast<int>(graph_->range().span), 1));
    }
    FrScrollBar->setVisible(part);
    SelNotButton->setVisible(part);
    SelGrowButton->setVisible(part);
    SelLowButton->show();
}

void TEditTabForm::change_range(void (VGRAF::*change)()) {
    if (!graph_)
        return;
    (graph_.get()->*change)();
    Image1->update();
    update_range_controls();
    show_cursor_level();
}

void TEditTabForm::SelNotButtonClick() { change_range(&VGRAF::show_all); }

void TEditTabForm::SelLowButtonClick() { change_range(&VGRAF::narrow_range); }

void TEditTabForm::SelGrowButtonClick() { change_range(&VGRAF::widen_range); }

void TEditTabForm::FrScrollBarScroll(int position) {
    if (!graph_)
        return;
    graph_->scroll_to(position);
    Image1->update();
    follow_cursor();
    show_cursor_level();
}

void TEditTabForm::Image1MouseDown(int x, int y) {
    if (graph_)
        graph_->start_band(x, y);
}

void TEditTabForm::Image1MouseMove(int x, int y, bool dragging) {
    if (!graph_)
        return;
    FrDia->setText(u("L = ") + QString::number(graph_->level_at(x)));
    if (dragging) {
        graph_->drag_band(x, y);
        Image1->update();
    }
}

void TEditTabForm::Image1MouseUp(int x, int y) {
    if (!graph_)
        return;
    graph_->finish_band(x, y);
    Image1->update();
    update_range_controls();
    follow_cursor();
    // The view changed under the mouse: the label names where the cursor now stands.
    show_cursor_level();
}

void TEditTabForm::show_cursor_level() {
    if (graph_ && graph_->valid())
        FrDia->setText(u("L = ") + QString::number(graph_->cursor_level()));
}

void TEditTabForm::done(int result) {
    if (tables_changed()) {
        const CloseAnswer answer = close_question_
                                       ? close_question_(this, u("Сохранить изменения в таблицах?"))
                                       : CloseAnswer::yes;
        if (answer == CloseAnswer::cancel)
            return;
        if (answer == CloseAnswer::no)
            *tables_ = opened_; // the caller then finds nothing changed
    }
    // The graph lives for one opening; the tables go back to the caller.
    grid_model_->show_table(nullptr, nullptr, control_);
    undo_.clear();
    redo_.clear();
    opened_.clear();
    overlaid_ = false;
    overlay_.clear();
    graph_.reset();
    tables_ = nullptr;
    QDialog::done(result);
}

} // namespace tgm
