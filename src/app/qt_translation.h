#pragma once

namespace tgm {

// Loads Qt's own Russian texts (the file dialogs, the standard buttons of the boxes) whatever
// the system's locale, since every text of the program is Russian. False when the translation
// is not installed (package qt6-translations-l10n).
bool install_qt_translation();

} // namespace tgm
