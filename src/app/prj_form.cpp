// The main window: construction with its menus and toolbar, the grid, refresh and events.
#include "app/prj_form.h"

#include "app/demo_unit.h"
#include "app/link_form1.h"
#include "app/program_arguments.h"
#include "app/status_bar.h"
#include "app/string_grid.h"
#include "app/tool_icon.h"
#include "app/trase_form.h"
#include "app/window_place.h"
#include "operations/tbvlink.h"
#include "render/gui_text.h"
#include "support/cp1251.h"
#include "support/file_locations.h"
#include "support/message_sink.h"
#include "support/syscfg.h"
#include "support/tappinfo.h"
#include "support/updater.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace tgm {
namespace {

// The commands that need room for one more table.
const std::vector<const char*> kGrowing = {
    "NTabAddNew",  "NTabAddF",  "NTabInsertNew",  "NTabInsertEmpty",  "NTabInsertF",  "NTabPaste",
    "NNTabAddNew", "NNTabAddF", "NNTabInsertNew", "NNTabInsertEmpty", "NNTabInsertF", "NNTabPaste"};

} // namespace

TPrjForm::TPrjForm(const std::vector<std::string>& params, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TPrjForm"));
    build_menus();
    build_toolbar();
    build_grid();
    start_lockout();
    // The layout's own size is the smallest; more width goes to the headers.
    setMinimumSize(sizeHint());

    // 1. Configuration: defaults, tgm.ini, the command line, tgm.cfg. The demo option may
    // stand anywhere; "-t" still counts only as the first of the others.
    std::vector<std::string> others = params;
    std::string demo_choice;
    const bool demo = DemoUnit::take_option(others, demo_choice);
    config().start_config(others, home_folder(), default_forms_folder());
    if (demo) {
        std::string error;
        demo_ = DemoUnit::start(demo_choice, error);
        if (!demo_)
            show_message(cp("Имитатор БВ не запущен: ") + utf8_to_cp1251(error));
    }
    check_configured_port();
    // The size for the caption to come, before the event log takes its place beside the window.
    resize(opening_size(caption_text()));
    centre_on_screen(this);
    change_settings_ = ChangeSettings::load(home_folder());
    named("backup_action")->setChecked(change_settings_.backup);
    named("verify_action")->setChecked(change_settings_.verify);
    // 2. The link thread, idle.
    link_ = std::make_unique<TBVLink>();
    link_->log_traffic = config().traffic();
    link_->port = unit_port();
    link_->allow_v = true;
    // 3. The event log, hidden; it and its report exist only with the traffic switch.
    const bool traffic = config().traffic();
    trase_ = new TTraseForm(this);
    trase_->report = traffic;
    named("NTrase")->setChecked(false);
    named("NTrase")->setVisible(traffic);
    named("TraseButton")->setVisible(traffic);
    // 4. The link's progress dialog.
    link_form_ = new TLinkForm1(this);
    // 5. The update command only when an updater is at hand; an installed copy is updated by
    // the package manager.
    named("NUpdate")->setVisible(portable_build() && updater().find_updater());
    // 6. The caption with the version.
    set_caption();
    // 7. The grid's captions stand in its caption row from the start; 8. a first refresh.
    named("NTabPaste")->setEnabled(false);
    refresh(-1);
    // The file, as the configuration saw the parameters: "-t" first among them is the switch.
    start_file_ = read_arguments(others).file;
}

TPrjForm::~TPrjForm() {
    // 1. The link thread is stopped: cancel, terminate, resume, wait.
    link_.reset();
    // 2. The event log goes, writing the day's report.
    delete trase_;
    trase_ = nullptr;
    // 3. The progress dialog goes, and with the link the demo's unit.
    delete link_form_;
    link_form_ = nullptr;
    demo_.reset();
    // 4. The configuration is written.
    config().end_config();
}

int32_t TPrjForm::unit_port() const { return demo_ ? demo_->port() : config().chanpar().port; }

