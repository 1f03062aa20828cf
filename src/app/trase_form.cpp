#include "app/trase_form.h"

#include "render/gui_text.h"
#include "support/file_locations.h"
#include "support/report_writer.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <ctime>

namespace tgm {

TTraseForm::TTraseForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TTraseForm"));
    setWindowTitle(QString::fromUtf8("Журнал операций"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this); // the text area always fills the window
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    resize(400, 240);
    if (owner) {
        const QRect o = owner->frameGeometry();
        move(o.x() + o.width() - 20, o.y() + o.height() / 2);
    }
    log_.on_change = [this] { show_log(); };
    set_log_sink(&log_);
    hide();
}

TTraseForm::~TTraseForm() {
    if (log_sink() == &log_)
        set_log_sink(nullptr);
    if (report)
        write_report(log_.text(), home_folder(), std::time(nullptr));
}

void TTraseForm::show_log() {
    QStringList lines;
    for (const std::string& line : log_.lines())
        lines << qs(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace tgm
