#!/bin/bash
# Two real runs of the tool under Wine, each in a fresh folder and ended once
# both windows have written their creation entries: vantorel-report.exe finds
# each report well-formed and the two the same. Usage: real_runs_test.sh
# BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
wine="$(cd "$(dirname "$0")/../wine" && pwd)/run.sh"
DISPLAY=":$(head -n 1 "$build/wine-state/display")"
export DISPLAY
runs="$build/report-tool-runs"
rm -rf "$runs"

window1() { xdotool search --onlyvisible --name '^ThreadInputContext #1$' 2>/dev/null | head -n 1; }
entries() { cat "$runs/$run/Vantorel.txt" 2>/dev/null | grep -c -- '^-\{69\}' || true; }
creation_entries_written() { [ "$(entries)" -ge 2 ] && [ -n "$(window1)" ]; }
wait_for() { # tenths of a second, then a command that must succeed
    for _ in $(seq "$1"); do
        "$2" && return 0
        sleep 0.1
    done
    echo "run $run: timed out waiting for $2" >&2
    return 1
}

for run in 1 2; do
    mkdir -p "$runs/$run"
    # A tool that does not end is stopped, and fails the test.
    (cd "$runs/$run" && exec timeout 90 "$wine" "$build" "$build/Vantorel.exe" \
        </dev/null >/dev/null 2>&1) &
    tool=$!
    wait_for 600 creation_entries_written
    # Without a window manager the X window is the client area: a click
    # there gives it the focus, then the keys a person closes it with.
    xdotool mousemove --window "$(window1)" 20 20 click 1 key alt+F4
    wait "$tool" || { echo "run $run: the tool ended with exit code $?" >&2; exit 1; }
    [ "$(entries)" -eq 2 ] || { echo "run $run wrote $(entries) entries, not 2" >&2; exit 1; }
done

cd "$runs"
"$wine" "$build" "$build/vantorel-report.exe" check '1\Vantorel.txt' '2\Vantorel.txt'
"$wine" "$build" "$build/vantorel-report.exe" diff '1\Vantorel.txt' '2\Vantorel.txt'
echo "two real runs: well-formed, and the same"
