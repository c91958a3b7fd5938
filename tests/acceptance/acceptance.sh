#!/usr/bin/env bash
# Acceptance: the real Uninstall.exe in a fresh sandboxed prefix with the stand-in suite
# installed, driven with real mouse and keyboard input on an X display.
#
#   acceptance.sh <kind> <build-dir> <bin-dir> <screenshot-dir>
#
# Each scenario gets a prefix of its own. Screens are saved as
# <screenshot-dir>/<language>-{confirm,uninstalling,countdown}.png.
set -uo pipefail

kind=$1 build=$2 bin=$3 shots=$4
here=$(cd "$(dirname "$0")" && pwd)
launcher="$here/../wine/wine-test.sh"
root="$build/acceptance-$kind"
# Every scenario's prefix is copied from the build's own sandboxed template.
export VEXA_WINE_TEMPLATES="$build/wine"
mkdir -p "$shots" "$root"
passed=0 failed=0
current=

[ -n "${DISPLAY:-}" ] || { echo "acceptance: needs an X display (scripts/test starts one)"; exit 1; }

check() {  # check <description> <command...>
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED [$current]: $what"
    fi
}

prefix_of() { echo "$root/$1/wine/run-$kind"; }

# fresh <scenario>: a new prefix with the stand-in suite installed.
fresh() {
    current=$1
    "$launcher" cleanup "$kind" "$root/$current" >/dev/null 2>&1 || true
    "$launcher" setup "$kind" "$root/$current" "$bin" >/dev/null || return 1
    "$launcher" run "$kind" "$root/$current" SuiteInstaller.exe install >/dev/null
}

# Ends the scenario's wineserver; its prefix (over a gigabyte) goes unless asked to stay.
finish() {
    "$launcher" cleanup "$kind" "$root/$current" >/dev/null 2>&1 || true
    [ -n "${VEXA_KEEP_PREFIXES:-}" ] || rm -rf "${root:?}/$current"
}

set_language() {  # the suite's config.ini next to the program
    printf '[UI]\r\nlanguage=%s\r\n' "$1" >"$(prefix_of "$current")/drive_c/vexatest/bin/config.ini"
}

set_precheck_answer() {
    "$launcher" exec "$kind" "$root/$current" reg add 'HKLM\SOFTWARE\VexaStandin\procmon' /v UninstallCall \
        /t REG_DWORD /d "$1" /f /reg:64 >/dev/null 2>&1
}

start_uninstaller() {
    "$launcher" run "$kind" "$root/$current" Uninstall.exe >/dev/null 2>&1 &
    UNINSTALLER=$!
}

