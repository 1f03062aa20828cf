#!/bin/bash
# The Windows programs under Wine, checked against the Linux programs of the same tree:
#   tests/windows/wine-tests.sh WINDOWS_BUILD LINUX_BUILD
# info and convert of every example give the Linux tool's bytes; a Cyrillic file name given on
# the command line; a file replaced and a read-only one refused; write, read, compare and clear
# against the Linux tgm-sim through a COM port of the Wine prefix (a pseudo-terminal behind
# COM5) for K and V units, the read files byte for byte the Linux tool's; Ctrl+C during a wait;
# tgm.exe started; the package's folder and its installer run silently, when the package is
# there; the core's test programs and the window tests built for Windows.
set -u
WIN=$(realpath "${1:-build-windows}")
LIN=$(realpath "${2:-build}")
SRC=$(realpath "$(dirname "$0")/../..")
export WINEPREFIX="$WIN/wine" WINEDEBUG=-all
CLI="$WIN/tgm-cli.exe"
WORK=$(mktemp -d)
SIM_PID=
failures=0
checks=0

cleanup() {
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
    wineserver -k 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

pass() { checks=$((checks + 1)); echo "ok   $1"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL $1"; }
# expect NAME WANTED_CODE CODE
expect() { if [ "$3" -eq "$2" ]; then pass "$1"; else fail "$1 (exit $3, wanted $2)"; fi; }
same() { if cmp -s "$2" "$3"; then pass "$1"; else fail "$1: $2 and $3 differ"; fi; }

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== a Wine prefix of its own: $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
fi
# The prefix's own server, its diagnostics kept out of the programs' output.
wineserver -p >/dev/null 2>&1 &
wine_path() { winepath -w "$1" 2>/dev/null; }
# The tool's settings, REPORT and journal in the scratch folder, on both sides.
export TGM_HOME="$WORK/home-linux"
mkdir -p "$TGM_HOME" "$WORK/home-windows"
WINE_HOME=$(wine_path "$WORK/home-windows")
wcli() { TGM_HOME="$WINE_HOME" wine "$CLI" "$@"; }

echo "== info and convert of every example"
for f in "$SRC"/examples/*; do
    name=$(basename "$f")
    wcli info "$(wine_path "$f")" >"$WORK/w.txt" 2>&1
    expect "info $name" 0 $?
    "$LIN/tgm-cli" info "$f" >"$WORK/l.txt" 2>&1
    same "info $name as on Linux" "$WORK/w.txt" "$WORK/l.txt"
    for ext in fs fs2 csv; do
        wcli convert "$(wine_path "$f")" "$(wine_path "$WORK/w.$ext")" >/dev/null 2>&1
        "$LIN/tgm-cli" convert "$f" "$WORK/l.$ext" >/dev/null 2>&1
        same "convert $name to .$ext as on Linux" "$WORK/w.$ext" "$WORK/l.$ext"
    done
done

echo "== a Cyrillic file name on the command line"
cyrillic="$WORK/Резервуары склада.fs"
cp "$SRC/examples/tank_farm.fs" "$cyrillic"
wcli info "$(wine_path "$cyrillic")" >"$WORK/w.txt" 2>&1
expect "info of a Cyrillic name" 0 $?
"$LIN/tgm-cli" info "$cyrillic" >"$WORK/l.txt" 2>&1
same "info of a Cyrillic name as on Linux" "$WORK/w.txt" "$WORK/l.txt"
wcli convert "$(wine_path "$cyrillic")" "$(wine_path "$WORK/Копия.fs2")" >/dev/null 2>&1
expect "convert to a Cyrillic name" 0 $?
"$LIN/tgm-cli" convert "$cyrillic" "$WORK/l.fs2" >/dev/null 2>&1
same "the Cyrillic-named copy as on Linux" "$WORK/Копия.fs2" "$WORK/l.fs2"

echo "== a file replaced, and one protected by its attribute"
target="$WORK/replaced.fs2"
wcli convert "$(wine_path "$SRC/examples/tank_farm.fs")" "$(wine_path "$target")" >/dev/null 2>&1
wcli convert "$(wine_path "$SRC/examples/station_litres.fs2")" "$(wine_path "$target")" >/dev/null 2>&1
expect "convert onto an existing file" 0 $?
"$LIN/tgm-cli" convert "$SRC/examples/station_litres.fs2" "$WORK/l.fs2" >/dev/null 2>&1
same "the replaced file as on Linux" "$target" "$WORK/l.fs2"
chmod a-w "$target" # Wine shows it as read-only
wcli convert "$(wine_path "$SRC/examples/tank_farm.fs")" "$(wine_path "$target")" >"$WORK/w.txt" 2>&1
expect "convert onto a read-only file fails" 1 $?
if grep -q "файл защищён от записи" "$WORK/w.txt"; then pass "and says the file is write-protected"; else fail "and says the file is write-protected"; fi
same "the read-only file unchanged" "$target" "$WORK/l.fs2"

echo "== a copy that would replace the input, told by the file and not by its drive"
cp "$SRC/examples/rgs50.fs31" "$WORK/in.fs31"
cp "$SRC/examples/rgs50.fs31" "$WORK/other.fs31"
wcli --port COM9 write "$(wine_path "$WORK/in.fs31")" --backup "$(wine_path "$WORK/in.fs31")" \
    --no-journal >"$WORK/w.txt" 2>&1
expect "write --backup onto IN is a usage error" 2 $?
# Another file of the same drive is not IN: the write goes on to the port, which is not there.
wcli --port COM9 write "$(wine_path "$WORK/in.fs31")" --backup "$(wine_path "$WORK/other.fs31")" \
    --no-journal >"$WORK/w.txt" 2>&1
expect "write --backup onto another file goes on to the port" 1 $?

echo "== the port table as Windows has it"
wcli --port >"$WORK/w.txt" 2>&1
expect "--port without a value is a usage error" 2 $?
if grep -q "^--port: номер порта 0–63 (tgm-cli ports)" "$WORK/w.txt"; then
    pass "--port's usage names 0–63 (COM1–COM64)"
else
    fail "--port's usage names 0–63 (COM1–COM64): $(head -c 300 "$WORK/w.txt")"
fi

# sim_on_com5 TGM-SIM-OPTION...: a Linux tgm-sim whose pseudo-terminal is COM5 of the prefix;
# sim_off ends it.
com="$WINEPREFIX/dosdevices/com5"
sim_on_com5() {
    rm -f "$com"
    "$LIN/tgm-sim" "$@" --link "$com" >"$WORK/sim.txt" 2>&1 &
    SIM_PID=$!
    for _ in $(seq 50); do [ -L "$com" ] && break; sleep 0.1; done
}
sim_off() {
    kill "$SIM_PID" 2>/dev/null
    wait "$SIM_PID" 2>/dev/null
    SIM_PID=
    rm -f "$com"
}

# unit PROTOCOL FIRMWARE EXAMPLE: the whole round against one simulated unit on COM5.
unit() {
    local protocol=$1 firmware=$2 example="$SRC/examples/$3" what="$1 $2"
    sim_on_com5 --protocol "$protocol" --firmware "$firmware"
    if wcli ports 2>&1 | grep -q "^4	COM5	"; then pass "$what: ports lists COM5"; else fail "$what: ports lists COM5"; fi
    wcli --port COM5 write "$(wine_path "$example")" >"$WORK/w.txt" 2>&1
    expect "$what: write" 0 $?
    wcli --port 4 compare "$(wine_path "$example")" >"$WORK/w.txt" 2>&1
    expect "$what: compare after the write" 0 $?
    wcli --port '\\.\COM5' read "$(wine_path "$WORK/w-read.fs")" >"$WORK/w.txt" 2>&1
    expect "$what: read" 0 $?
    "$LIN/tgm-cli" --port "$com" read "$WORK/l-read.fs" >"$WORK/l.txt" 2>&1
    expect "$what: read by the Linux tool" 0 $?
    same "$what: the read file as the Linux tool's" "$WORK/w-read.fs" "$WORK/l-read.fs"
    wcli --port COM5 clear >"$WORK/w.txt" 2>&1
    expect "$what: clear" 0 $?
    wcli --port COM5 compare "$(wine_path "$example")" >"$WORK/w.txt" 2>&1
    expect "$what: compare after the clear finds differences" 3 $?
    sim_off
}
echo "== against tgm-sim on COM5"
unit k 6362 rgs50.fs31
unit k 8510 station_cubic.fs1
unit v 10000 station_litres.fs2

echo "== Ctrl+C while tgm-cli waits for a unit that never gets ready"
# Wine hands the SIGINT to the program's console handler as Windows hands Ctrl+C.
sim_on_com5 --protocol v --firmware 9600 --init-polls never
wcli --port COM5 read "$(wine_path "$WORK/cancelled.fs")" >"$WORK/w.txt" 2>"$WORK/e.txt" &
cli=$!
for _ in $(seq 100); do pgrep -f 'tgm-cli.exe --port COM5 read' >/dev/null && break; sleep 0.1; done
sleep 3
pkill -INT -f 'tgm-cli.exe --port COM5 read'
wait "$cli"
expect "Ctrl+C ends the read" 130 $?
if grep -q "^Операция прервана пользователем.$" "$WORK/e.txt" && [ ! -e "$WORK/cancelled.fs" ]; then
    pass "Ctrl+C: the cancel is told and no file is written"
else
    fail "Ctrl+C: the cancel is told and no file is written ($(head -c 300 "$WORK/e.txt"))"
fi
sim_off

if [ -e "$WIN/tgm.exe" ]; then
    echo "== tgm.exe on the offscreen platform"
    # Every DLL and plugin it needs is beside it when it is still in its message loop; a
    # missing one ends it at once.
    WINEQT_QPA_PLATFORM=offscreen TGM_HOME="$WINE_HOME" \
        wine "$WIN/tgm.exe" "$(wine_path "$SRC/examples/tank_farm.fs")" >"$WORK/tgm.txt" 2>&1 &
    tgm_pid=$!
    sleep 10
    if kill -0 "$tgm_pid" 2>/dev/null; then pass "tgm.exe started and runs"; else fail "tgm.exe ended: $(head -c 300 "$WORK/tgm.txt")"; fi
    kill "$tgm_pid" 2>/dev/null
    wait "$tgm_pid" 2>/dev/null
fi

portable=$(ls "$WIN"/package/tgm-*-portable.zip 2>/dev/null | tail -1)
if [ -n "$portable" ]; then
    echo "== the portable folder ($(basename "$portable"))"
    listing=$(unzip -Z1 "$portable")
    for f in tgm.exe tgm-cli.exe tgm.ini REPORT/ translations/qtbase_ru.qm; do
        if grep -q "^tgm-[^/]*/$f\$" <<<"$listing"; then pass "portable: $f"; else fail "portable: $f"; fi
    done
fi

setup=$(ls "$WIN"/package/tgm-*-setup.exe 2>/dev/null | tail -1)
if [ -n "$setup" ]; then
    echo "== the installer, silently ($(basename "$setup") /S)"
    installed="$WINEPREFIX/drive_c/Program Files/tgm"
    wine "$setup" /S
    expect "installs" 0 $?
    for f in tgm.exe tgm-cli.exe Qt6Widgets.dll libstdc++-6.dll platforms/qwindows.dll \
        translations/qtbase_ru.qm uninstall.exe; do
        if [ -e "$installed/$f" ]; then pass "installed: Program Files/tgm/$f"; else fail "installed: Program Files/tgm/$f"; fi
    done
    if [ -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Градуировочные таблицы.lnk" ]; then
        pass "the Start-menu entry"; else fail "the Start-menu entry"; fi
    if wine reg query 'HKLM\Software\Classes\.fs32' 2>/dev/null | grep -q tgm.form; then
        pass ".fs32 opens in the program"; else fail ".fs32 opens in the program"; fi
    before=$(ls -R "$installed" | wc -l)
    env -u TGM_HOME wine 'C:\Program Files\tgm\tgm-cli.exe' read "$(wine_path "$WORK/none.fs")" >/dev/null 2>&1
    appdata=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/tgm 2>/dev/null | head -1)
    if [ -n "$appdata" ] && [ "$(ls -R "$installed" | wc -l)" = "$before" ]; then
        pass "the installed tgm-cli keeps its settings in %APPDATA%\tgm"
    else
        fail "the installed tgm-cli keeps its settings in %APPDATA%\tgm"
    fi
    wine "$installed/uninstall.exe" /S
    for _ in $(seq 50); do [ -e "$installed/tgm.exe" ] || break; sleep 0.2; done
    if [ ! -e "$installed/tgm.exe" ]; then pass "uninstalls"; else fail "uninstalls"; fi
fi

echo "== the test programs built for Windows: the core's, and the windows' on the offscreen platform"
FONTS=/usr/share/fonts/truetype/dejavu
echo "not built (see tests/windows/not-built.txt):"
grep -v '^#' "$SRC/tests/windows/not-built.txt" | while IFS=$'\t' read -r file why; do
    echo "  $file: $why"
done
for program in "$WIN"/tests/test_*.exe "$WIN"/tests/app/test_*.exe; do
    [ -e "$program" ] || continue
    name=$(basename "$program" .exe)
    filter=
    while IFS=$'\t' read -r prog test why; do
        [ "$prog" = "$name" ] || continue
        echo "skip $name $test: $why"
        filter="$filter:$test"
    done < <(grep -v '^#' "$SRC/tests/windows/skipped.txt")
    # Wine passes QT_* on only as WINEQT_*; the offscreen platform takes its fonts from a folder.
    (cd "$WORK" && WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="$(wine_path "$FONTS")" \
        wine "$program" ${filter:+--gtest_filter=-${filter#:}}) >"$WORK/gtest.txt" 2>&1
    code=$?
    summary=$(grep -a -E '^\[  PASSED  \]' "$WORK/gtest.txt" | tail -1)
    if [ "$code" -eq 0 ]; then
        pass "$name: ${summary#\[  PASSED  \] }"
    else
        grep -a -E '^\[  FAILED  \]' "$WORK/gtest.txt" | sort -u
        fail "$name (exit $code)"
    fi
done

echo "== $checks checks, $failures failed"
[ "$failures" -eq 0 ]
