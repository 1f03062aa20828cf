#pragma once
// A status bar of fixed-width panels; panel 0 is the raised caption. The last panel may take the
// bar's spare width instead, at least its own.
#include <QStatusBar>
#include <QString>
#include <vector>

class QLabel;

namespace tgm {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    StatusBar(const QString& name, const QString& caption, const std::vector<int>& widths,
              QWidget* parent = nullptr, bool last_widens = false);
    void set_panel(int index, const QString& text);
    QString panel(int index) const;
    // The bar is redrawn at once, not at the next idle moment.
    void repaint_now();

private:
    std::vector<QLabel*> panels_;
};

} // namespace tgm
