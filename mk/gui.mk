# The windows: Qt 6 Widgets (with its test library), and the fonts the screenshots are drawn in.
PKGS += qt6-base-dev fonts-dejavu-core fonts-dejavu-extra
