#pragma once
// The progress dialog of the link: starts one operation on the link thread, shows its stage and
// progress four times a second, lets the user cancel it, and shows a failed operation's error
// until the user dismisses it. It cannot be closed while the thread runs.
#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tgm {

class TBVLink;

class TLinkForm1 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTick = 250;

    // Centred on `main_window` whenever it comes up.
    explicit TLinkForm1(QWidget* main_window);

    // Runs one operation, adds its line to the event log, and returns the link's result. The
    // link's results are read only after its thread has finished.
    bool run(TBVLink& link, int32_t operation, const QString& caption);

    // The step of a change that runs in more than one operation, in words ("Шаг 1 из 3: копия
    // таблиц системы"), shown under the stage; empty hides it.
    void set_step(const QString& text);

    // The 250 ms tick; also what a test calls to run one tick.
    void Timer1Timer();
    // The Cancel button, Esc and the close request: while the operation runs they only ask the
    // thread to stop.
    void CancelBtnClick();
    void reject() override;

    int32_t ticks = 0;
    bool show_result = false;
    bool close_next = false;
    TBVLink* link = nullptr;

protected:
    // Activation: centred, and the progress reset unless a result is shown.
    void showEvent(QShowEvent* event) override;

private:
    void close_dialog();

    QWidget* main_window_;
    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QLabel* ErrLabel;
    QLabel* step_label_;
    QPushButton* CancelBtn;
    QTimer* Timer1;
};

} // namespace tgm
