#pragma once
// The one-line cell editor that covers a grid cell exactly while a header is edited.
#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace tgm {

class TEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEditDlg(QWidget* parent = nullptr);
    // `row` counts the caption row as 0, so data rows are 1 ... n.
    void place_over_cell(QTableWidget* grid, int row, int column);
    void set_text(const QString& text);
    QString get_text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* EdBox;
};

} // namespace tgm
