#!/bin/sh
# Renders the README screenshots of the windows into docs/ on Qt's offscreen platform.
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake --preset dev -B "$BUILD"
cmake --build "$BUILD" -j "${JOBS:-2}" --target tgm_screenshots
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BUILD/tests/app/tgm_screenshots" docs
# The calibration sheets of examples/rgs50.fs31 (one table, three pages): the first and the last.
cmake --build "$BUILD" -j "${JOBS:-2}" --target tgm-cli
sheets=$(mktemp -d)
"$BUILD/tgm-cli" pdf examples/rgs50.fs31 "$sheets/sheets.pdf"
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$sheets/sheets.pdf" docs/pdf-sheet-first
pdftoppm -png -r 60 -f 3 -l 3 -singlefile "$sheets/sheets.pdf" docs/pdf-sheet-last
# The first sheet's graph at print size (150 dpi), to read its texts.
pdftoppm -png -r 150 -f 1 -l 1 -x 80 -y 495 -W 1085 -H 815 -singlefile "$sheets/sheets.pdf" \
    docs/pdf-sheet-graph
rm -rf "$sheets"
# The write protocol of a real run: a verified write of examples/station_litres.fs2 into the
# simulated unit, with its copy, on a settings folder of its own.
cmake --build "$BUILD" -j "${JOBS:-2}" --target tgm-cli tgm-sim
run=$(mktemp -d)
"$BUILD/tgm-sim" --protocol v --firmware 9600 --link "$run/unit" >/dev/null &
sim=$!
while [ ! -e "$run/unit" ]; do sleep 0.1; done
TGM_HOME="$run" "$BUILD/tgm-cli" --port "$run/unit" write examples/rgs50.fs31 >/dev/null
TGM_HOME="$run" "$BUILD/tgm-cli" --port "$run/unit" write examples/station_litres.fs2 \
    --backup "$run/BACKUP/" --verify --protocol "$run/protocol.pdf"
kill -INT "$sim"
wait "$sim" || true
pdftoppm -png -r 60 -singlefile "$run/protocol.pdf" docs/write-protocol
rm -rf "$run"
