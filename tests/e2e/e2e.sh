#!/bin/bash
# The real tool under Wine, driven as a person drives it, with real clicks
# and keys in the test's virtual X server (xdotool; without a window manager
# the X window is the client area). Usage: e2e.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
wine_run="$(cd "$(dirname "$0")/../wine" && pwd)/run.sh"
export DISPLAY=":$(head -n 1 "$build/wine-state/display")"
passed=0 failed=0

check() { # what, then a command that must succeed
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what" >&2
    fi
}
wait_until() { # seconds, then a command
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
window() { xdotool search --onlyvisible --name "^ThreadInputContext #$1\$" 2>/dev/null | head -n 1; }
shown() { [ -n "$(window "$1")" ]; }
gone() { [ -z "$(window "$1")" ]; }
only_the_tools_windows() { [ "$(xdotool search --onlyvisible --name '.+' | wc -l)" -eq 2 ]; }
click() { # window, pixels from its right edge, from its bottom edge
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH - $2)) $((HEIGHT - $3)) click 1
}
press() { click "$1" 50 25; }
# Keys go to the window that has the focus when Wine takes them, and a click
# moves the focus only once the window's thread has handled it: keys sent
# right after a click, while that thread is slow to run, reach the window
# clicked before. So keys are sent only once the focus is there.
focus_in() { # window number, then a control id, or none for the window or any control
    "$wine_run" "$build" "$build/tests/wait_for_focus.exe" "ThreadInputContext #$1" ${2:+"$2"} \
        </dev/null >/dev/null
}
activate() { # window number
    xdotool mousemove --window "$(window "$1")" 20 20 click 1
    focus_in "$1"
}
close() { activate "$1" && xdotool key alt+F4; }
entries() { grep -c -- '^-\{69\}' "$report" 2>/dev/null; }
has() { [ "$(entries)" -eq "$1" ]; }
has_more_than() { [ "$(entries)" -gt "$1" ]; }
# Window and thread of the last entry, as "hwnd thread".
last() { awk -F'[:,]' '/^ThreadID/ { t = $2 } /^hwnd/ { w = $2 } END { print w, t }' "$report"; }
# The entries after the earlier line: 179 lines each, every one ending in CR LF.
whole() {
    tail -n +2 "$report" | awk -v want="$1" -v separator="$(printf -- '-%.0s' $(seq 69))"$'\r' '
        $0 == separator { if (n % 179) bad++; e++ } !/\r$/ { bad++ } { n++ }
        END { exit !(bad == 0 && n == 179 * e && e == want) }'
}
opened() { wait_until 30 shown 1 && wait_until 30 shown 2 && wait_until 20 has 2; }
start() {
    dir="$build/e2e-$1"
    report="$dir/Vantorel.txt"
    rm -rf "$dir"
    mkdir -p "$dir"
    printf 'an earlier report\r\n' >"$report"
    (cd "$dir" && exec "$wine_run" "$build" "$build/Vantorel.exe" </dev/null >/dev/null 2>&1) &
    tool=$!
    check "both windows open and write their entries" opened
    window1=$(window 1)
    window2=$(window 2)
    xdotool windowmove --sync "$window2" 520 300
}
ended() { ! kill -0 "$tool" 2>/dev/null; }
ended_with() { # exit code
    local status=0
    wait_until 20 ended || kill "$tool"
    wait "$tool" || status=$?
    [ "$status" -eq "$1" ]
}

# A person's session: start, press both buttons, type into an edit, find the
# report replaced by a folder, close window #2, then window #1.
start person
check "each window writes one entry when it opens, from its own thread" has 2
opened=$(awk -F'[:,]' '/^ThreadID/ { t = $2 } /^hwnd/ { print $2, t }' "$report" | sort -u | wc -l)
check "two windows on two threads" [ "$opened" -eq 2 ]
press "$window1"
check "a press of button #1 writes one entry" wait_until 10 has 3
first=$(last)
press "$window2"
check "a press of button #2 writes one entry" wait_until 10 has 4
check "from the other window and thread" [ "$(last)" != "$first" ]
click "$window1" 150 25
check "a click on the edit gives it the keys" focus_in 1 2
xdotool type --delay 20 'typed'
sleep 1
check "typing into the edit writes nothing" has 4
mv "$report" "$dir/kept.txt"
mkdir "$report"
press "$window1"
sleep 1
check "a folder named like the report gets nothing" [ -z "$(ls -A "$report")" ]
check "and no message shows" only_the_tools_windows
rmdir "$report"
mv "$dir/kept.txt" "$report"
close 2
check "closing window #2 closes only it" wait_until 10 gone 2
press "$window1"
check "window #1 still captures" wait_until 10 has 5
check "on its own thread" [ "$(last)" = "$first" ]
close 1
check "closing window #1 ends the tool with exit code 0" ended_with 0
check "the earlier bytes stay first" [ "$(head -n 1 "$report")" = $'an earlier report\r' ]
check "every entry whole, in CR LF lines" whole 5

# Closing window #1 while window #2 captures: the tool ends at once, with
# window #2, and leaves no entry cut short. Window #2 is kept capturing until
# the tool ends by commands posted to it, not by clicks: a click would make
# it the active window, and while its button holds the mouse, a click meant
# for window #1 goes to it.
start ending
check "a click on window #1 gives it the keys" activate 1
keep_capturing() {
    while ! ended; do
        "$wine_run" "$build" "$build/tests/post_commands.exe" "ThreadInputContext #2" 20 \
            </dev/null >/dev/null 2>&1
    done
}
keep_capturing &
poster=$!
check "window #2 captures" wait_until 10 has_more_than 10
xdotool key alt+F4
check "closing window #1 ends the tool with exit code 0" ended_with 0
wait "$poster"
check "window #2 ends with it" gone 2
check "every entry whole" whole "$(entries)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
