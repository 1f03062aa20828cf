#include "app/bik_form.h"

#include "app/status_bar.h"
#include "app/ui_dialogs.h"
#include "ports/port_access.h"
#include "render/gui_text.h"

#include <QAction>
#include <QActionGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tgm {
namespace {

constexpr int kClientWidth = 302;
constexpr int kClientHeight = 315;
// Digits, then the decimal key, go on a telephone-style block; the other keys beside it.
constexpr int kBlockKeys = 11;

const std::vector<const char*> kKeypads[3] = {
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", ".", "q (EX)", "z (MC)", "m (MR)", "-", "+"},
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", ".", "q (EX)", "z (MC)", "m (MR)", "n (MU)",
     "-", "+"},
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", ",", "q (8+2)", "z (8+5)", "-"},
};

QFont display_font() {
    // A fixed-pitch face with Cyrillic letters; the system's fixed font when it is missing.
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    if (!QFontDatabase::families().contains(font.family()))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    return font;
}

} // namespace

TBikForm::TBikForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TBikForm"));
    setWindowTitle(QString::fromUtf8("Пульт"));
    // Navy behind the controls only: the menu, the buttons and the status bar keep their looks.
    setStyleSheet(QStringLiteral("#TBikForm { background-color: navy; }"));

    auto* bar = new QMenuBar(this);
    auto* parameters = bar->addMenu(QString::fromUtf8("Параметры      "));
    keypad_menu_ = parameters->addMenu(QString::fromUtf8("Выбор клавиатуры"));
    keypad_menu_->setObjectName(QStringLiteral("keypad_menu"));
    auto* group = new QActionGroup(this);
    for (int i = 0; i < 3; ++i) {
        QAction* item = keypad_menu_->addAction(QString::fromUtf8("Тип %1").arg(i + 1));
        item->setObjectName(QStringLiteral("keypad%1").arg(i + 1));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { set_keypad(i + 1); });
        keypad_items_[i] = item;
    }

    Displey = new QPlainTextEdit(this);
    Displey->setObjectName(QStringLiteral("Displey"));
    Displey->setReadOnly(true);
    Displey->setEnabled(false);
    Displey->setFont(display_font());
    Displey->setLineWrapMode(QPlainTextEdit::NoWrap);
    Displey->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Displey->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Displey->setMinimumWidth(289);
    Displey->setFixedHeight(65);
    QPalette yellow = Displey->palette();
    for (const QPalette::ColorGroup g :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        yellow.setColor(g, QPalette::Base, Qt::yellow);
        yellow.setColor(g, QPalette::Text, Qt::black);
    }
    Displey->setPalette(yellow);

    // The display and the keypads sit inside a margin; the status bar spans the whole width.
    auto* outer = new QVBoxLayout(this);
    outer->setMenuBar(bar);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(8, 16, 5, 0);
    layout->addWidget(Displey);
    for (int i = 0; i < 3; ++i) {
        const std::string name = "KeyBox" + std::to_string(i + 1);
        KeyBox[i] = make_keypad(name.c_str(), kKeypads[i]);
        layout->addWidget(KeyBox[i]);
    }
    layout->addStretch(1);
    outer->addLayout(layout, 1);
    StrBar =
        new StatusBar(QStringLiteral("StrBar"), QString::fromUtf8("СИСТЕМА"), {60, 100, 200}, this);
    StrBar->setAutoFillBackground(true);
    outer->addWidget(StrBar);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTick);
    connect(Timer1, &QTimer::timeout, this, &TBikForm::Timer1Timer);

    shown_kind_ = 2;
    client_.configure(shown_kind_);
    // The window keeps its size for every keypad; it grows beyond 302 x 315 only where the
    // system's font would otherwise clip the keypads' captions. (The status bar's panels are
    // wider than the window and are cut at its edge.)
    QSize size(kClientWidth, kClientHeight + bar->sizeHint().height());
    for (int type = 3; type >= 1; --type) {
        set_keypad(type);
        const QMargins m = layout->contentsMargins();
        size = size.expandedTo(
            QSize(KeyBox[type - 1]->minimumSizeHint().width() + m.left() + m.right(),
                  minimumSizeHint().height()));
    }
    setFixedSize(size);
}

