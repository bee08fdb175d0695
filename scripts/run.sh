#!/bin/bash
# Builds the tool and runs it under Wine.
# On a display: the tool opens its two windows there and writes Vantorel.txt
# in the current folder; close window #1 to end it.
# With no display (a server, CI): runs it on Wine's virtual desktop in a
# virtual X server, presses each window's button once, closes both windows,
# saves a screenshot (title bars drawn by Wine's desktop), and prints what
# vantorel-report says of the report and of the run it added.
# Either way it ends by checking the report with vantorel-report.
set -euo pipefail
here=$(pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Vantorel >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
build="$root/build/win32"
exe="$build/Vantorel.exe"
check() { "$root/build/release/vantorel-report" check "$1"; }

if ! tests/wine/can-run.sh 32; then
    echo "This machine cannot run 32-bit programs (its kernel has 32-bit emulation" \
        "off), so Wine cannot run $exe here. Copy it to a Windows machine, or use one" \
        "whose kernel runs 32-bit code." >&2
    exit 1
fi

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    cd "$here"
    echo "Running $exe in $here; close \"ThreadInputContext #1\" to end it."
    WINEDEBUG=-all wine "$exe" || true
    check Vantorel.txt
    exit
fi

# No display: a demonstration in a virtual X server and the test prefix.
tests/wine/start.sh "$build" >/dev/null
trap 'tests/wine/stop.sh "$build"' EXIT
export DISPLAY=":$(head -n 1 "$build/wine-state/display")"
demo="$build/demo"
mkdir -p "$demo"
report="$demo/Vantorel.txt"
before=$(stat -c %s "$report" 2>/dev/null || echo 0)

wait_until() { # seconds, then a command that must succeed
    local limit=$(($1 * 10))
    shift
    for _ in $(seq "$limit"); do
        "$@" && return 0
        sleep 0.1
    done
    echo "timed out waiting for: $*" >&2
    return 1
}
added() { tail -c +$((before + 1)) "$report" 2>/dev/null | grep -c -- '^-\{69\}' || true; }
has_entries() { [ "$(added)" -ge "$1" ]; }
window() { xdotool search --onlyvisible --name "^ThreadInputContext #$1\$" 2>/dev/null | head -n 1; }
is_shown() { [ -n "$(window "$1")" ]; }
is_gone() { [ -z "$(window "$1")" ]; }
# On Wine's desktop each window is placed where it is moved to, frame and
# title bar included; the button is at the bottom right of its client area.
place() { xdotool windowmove "$(window "$1")" "$2" "$3"; }
click_button() { xdotool mousemove $(($1 + 395)) $(($2 + 220)) click 1; }
close_window() { # the title bar clicked first, so that the keys go to it
    xdotool mousemove $(($1 + 150)) $(($2 + 12)) click 1
    sleep 0.5
    xdotool key alt+F4
}

(cd "$demo" && exec "$root/tests/wine/run.sh" "$build" explorer /desktop=Vantorel,940x290 "$exe" \
    </dev/null >/dev/null 2>&1) &
tool=$!
wait_until 30 is_shown 1
wait_until 30 is_shown 2
wait_until 20 has_entries 2
place 1 10 20
place 2 480 20
sleep 0.5
click_button 10 20
wait_until 10 has_entries 3
click_button 480 20
wait_until 10 has_entries 4
sleep 0.3
import -window root -crop 940x290+0+0 "$demo/screenshot.png"
close_window 480 20
wait_until 10 is_gone 2
close_window 10 20
status=0
wait "$tool" || status=$?

echo "The tool ended with exit code $status; this run added $(added) entries to $report."
echo "Screenshot: $demo/screenshot.png"
echo
echo "$ vantorel-report check $report"
check "$report"
echo
echo "$ tail -c +$((before + 1)) $report | vantorel-report summary -"
tail -c +$((before + 1)) "$report" | "$root/build/release/vantorel-report" summary -