QString TPrjForm::caption_text() const {
    QString caption = qs(config().title()) + QStringLiteral("  (") +
                      QString::fromStdString(TAppInfo().version_text()) + QLatin1Char(')');
    if (demo_)
        caption += QString::fromUtf8(" — имитатор БВ ") + QString::fromStdString(demo_->label());
    return caption;
}

// Qt shows "*" in place of "[*]" while the project has changes not saved, and nothing else.
void TPrjForm::set_caption() { setWindowTitle(caption_text() + QStringLiteral("[*]")); }

QSize TPrjForm::opening_size(const QString& caption_text) const {
    // Wide enough for the whole caption beside the frame's buttons and for headers of about 40
    // characters (the grid's 16 rows are in the smallest height); never past the screen's free
    // area.
    // A window manager's caption font is often bolder and larger than the program's, and the
    // frame's buttons stand beside it.
    QFont caption_font = QApplication::font();
    caption_font.setBold(true);
    caption_font.setPointSizeF(caption_font.pointSizeF() * 1.25);
    const int caption = QFontMetrics(caption_font).horizontalAdvance(caption_text) + 200;
    const QFontMetrics grid(TabGrid->font());
    int columns = 0;
    for (int c = 0; c < 4; ++c)
        columns += TabGrid->columnWidth(c);
    const int headers = columns + 40 * grid.averageCharWidth() + 40;
    QSize size(std::max({minimumWidth(), caption, headers}), minimumHeight());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 40));
    return size.expandedTo(minimumSize());
}