QGroupBox* TBikForm::make_keypad(const char* name, const std::vector<const char*>& captions) {
    auto* box = new QGroupBox(this);
    box->setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(box);
    grid->setSpacing(4);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), box);
        button->setFocusPolicy(Qt::NoFocus); // the window takes every typed key
        button->setAutoDefault(false);
        // As narrow as the caption allows: the style's usual minimum would widen the window.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 12);
        const char key = captions[i][0];
        connect(button, &QPushButton::clicked, this, [this, key] { key_entry(key); });
        const int n = static_cast<int>(i);
        if (n < 9)
            grid->addWidget(button, n / 3, n % 3);
        else if (n < kBlockKeys)
            grid->addWidget(button, 3, n == 9 ? 1 : 0);
        else
            grid->addWidget(button, (n - kBlockKeys) % 4, 3 + (n - kBlockKeys) / 4);
    }
    return box;
}

void TBikForm::set_parameters(int32_t port, int32_t keypad_index, bool menu_shown) {
    chan_.port = port;
    set_keypad(keypad_index == 0 ? 1 : (keypad_index == 1 ? 2 : 3));
    keypad_menu_->menuAction()->setVisible(menu_shown);
}

void TBikForm::set_keypad(int32_t type) {
    keypad_type_ = type;
    for (int i = 0; i < 3; ++i) {
        KeyBox[i]->setVisible(i + 1 == type);
        keypad_items_[i]->setChecked(i + 1 == type);
    }
}

void TBikForm::show_display(const std::string& cp1251) {
    Displey->setPlainText(qs(cp1251).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

void TBikForm::refresh() {
    if (!connected_) {
        show_display(std::string());
        int32_t kind = 2;
        if (chan_.connect(kind)) {
            StrBar->set_panel(1, QString::fromLatin1(CONS_CLNT::kind_name(kind)));
            if (kind != shown_kind_) {
                shown_kind_ = kind;
                client_.configure(kind);
            }
            connected_ = true;
        } else {
            StrBar->set_panel(1, QStringLiteral("?"));
        }
    }
    bool ok = false;
    if (connected_) {
        int32_t code = 0;
        ok = client_.take_key_code(code) ? chan_.send_key(client_.answer_length, code)
                                         : chan_.read_display(client_.answer_length);
        if (ok) {
            client_.decode(chan_.answer_bytes());
            show_display(client_.shown_text());
        } else {
            show_display(std::string());
        }
    }
    StrBar->set_panel(2, ok ? QStringLiteral("OK") : QStringLiteral("ERROR"));
    if (!ok)
        connected_ = false;
}

void TBikForm::Timer1Timer() {
    if (!port_ok_) {
        close();
        return;
    }
    if (!clock_.running || clock_.busy)
        return;
    clock_.busy = true;
    clock_.accumulated += kTick;
    const bool due = clock_.accumulated >= clock_.period;
    if (due)
        clock_.accumulated = 0;
    // One key a tick, in the order typed.
    if (client_.has_key()) {
        refresh();
    } else if (due) {
        refresh();
    }
    clock_.busy = false;
}

void TBikForm::key_entry(char key) {
    // A key beyond the queue is refused with a tone, not lost without a sign.
    const bool full = client_.queue_full();
    if (!client_.accept_key(key) && full)
        ui_dialogs().beep(0, 0);
}

void TBikForm::FormActivate() {
    if (open_failed_)
        return;
    client_.clear_keys();
    connected_ = false;
    clock_.period = kActivePeriod;
    clock_.accumulated = 0;
    clock_.running = true;
    port_ok_ = true;
    if (!chan_.open(0)) {
        open_failed_ = true;
        port_ok_ = false;
        ui_dialogs().beep(0, 0);
        // A device this user may not open says why under the text.
        const std::string note = port_access_note(chan_.port);
        QString text = QString::fromUtf8("Порт занят");
        if (!note.empty())
            text += QLatin1Char('\n') + qs(note);
        ui_dialogs().message(this, text, MessageKind::error);
    }
    Timer1->start();
}

void TBikForm::FormDeactivate() {
    if (open_failed_)
        return;
    chan_.close();
    Timer1->stop();
}

bool TBikForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return QDialog::event(event);
}

void TBikForm::hideEvent(QHideEvent* event) {
    chan_.close();
    Timer1->stop();
    QDialog::hideEvent(event);
}

void TBikForm::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() > 0x20 && text[0].unicode() < 0x7F) {
        key_entry(static_cast<char>(text[0].unicode()));
        return;
    }
    QDialog::keyPressEvent(event);
}

void run_console(QWidget* parent, ConsoleParameters& parameters) {
    TBikForm form(parent);
    form.set_parameters(parameters.port, parameters.keypad, parameters.keypad_menu);
    form.exec();
    parameters.keypad = form.keypad_type() - 1;
}

} // namespace tgm
