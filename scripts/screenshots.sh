#!/bin/sh
# Renders the README screenshots of the windows into docs/ on Qt's offscreen platform.
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake --preset dev -B "$BUILD"
cmake --build "$BUILD" -j "${JOBS:-2}" --target tgm_screenshots
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/tests/app/tgm_screenshots" docs
