// The main window's marks of the last comparison of the unit's tables with the project's, and
// the way from a comparison to the graph of the unit's table over the project's.
#include "app/prj_form.h"

#include "app/string_grid.h"
#include "app/ui_dialogs.h"
#include "operations/tbvlink.h"
#include "render/gui_text.h"

#include <QIcon>
#include <QPixmap>
#include <QTableWidget>

namespace tgm {
namespace {

const QColor kSameColour(196, 232, 196);
const QColor kOtherColour(244, 188, 188);

// A square of the mark's colour, darker, that stays seen on the selected row.
QIcon swatch(const QColor& colour) {
    QPixmap square(8, 8);
    square.fill(colour.darker(160));
    return QIcon(square);
}

} // namespace

void TPrjForm::mark_comparison(const std::vector<ChannelDifference>& differences) {
    marks_.take(link_->group, differences, project_.tables());
    for (int k = 0; k < project_.count(); ++k)
        show_mark(k);
}

void TPrjForm::forget_marks() {
    marks_.forget();
    for (int k = 0; k < project_.count(); ++k)
        show_mark(k);
}

// On the channel's own cell, so that every text of the row stays; the tooltip says it in words.
void TPrjForm::show_mark(int k) {
    if (k >= TabGrid->rowCount())
        return;
    QTableWidgetItem* cell = grid_cell(TabGrid, k, 0, 4);
    const CompareMarks::Mark mark = marks_.mark(k);
    if (mark == CompareMarks::Mark::none) {
        cell->setBackground(TabGrid->palette().window());
        cell->setIcon(QIcon());
    } else {
        const QColor& colour = mark == CompareMarks::Mark::same ? kSameColour : kOtherColour;
        cell->setBackground(colour);
        cell->setIcon(swatch(colour));
    }
    cell->setToolTip(qs(marks_.text(k)));
}

void TPrjForm::show_differences(const QString& text) {
    const int32_t k = marks_.first_drawn_difference();
    if (k < 0) {
        ui_dialogs().message(this, text);
        return;
    }
    if (ui_dialogs().message_or_action(this, text, u("Показать на графике…"),
                                       MessageKind::information))
        edit_tables(k + 1);
}

} // namespace tgm
