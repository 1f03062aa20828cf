#!/bin/bash
# The Windows package: a portable zip of the portable build's program folder and an installer
# of the installed build, both in OUT.
#   packaging/windows/make-package.sh PORTABLE_BUILD INSTALLED_BUILD OUT VERSION
set -euo pipefail
PORTABLE=$(realpath "$1")
INSTALLED=$(realpath "$2")
OUT=$(realpath -m "$3")
VERSION=$4
HERE=$(realpath "$(dirname "$0")")

# What a Qt program needs beside it: both programs, the DLLs and the plug-in folders.
stage() {
    local from=$1 to=$2
    rm -rf "$to"
    mkdir -p "$to"
    cp "$from"/tgm.exe "$from"/tgm-cli.exe "$from"/*.dll "$to"/
    cp -r "$from"/platforms "$from"/styles "$from"/imageformats "$from"/translations "$to"/
    x86_64-w64-mingw32-strip "$to"/tgm.exe "$to"/tgm-cli.exe
}

mkdir -p "$OUT"
portable="$OUT/tgm-$VERSION"
stage "$PORTABLE" "$portable"
# The program's folder as the portable program keeps it: its settings and REPORT beside it.
# tgm.ini, which the user edits and the program only reads, comes with every switch commented
# out, in code page 1251 with CR LF as the program's files are. tgm.cfg is the program's own:
# it writes it on its first close, with the forms folder of the user who runs it.
mkdir -p "$portable/REPORT"
sed 's/$/\r/' "$HERE/tgm.ini" | iconv -f UTF-8 -t CP1251 >"$portable/tgm.ini"
(cd "$OUT" && rm -f "tgm-$VERSION-portable.zip" && zip -qr "tgm-$VERSION-portable.zip" "tgm-$VERSION")

installed="$OUT/installed"
stage "$INSTALLED" "$installed"
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$installed" -DOUTFILE="$OUT/tgm-$VERSION-setup.exe" \
    "$HERE/tgm.nsi"
ls -l "$OUT/tgm-$VERSION-portable.zip" "$OUT/tgm-$VERSION-setup.exe"
