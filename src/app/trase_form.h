#pragma once
// The event log window "Журнал операций": shows the run's log and, when it goes at the end of
// the run, appends the log to the day's report.
#include "support/hist.h"

#include <QWidget>

class QPlainTextEdit;

namespace tgm {

class TTraseForm : public QWidget {
    Q_OBJECT
public:
    // Placed beside `owner`, which must already have its place on the screen.
    explicit TTraseForm(QWidget* owner);
    ~TTraseForm() override;

    HIST& log() { return log_; }
    // Whether the report is written when the window goes.
    bool report = true;

private:
    void show_log();

    HIST log_;
    QPlainTextEdit* Memo1;
};

} // namespace tgm
