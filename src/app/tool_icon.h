#pragma once
// Toolbar icons whose disabled state cannot be mistaken for the enabled one.
#include <QIcon>
#include <QStyle>

namespace tgm {

// The theme's icon, or the style's when the desktop has no theme, at `size` pixels, with its
// disabled state drawn grey and faint: several of the style's icons look alike in both states.
// The style's blank page is itself pale enough to pass for a disabled button, so it gets a
// green plus.
QIcon tool_icon(const QString& theme_name, QStyle::StandardPixmap fallback, const QStyle* style,
                int size);

} // namespace tgm
