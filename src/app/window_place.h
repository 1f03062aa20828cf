#pragma once
class QWidget;

namespace tgm {

// Moves a window, frame included, to the middle of the primary screen's free area.
void centre_on_screen(QWidget* window);
// Moves a window, frame included, to the middle of `owner`'s frame, halves truncated.
void centre_on(QWidget* window, const QWidget* owner);

} // namespace tgm
