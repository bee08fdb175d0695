#!/bin/bash
# vantorel-report.exe, the Windows console build, under Wine on the fixture
# reports named by Windows paths (relative with backslashes, and with a drive
# letter): exit statuses and what it prints. Usage: wine_report_test.sh
# BUILD_DIR REPORTS_DIR
set -u
build=$(cd "$1" && pwd)
wine="$(cd "$(dirname "$0")/../wine" && pwd)/run.sh"
cd "$2/.." || exit 2 # reports are named reports\FILE from here
drive="Z:${PWD//\//\\}\\reports"
failed=0

# expect STATUS TEXT ARGUMENTS...: the exit status, and TEXT in the output.
expect() {
    local status=$1 text=$2 output got
    shift 2
    output=$("$wine" "$build" "$build/vantorel-report.exe" "$@" 2>&1)
    got=$?
    output=$(printf '%s' "$output" | tr -d '\r')
    if [ "$got" -ne "$status" ] || [[ "$output" != *"$text"* ]]; then
        printf 'vantorel-report %s: status %s, not %s, or no "%s" in:\n%s\n' \
            "$*" "$got" "$status" "$text" "$output"
        failed=1
    fi
}

expect 0 'reports\base-crlf.txt: 4 entries in 2 threads' check 'reports\base-crlf.txt'
expect 0 '"same": true' --json diff 'reports\base-lf.txt' "$drive\\other-handles.txt"
expect 1 "pic1->fdwConversion: 0x00000019 | 0x00000009  (reports\\other-handles.txt:370, \
$drive\\changed-value.txt:370)" diff 'reports\other-handles.txt' "$drive\\changed-value.txt"
expect 1 'reports\cut-line.txt:600: last entry (line 538) cut short in the middle of a line' \
    check 'reports\cut-line.txt'
expect 2 'reports\missing.txt: No such file or directory' summary 'reports\missing.txt'
expect 2 'reports: is a directory' check reports

# Longer than the read window, with threads first seen beyond it: found by
# their offsets through the C runtime's 64-bit seek.
scratch="$build/report-tool-wine" && mkdir -p "$scratch"
for side in a b; do for _ in $(seq 11); do cat reports/base-crlf.txt; done >"$scratch/long-$side.txt"; done
cat reports/other-handles.txt >>"$scratch/long-a.txt"
sed '660s/fOpen: 0/fOpen: 1/' reports/other-handles.txt >>"$scratch/long-b.txt"
long="Z:${scratch//\//\\}\\long"
expect 1 "thread 4, entry 2, pic3->fOpen: 0 | 1  ($long-a.txt:8536, $long-b.txt:8536)
1 difference" diff "$long-a.txt" "$long-b.txt"
exit $failed
