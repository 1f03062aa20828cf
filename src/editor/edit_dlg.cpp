#include "editor/edit_dlg.h"

#include <QEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tgm {

TEditDlg::TEditDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TEditDlg"));
    EdBox = new QLineEdit(this);
    EdBox->setObjectName(QStringLiteral("EdBox"));
    // A grid row is lower than a line edit would like; the editor still covers just the cell.
    EdBox->setMinimumSize(1, 1);
    // The box always fills the whole client area, whatever cell the editor covers.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(EdBox);
    resize(185, 24);
    connect(EdBox, &QLineEdit::returnPressed, this, &QDialog::accept);
    EdBox->installEventFilter(this);
}

void TEditDlg::place_over_cell(QTableWidget* grid, int row, int column) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
    const QPoint origin = grid->viewport()->mapToGlobal(cell.topLeft());
    setGeometry(QRect(origin, cell.size()));
}

void TEditDlg::set_text(const QString& text) {
    EdBox->setText(text);
    EdBox->selectAll();
}

QString TEditDlg::get_text() const { return EdBox->text(); }

bool TEditDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EdBox && event->type() == QEvent::MouseButtonDblClick) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tgm
