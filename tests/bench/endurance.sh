#!/bin/bash
# Figures of the real tool under Wine over long runs, printed, not judged:
# one run through 20,000 captures over both windows at once (the process's
# memory, threads and descriptors before and after, as Linux counts them:
# Wine keeps no handle, USER or GDI counts), and RUNS runs in which window #1
# is closed while window #2 captures (how many entries each run left, and
# whether the last one is whole). Expects the test display and prefix of
# tests/wine/start.sh. Usage: endurance.sh BUILD_DIR [RUNS]
set -eu
build=$(cd "$1" && pwd)
runs=${2:-15}
wine_run="$(cd "$(dirname "$0")/../wine" && pwd)/run.sh"
post() { "$wine_run" "$build" "$build/tests/post_commands.exe" "$@" </dev/null >/dev/null 2>&1; }
entries() { grep -c -- '^-\{69\}' "$dir/Vantorel.txt" 2>/dev/null || true; }
wait_for() { # entries, seconds
    for _ in $(seq $(($2 * 10))); do
        [ "$(entries)" -ge "$1" ] && return 0
        sleep 0.1
    done
    echo "only $(entries) of $1 entries" >&2
    return 1
}
start() {
    dir="$build/bench/endurance-$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && exec "$wine_run" "$build" "$build/Vantorel.exe" </dev/null >/dev/null 2>&1) &
    tool=$!
    wait_for 2 30
}
figures() {
    printf '%s: %s KiB private resident, %s KiB virtual, %s threads, %s descriptors\n' "$1" \
        "$(awk '/^RssAnon/ { print $2 }' "/proc/$tool/status")" \
        "$(awk '/^VmSize/ { print $2 }' "/proc/$tool/status")" \
        "$(awk '/^Threads/ { print $2 }' "/proc/$tool/status")" "$(ls "/proc/$tool/fd" | wc -l)"
}
# The entries are whole when every one has 179 lines.
cut_short() {
    awk -v separator="$(printf -- '-%.0s' $(seq 69))"$'\r' '
        $0 == separator { if (n && n != 179) bad++; n = 0 } { n++ }
        END { if (n != 179) bad++; print bad + 0 }' "$dir/Vantorel.txt"
}

echo "## 20,000 captures in one run"
start flat
post "ThreadInputContext #1" 1000 "ThreadInputContext #2" 1000
wait_for 2002 60
figures "after 2,000 captures"
post "ThreadInputContext #1" 10000 "ThreadInputContext #2" 10000
wait_for 22002 240
figures "after 20,000 more   "
echo "entries: $(entries), cut short: $(cut_short)"
post "ThreadInputContext #1" close
wait "$tool"

echo
echo "## Closing window #1 while window #2 captures, $runs runs"
for run in $(seq "$runs"); do
    start "ending-$run"
    post "ThreadInputContext #2" 20000
    post "ThreadInputContext #1" close
    status=0
    wait "$tool" || status=$?
    echo "run $run: exit code $status, $(entries) entries, cut short: $(cut_short)"
done
