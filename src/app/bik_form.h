#pragma once
// The remote console "Пульт": mirrors the unit's display and sends the keys clicked on one of
// three keypads or typed anywhere in the window.
#include "console/cons_clnt.h"
#include "console/console_parameters.h"
#include "console/mchan.h"

#include <QDialog>

class QAction;
class QGroupBox;
class QMenu;
class QPlainTextEdit;
class QTimer;

namespace tgm {

class StatusBar;

class TBikForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTick = 100;
    static constexpr int kActivePeriod = 500;

    explicit TBikForm(QWidget* parent = nullptr);

    void set_parameters(int32_t port, int32_t keypad_index, bool menu_shown);
    void set_keypad(int32_t type);
    void refresh();
    // The 100 ms tick; also what a test calls to run one tick.
    void Timer1Timer();
    // A key from a button or the keyboard: kept when it is a key of the display.
    void key_entry(char key);

    int32_t keypad_type() const { return keypad_type_; }
    bool port_ok() const { return port_ok_; }
    MCHAN& channel() { return chan_; }

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The poll clock: refreshes every `period` ms out of the 100 ms ticks; `busy` keeps a
    // tick from starting inside another.
    struct PollClock {
        int32_t accumulated = 0;
        int32_t period = 1000;
        bool busy = false;
        bool running = false;
    };

    void FormActivate();
    void FormDeactivate();
    QGroupBox* make_keypad(const char* name, const std::vector<const char*>& captions);
    void show_display(const std::string& cp1251);

    QPlainTextEdit* Displey = nullptr;
    StatusBar* StrBar = nullptr;
    QGroupBox* KeyBox[3] = {nullptr, nullptr, nullptr};
    QAction* keypad_items_[3] = {nullptr, nullptr, nullptr};
    QMenu* keypad_menu_ = nullptr;
    QTimer* Timer1 = nullptr;

    bool port_ok_ = false;
    bool connected_ = false;
    int32_t keypad_type_ = 1;
    CONS_CLNT client_;
    MCHAN chan_;
    PollClock clock_;
    int32_t shown_kind_ = 2;
    // The port did not open: the window only waits for its tick to close it, whatever the
    // message box does to the focus.
    bool open_failed_ = false;
};

// Runs the console modally with the block's settings and keeps its keypad choice.
void run_console(QWidget* parent, ConsoleParameters& parameters);

} // namespace tgm
