#include "app/link_form1.h"

#include "app/ui_dialogs.h"
#include "app/window_place.h"
#include "operations/tbvlink.h"
#include "render/gui_text.h"
#include "support/cp1251.h"
#include "support/hist.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

namespace tgm {
namespace {

// The dialog's height and where its button stands, before a long reason grows them.
constexpr int kHeight = 85;
constexpr int kButtonTop = 56;

} // namespace

TLinkForm1::TLinkForm1(QWidget* main_window)
    : QDialog(main_window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      main_window_(main_window) {
    setObjectName(QStringLiteral("TLinkForm1"));
    setModal(true);
    setFixedSize(301, kHeight);
    QPalette sky = palette();
    sky.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    setPalette(sky);
    setAutoFillBackground(true);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 8, 273, 41);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(24, 32, 257, 9);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ErrLabel = new QLabel(this);
    ErrLabel->setObjectName(QStringLiteral("ErrLabel"));
    ErrLabel->move(16, 64);
    step_label_ = new QLabel(this);
    step_label_->setObjectName(QStringLiteral("stepLabel"));
    step_label_->setGeometry(16, 46, 185, 16);
    step_label_->hide();
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(207, kButtonTop, 75, 21);
    connect(CancelBtn, &QPushButton::clicked, this, &TLinkForm1::CancelBtnClick);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTick);
    connect(Timer1, &QTimer::timeout, this, &TLinkForm1::Timer1Timer);
}

bool TLinkForm1::run(TBVLink& the_link, int32_t operation, const QString& caption) {
    show_result = false;
    setWindowTitle(caption);
    Label2->clear();
    link = &the_link;
    the_link.operation.store(operation);
    the_link.resume();
    exec();
    // The dialog ends only with the operation; should its loop be left all the same (the
    // application quitting), nothing is read before the thread has finished.
    while (the_link.operation.load() != 0) {
        the_link.cancel.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    HIST* log = log_sink();
    const bool has_text = !the_link.trace_text.empty() || !the_link.error_text.empty();
    if (has_text && log)
        log->add_line(the_link.trace_text);
    if (!the_link.result) {
        if (!the_link.cancel.load()) {
            ProgressBar1->hide();
            if (has_text && log)
                log->append_to_last_line(the_link.error_text);
            QString text = qs(the_link.error_text);
            if (!the_link.port_note.empty())
                text += QLatin1Char('\n') + qs(the_link.port_note);
            Label2->setText(text);
            // Down to the button, so that a reason under the error has its room; a reason of
            // more lines (a packing refusal naming many channels) grows the dialog.
            const int label_height = std::max(48, Label2->heightForWidth(Label2->width()));
            Label2->resize(Label2->width(), label_height);
            setFixedSize(width(), kHeight + label_height - 48);
            CancelBtn->move(CancelBtn->x(), kButtonTop + label_height - 48);
            show_result = true;
            const bool step_shown = step_label_->isVisible();
            step_label_->hide(); // the reason takes its place
            ui_dialogs().beep(3000, 200);
            exec();
            step_label_->setVisible(step_shown);
            setFixedSize(width(), kHeight);
            CancelBtn->move(CancelBtn->x(), kButtonTop);
        } else if (has_text && log) {
            log->append_to_last_line(" ubreak");
        }
    }
    ProgressBar1->show();
    Label2->resize(Label2->width(), 41);
    return the_link.result;
}

void TLinkForm1::set_step(const QString& text) {
    step_label_->setText(text);
    step_label_->setVisible(!text.isEmpty());
}

void TLinkForm1::showEvent(QShowEvent* event) {
    centre_on(this, main_window_);
    // Enter dismisses a shown error; during an operation it must not cancel by accident.
    CancelBtn->setAutoDefault(false);
    CancelBtn->setDefault(show_result);
    if (!show_result) {
        ProgressBar1->setRange(0, 100);
        ProgressBar1->setValue(0);
        ProgressBar1->show();
        ErrLabel->clear();
        close_next = false;
        ticks = 0;
        Timer1->start();
    }
    QDialog::showEvent(event);
}

void TLinkForm1::Timer1Timer() {
    if (close_next)
        close_dialog(); // the rest of the tick still runs
    ++ticks;
    Label2->setText(qs(link->stage_text()));
    const int32_t progress = link->progress.load();
    if (progress >= 0) {
        ProgressBar1->setValue(std::min(progress, 100));
    } else {
        // -r: r percent per second since activation.
        const double percent = double(kTick) * ticks * 0.001 * -double(progress);
        ProgressBar1->setValue(static_cast<int>(std::clamp(percent, 0.0, 100.0)));
    }
    if (link->operation.load() != 0)
        return;
    if (link->cancel.load())
        close_dialog();
    ProgressBar1->setValue(100);
    close_next = true;
}

void TLinkForm1::CancelBtnClick() {
    if (!show_result && link && link->operation.load() != 0) {
        link->cancel.store(true);
        return;
    }
    close_dialog();
}

void TLinkForm1::reject() { CancelBtnClick(); }

void TLinkForm1::close_dialog() {
    Timer1->stop();
    if (isVisible())
        done(QDialog::Rejected);
}

} // namespace tgm
