#include "app/status_bar.h"

#include <QLabel>

namespace tgm {

StatusBar::StatusBar(const QString& name, const QString& caption, const std::vector<int>& widths,
                     QWidget* parent, bool last_widens)
    : QStatusBar(parent) {
    setObjectName(name);
    setSizeGripEnabled(false);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        auto* label = new QLabel(i == 0 ? caption : QString(), this);
        const bool widens = last_widens && i + 1 == widths.size();
        if (widens)
            label->setMinimumWidth(widths[i]);
        else
            label->setFixedWidth(widths[i]);
        label->setFrameStyle(QFrame::Panel | (i == 0 ? QFrame::Raised : QFrame::Sunken));
        label->setAlignment(i == 0 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        addWidget(label, widens ? 1 : 0);
        panels_.push_back(label);
    }
}

void StatusBar::set_panel(int index, const QString& text) {
    QLabel* panel = panels_.at(static_cast<std::size_t>(index));
    panel->setText(text);
    panel->setToolTip(text); // a long path does not fit its panel
}

QString StatusBar::panel(int index) const {
    return panels_.at(static_cast<std::size_t>(index))->text();
}

void StatusBar::repaint_now() { repaint(); }

} // namespace tgm
