# The windows: Qt 6 Widgets (with its test library), Qt's Russian translation for its own dialogs
# and buttons, and the fonts the screenshots and the sheets are drawn in; Qt's print support
# (its CUPS plugin included) for "Печать…".
PKGS += qt6-base-dev qt6-translations-l10n fonts-dejavu-core fonts-dejavu-extra libqt6printsupport6
