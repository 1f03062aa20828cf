#!/bin/sh
# The main window of the Windows build under Wine's own windows platform on a virtual X display:
# docs/main-window-windows.png. Needs `make windows` first, and Xvfb, Wine and ImageMagick.
set -e
cd "$(dirname "$0")/.."
BUILD=${WINDOWS_BUILD:-build-windows}
export WINEPREFIX="$PWD/$BUILD/wine" WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
# Qt's windows platform draws with the fonts of the prefix.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/fonts/truetype/dejavu/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
run=$(mktemp -d)
mkdir -p /tmp/tgm-example
cp examples/tank_farm.fs /tmp/tgm-example/
Xvfb :77 -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
sleep 2
DISPLAY=:77 TGM_HOME="$run" wine "$BUILD/tgm.exe" /tmp/tgm-example/tank_farm.fs >/dev/null 2>&1 &
tgm=$!
sleep 25
DISPLAY=:77 import -window root "$run/root.png"
kill "$tgm" || true
kill "$xvfb" || true
wineserver -k 2>/dev/null || true
# Without a window manager the window has no frame: the window alone, where Qt centred it.
/usr/bin/convert "$run/root.png" -trim +repage docs/main-window-windows.png
rm -rf "$run"