QAction* TPrjForm::make_action(const char* name, const QString& caption,
                               void (TPrjForm::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

QAction* TPrjForm::named(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

void TPrjForm::enable(const std::vector<const char*>& names, bool on) {
    for (const char* name : names)
        named(name)->setEnabled(on);
}

void TPrjForm::build_menus() {
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* prj = bar->addMenu(u("Проект    "));
    prj->addAction(make_action("NPrjNew", u("Новый"), &TPrjForm::NPrjNewClick));
    QMenu* form = prj->addMenu(u("Файл-форма"));
    form->addAction(make_action("NFormRead", u("Открыть"), &TPrjForm::ImportButtonClick));
    form->addAction(make_action("NFormWrite", u("Сохранить"), &TPrjForm::ExportButtonClick));
    // The usual keys of the usual commands.
    named("NFormRead")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    named("NFormWrite")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QMenu* sys = prj->addMenu(u("Система"));
    sys->addAction(make_action("NStrRead", u("Читать таблицы "), &TPrjForm::NStrReadClick));
    sys->addAction(make_action("NStrWrite", u("Записать таблицы из текущего проекта"),
                               &TPrjForm::NStrWriteClick));
    sys->addAction(make_action("NStrClear", u("Удалить таблицы"), &TPrjForm::NStrClearClick));
    sys->addAction(
        make_action("NStrCompare", u("Сравнить с текущим проектом"), &TPrjForm::NStrCompareClick));
    add_document_commands(form, prj);
    prj->addSeparator();
    prj->addAction(make_action("N15", u("Выход"), &TPrjForm::NExitClick));

    NTab = bar->addMenu(u("Таблица       "));
    NTab->setObjectName(QStringLiteral("NTab"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    struct Item {
        const char* name;
        const char* caption;
        void (TPrjForm::*handler)();
        bool separator_before;
        bool in_popup;
    };
    const Item items[] = {
        {"NTabAddNew", "Добавить новую", &TPrjForm::NTabAddNewClick, false, true},
        {"NTabInsertNew", "Вставить новую", &TPrjForm::NTabInsertNewClick, false, true},
        {"NTabInsertEmpty", "Вставить пропуск", &TPrjForm::NTabInsertEmptyClick, false, true},
        {"NTabCopy", "Копировать в буфер", &TPrjForm::NTabCopyClick, true, true},
        {"NTabCut", "Переместить в буфер", &TPrjForm::NTabCutClick, false, true},
        {"NTabPaste", "Вставить из буфера", &TPrjForm::NTabPasteClick, false, true},
        {"NTabAddF", "Добавить из файла", &TPrjForm::NTabAddFClick, true, true},
        {"NTabInsertF", "Вставить из файла", &TPrjForm::NTabInsertFClick, false, true},
        {"NTabDelete", "Удалить", &TPrjForm::NTabDeleteClick, true, true},
        {"NTabEdit", "Редактор таблиц", &TPrjForm::NTabEditClick, true, false},
    };
    for (const Item& item : items) {
        if (item.separator_before) {
            NTab->addSeparator();
            if (item.in_popup)
                PopupMenu1->addSeparator();
        }
        NTab->addAction(make_action(item.name, u(item.caption), item.handler));
        if (item.in_popup) {
            const std::string twin = std::string("N") + item.name;
            PopupMenu1->addAction(make_action(twin.c_str(), u(item.caption), item.handler));
        }
    }

    QMenu* par = bar->addMenu(u("Параметры      "));
    par->addAction(make_action("N14", u("Связь"), &TPrjForm::NChanClick));
    par->addAction(make_action("Nfolder", u("Каталог форм"), &TPrjForm::NfolderClick));
    par->addSeparator();
    QAction* trase = make_action("NTrase", u("Журнал событий"), &TPrjForm::NTraseClick);
    trase->setCheckable(true);
    par->addAction(trase);
    par->addSeparator();
    QAction* backup =
        make_action("backup_action", u("Копия таблиц системы перед записью"), nullptr);
    QAction* verify = make_action("verify_action", u("Проверять запись чтением"), nullptr);
    for (QAction* a : {backup, verify}) {
        a->setCheckable(true);
        par->addAction(a);
    }
    connect(backup, &QAction::triggered, this,
            [this] { toggle_change_setting(&ChangeSettings::backup, "backup_action"); });
    connect(verify, &QAction::triggered, this,
            [this] { toggle_change_setting(&ChangeSettings::verify, "verify_action"); });

    QMenu* help = bar->addMenu(u("Справка"));
    QAction* contents = make_action("N4", u("Содержание"), nullptr);
    contents->setVisible(false);
    help->addAction(contents);
    help->addSeparator();
    help->addAction(make_action("N2", u("О программе ..."), &TPrjForm::AboutClick));
    named("N2")->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    help->addAction(make_action("NUpdate", u("Проверить обновление"), &TPrjForm::NUpdateClick));
}

void TPrjForm::build_toolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    auto gap = [bar](int width) {
        auto* panel = new QWidget(bar);
        panel->setFixedWidth(width);
        bar->addWidget(panel);
    };
    struct Button {
        const char* name;
        const char* hint;
        const char* theme_icon;
        QStyle::StandardPixmap fallback;
        void (TPrjForm::*handler)();
        int gap_after;
    };
    const Button buttons[] = {
        {"SpeedButton1", "Новый проект", "document-new", QStyle::SP_FileIcon,
         &TPrjForm::NPrjNewClick, 0},
        {"ImportButton", "Чтение из формы", "document-open", QStyle::SP_DialogOpenButton,
         &TPrjForm::ImportButtonClick, 0},
        {"StrReadButton", "Чтение из системы", "go-down", QStyle::SP_ArrowDown,
         &TPrjForm::NStrReadClick, 36},
        {"TabEditButton", "Редактор таблиц", "accessories-text-editor",
         QStyle::SP_FileDialogDetailedView, &TPrjForm::NTabEditClick, 97},
        {"StrWriteButton", "Записать в систему", "go-up", QStyle::SP_ArrowUp,
         &TPrjForm::NStrWriteClick, 0},
        {"ExportButton", "Запись в форму", "document-save", QStyle::SP_DialogSaveButton,
         &TPrjForm::ExportButtonClick, 42},
        {"NBiButton", "Пульт", "input-keyboard", QStyle::SP_ComputerIcon, &TPrjForm::NBiButtonClick,
         0},
        {"TraseButton", "Журнал событий", "text-x-generic", QStyle::SP_FileDialogInfoView,
         &TPrjForm::NTraseClick, 0},
    };
    for (const Button& b : buttons) {
        QAction* action = make_action(b.name, QString(), b.handler);
        action->setIcon(tool_icon(QString::fromLatin1(b.theme_icon), b.fallback, style(),
                                  bar->iconSize().width()));
        action->setToolTip(QString::fromUtf8(b.hint));
        bar->addAction(action);
        if (b.gap_after)
            gap(b.gap_after);
    }
    named("StrWriteButton")->setEnabled(false);
    named("ExportButton")->setEnabled(false);
}

void TPrjForm::build_grid() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QStringList captions;
    for (const char* c : {"Канал", "Контроль", "Взлив (см)", "Ёмкость (л)", "Заголовок"})
        captions << QString::fromUtf8(c);
    TabGrid =
        make_string_grid(central, {41, 61, 68, 64, 147}, captions, QAbstractItemView::SelectRows);
    TabGrid->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    TabGrid->horizontalHeader()->setStretchLastSection(true);
    TabGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TabGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(TabGrid->viewport()->mapToGlobal(pos));
    });
    connect(TabGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { edit_header(); });
    TabGrid->installEventFilter(this);
    // The grid takes the room while it is shown; without it the status bars stay at the bottom.
    layout->addWidget(TabGrid, 1);
    layout->addStretch(0);

    ProjBar = new StatusBar(QStringLiteral("ProjBar"), QString::fromUtf8("ПРОЕКТ"), {60, 300},
                            central, true);
    StrBar = new StatusBar(QStringLiteral("StrBar"), QString::fromUtf8("СИСТЕМА"),
                           {60, 50, 230, 50}, central);
    layout->addWidget(ProjBar);
    layout->addWidget(StrBar);
    setCentralWidget(central);
}

int TPrjForm::current_row() const {
    const int row = TabGrid->currentRow();
    return row < 0 ? 0 : row + 1;
}

void TPrjForm::fill_row(int k) {
    const QString texts[] = {QString::number(k + 1), QString(), qs(project_.max_level_text(k)),
                             qs(project_.capacity_text(k)), qs(project_.header(k))};
    for (int c = 0; c < 5; ++c)
        if (c != 1) // the control column is update_control_column's
            grid_cell(TabGrid, k, c, 4)->setText(texts[c]);
    TabGrid->item(k, 4)->setToolTip(texts[4]); // the column cuts long headers
    show_mark(k);
}

void TPrjForm::refresh(int row) {
    const int count = project_.count();
    setWindowModified(project_.modified());
    // Also after a read that failed or was cancelled: the panel names the project there is.
    ProjBar->set_panel(1, name_text(project_.name()));
    if (count < 1) {
        enable({"NFormWrite", "ExportButton", "NStrWrite", "NStrCompare", "StrWriteButton",
                "TabEditButton", "csvExport", "sheetPrint", "pdfExport"},
               false);
        NTab->menuAction()->setEnabled(false);
        TabGrid->hide();
        return;
    }
    TabGrid->setRowCount(count);
    marks_.follow(project_.tables());
    for (int k = 0; k < count; ++k)
        fill_row(k);
    TabGrid->selectRow((row >= 1 && row <= count ? row : 1) - 1);
    NTab->menuAction()->setEnabled(true);
    enable({"TabEditButton", "NStrCompare", "NFormWrite", "ExportButton", "csvExport", "sheetPrint",
            "pdfExport"},
           true);
    enable(kGrowing, count < 16);
    update_control_column();
    TabGrid->show();
    // A keyboard user goes on in the grid: arrows, Enter on a header.
    TabGrid->setFocus();
}

void TPrjForm::update_control_column() {
    project_.update_control();
    for (int k = 0; k < project_.count(); ++k)
        grid_cell(TabGrid, k, 1, 4)->setText(qs(project_.control_text(k)));
    enable({"NStrWrite", "StrWriteButton"}, project_.all_writable());
}

void TPrjForm::closeEvent(QCloseEvent* event) {
    if (confirm_discard())
        event->accept();
    else
        event->ignore();
}

void TPrjForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    trase_->setVisible(named("NTrase")->isChecked());
    // After the window is up, so that the import dialog and any message have it as parent.
    if (!start_file_.empty())
        QTimer::singleShot(0, this,
                           [this, file = std::exchange(start_file_, {})] { open_file(file); });
}

bool TPrjForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            edit_header();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tgm