# The main window's X id, waiting up to 30 s for it.
find_window() {
    local id n
    for n in $(seq 1 60); do
        id=$(xdotool search --onlyvisible --name '^Vexaguard$' 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    return 1
}

window_origin() { xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'; }

# The status label's band of the window, cut out of a screenshot.
label_band() {  # label_band <screenshot> <x> <y> <out>
    convert "$1" -crop "580x30+$2+$(($3 + 262))" +repage "$4"
}

# Two pictures of the label differ (the countdown's number changed).
bands_differ() {
    local differing
    differing=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
    [ "${differing%% *}" != "0" ]
}

window_height() { xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p'; }

click() {  # click <window> <x> <y> (client coordinates)
    xdotool mousemove --window "$1" "$2" "$3" sleep 0.2 click 1
}

key() {  # key <window> <keys>
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    xdotool key --clearmodifiers "$2"
}

# Waits up to <seconds> for the uninstaller to end; its exit code goes to $code. (Not in
# a subshell: only this shell can collect its own child's status.)
wait_exit() {
    local seconds=$1 n
    code=timeout
    for n in $(seq 1 $((seconds * 4))); do
        if ! kill -0 "$UNINSTALLER" 2>/dev/null; then
            wait "$UNINSTALLER"
            code=$?
            return 0
        fi
        sleep 0.25
    done
    kill "$UNINSTALLER" 2>/dev/null
}

still_running() { kill -0 "$UNINSTALLER" 2>/dev/null; }
equals() { [ "$1" = "$2" ]; }
journal_has() { grep -q "$1" "$(prefix_of "$current")/drive_c/vexatest/journal.txt" 2>/dev/null; }
suite_removed() {
    [ ! -e "$(prefix_of "$current")/drive_c/Program Files/Vexaguard/vigild" ] &&
        [ ! -e "$(prefix_of "$current")/drive_c/Program Files (x86)/Vexaguard/vigild" ]
}
report_clean() {
    local report
    report=$("$launcher" run "$kind" "$root/$current" SuiteInstaller.exe report 2>/dev/null)
    # Only the suite folder may be left, holding what the program itself still has loaded,
    # and then it waits in the deletion list for the next logon.
    ! grep -q 'LEFT.*HK' <<<"$report" && ! grep -q 'LEFT.*\(Desktop\|Programs\|AppData\|ProgramData\|drivers\)' <<<"$report" &&
        { ! grep -q 'LEFT' <<<"$report" || grep -q 'Corveluninst' <<<"$report"; }
}

# ---- the whole flow, in every language ---------------------------------------------
for language in en zh-TW zh-CN tr ru pt es; do
    fresh "flow-$language" || { failed=$((failed + 1)); echo "FAILED: prefix for $language"; continue; }
    set_language "$language"
    start_uninstaller
    window=$(find_window)
    check "the confirm window appears" test -n "$window"
    [ -n "$window" ] || { finish; continue; }
    sleep 1
    check "the confirm window is 370 pixels high" equals "$(window_height "$window")" 370
    import -window root "$shots/$language-confirm.png"
    click "$window" 185 344
    sleep 1.5
    import -window root "$shots/$language-uninstalling.png"
    check "the window shrinks to 320 pixels while uninstalling" equals "$(window_height "$window")" 320
    check "the pre-check asked the process monitor" journal_has 'procmon|UninstallCall'
    # The countdown starts once the worker is done and the streak has swept through: the
    # status label then no longer shows the uninstalling text.
    read -r wx wy < <(window_origin "$window")
    label_band "$shots/$language-uninstalling.png" "$wx" "$wy" "$root/band0.png"
    for n in $(seq 1 120); do
        import -window root "$root/now.png"
        label_band "$root/now.png" "$wx" "$wy" "$root/band1.png"
        bands_differ "$root/band0.png" "$root/band1.png" && break
        sleep 0.25
    done
    cp "$root/now.png" "$shots/$language-countdown.png"
    sleep 1
    import -window root "$root/now.png"
    label_band "$root/now.png" "$wx" "$wy" "$root/band2.png"
    check "the countdown's number changes a second later" bands_differ "$root/band1.png" "$root/band2.png"
    wait_exit 60
    check "the window closes by itself with exit code 0" equals "$code" 0
    check "the suite is gone or handed to the next logon" report_clean
    check "the suite folder's content is gone" suite_removed
    finish
done

# ---- ways out before the start ------------------------------------------------------
fresh exits
for way in cancel escape close; do
    start_uninstaller
    window=$(find_window)
    sleep 1
    case $way in
    cancel) click "$window" 395 344 ;;
    escape) key "$window" Escape ;;
    close) key "$window" alt+F4 ;;
    esac
    wait_exit 20
    case $way in
    close) check "closing the window before the start ends with 0" equals "$code" 0 ;;
    *) check "$way before the start ends with 2" equals "$code" 2 ;;
    esac
done
check "nothing was removed by leaving" test -e "$(prefix_of exits)/drive_c/Program Files/Vexaguard/vigild" -o \
    -e "$(prefix_of exits)/drive_c/Program Files (x86)/Vexaguard/vigild"

# ---- a second copy while the first runs ---------------------------------------------
start_uninstaller
first=$UNINSTALLER
window=$(find_window)
start_uninstaller
wait_exit 20
check "a second copy ends with 0" equals "$code" 0
check "a second copy shows no window" equals "$(xdotool search --onlyvisible --name '^Vexaguard$' | wc -l)" 1
UNINSTALLER=$first
key "$window" Escape
wait_exit 20
finish

# ---- a refused pre-check, then a second press; Escape and closing while uninstalling -
fresh refused
set_precheck_answer 1211
start_uninstaller
window=$(find_window)
sleep 1
click "$window" 185 344
sleep 3
check "a refused pre-check keeps the confirm screen" equals "$(window_height "$window")" 370
check "a refused pre-check keeps the program running" still_running
set_precheck_answer 2
click "$window" 185 344
sleep 2
check "a second press runs the pre-check again and starts" equals "$(window_height "$window")" 320
key "$window" Escape
key "$window" alt+F4
sleep 0.5
check "Escape and closing are ignored while uninstalling" still_running
wait_exit 60
check "the uninstallation still ends with exit code 0" equals "$code" 0
check "the process monitor was asked twice" equals "$(grep -c 'procmon|UninstallCall' "$(prefix_of refused)/drive_c/vexatest/journal.txt")" 2
finish

echo "screenshots: $shots"
echo "acceptance: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
