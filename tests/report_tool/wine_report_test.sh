#!/bin/bash
# vantorel-report.exe, the Windows console build, under Wine on the fixture
# reports named by Windows paths (relative with backslashes, and with a drive
# letter): exit statuses and what it prints. Usage: wine_report_test.sh
# BUILD_DIR REPORTS_DIR
set -u
# Bytes compared as bytes; Wine takes the arguments' bytes as UTF-8.
export LC_ALL=C
build=$(cd "$1" && pwd)
wine="$(cd "$(dirname "$0")/../wine" && pwd)/run.sh"
cd "$2/.." || exit 2 # reports are named reports\FILE from here
drive="Z:${PWD//\//\\}\\reports"
failed=0

# expect STATUS TEXT ARGUMENTS...: the exit status, and TEXT in the output.
expect() {
    local status=$1 text=$2 output got
    shift 2
    output=$(LC_ALL=C.UTF-8 "$wine" "$build" "$build/vantorel-report.exe" "$@" 2>&1)
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
expect 1 "pic1->fdwConversion: 0x00000019 | 0x00000009  (-ROMAN)  (reports\\other-handles.txt:370, \
$drive\\changed-value.txt:370)" diff 'reports\other-handles.txt' "$drive\\changed-value.txt"
expect 1 'reports\cut-line.txt:600: last entry (line 538) cut short in the middle of a line' \
    check 'reports\cut-line.txt'
expect 2 'reports\missing.txt: No such file or directory' summary 'reports\missing.txt'
expect 2 'reports: Is a directory' check reports

# Longer than the read window, with threads first seen beyond it: found by
# their offsets through the C runtime's 64-bit seek.
scratch="$build/report-tool-wine" && mkdir -p "$scratch"
for side in a b; do for _ in $(seq 11); do cat reports/base-crlf.txt; done >"$scratch/long-$side.txt"; done
cat reports/other-handles.txt >>"$scratch/long-a.txt"
sed '660s/fOpen: 0/fOpen: 1/' reports/other-handles.txt >>"$scratch/long-b.txt"
long="Z:${scratch//\//\\}\\long"
expect 1 "thread 2, entry 2, pic3->fOpen: 0 | 1  ($long-a.txt:8536, $long-b.txt:8536)
1 difference" diff "$long-a.txt" "$long-b.txt"

# A face name in code page 932, decoded by the platform's own conversion.
{ head -n 26 reports/base-crlf.txt
  printf 'pic1->lfFont.W.lfFaceName: \202l\202r \203S\203V\203b\203N\r\n'
  tail -n +28 reports/base-crlf.txt; } >"$scratch/cp932.txt"
expect 1 '"MS Shell Dlg" | "ＭＳ ゴシック"' --code-page 932 diff 'reports\base-crlf.txt' "Z:${scratch//\//\\}\\cp932.txt"

# Names no ANSI code page holds, and a wildcard that the C runtime expands:
# each name printed as the UTF-8 it was given in. The page replaces the file
# of its name and leaves nothing beside it.
names="$scratch/names" && rm -rf "$names" && mkdir -p "$names/山田" && cd "$names" || exit 2
cp "$2/base-crlf.txt" 日本語.txt
cp "$2/base-lf.txt" 山田/Ω.txt
cp "$2/base-crlf.txt" "$2/base-lf.txt" "$2/changed-value.txt" .
expect 0 '日本語.txt: 4 entries in 2 threads' check 日本語.txt
expect 0 '山田\Ω.txt: 4 entries in 2 threads' check '山田\Ω.txt'
expect 0 "base-crlf.txt: 4 entries in 2 threads
  thread 1, ThreadID 0x00000024: 2 entries, the first at line 1
  thread 2, ThreadID 0x00000028: 2 entries, the first at line 180
base-lf.txt: 4 entries in 2 threads" check 'base-*.txt'
echo old >ページ.html
expect 1 '2 differences' diff --html ページ.html base-crlf.txt changed-value.txt
if [ "$(head -c 15 ページ.html)" != '<!DOCTYPE html>' ] ||
    [ "$(ls -A | tr '\n' ' ')" != 'base-crlf.txt base-lf.txt changed-value.txt ページ.html 山田 日本語.txt ' ]; then
    echo "the page ページ.html is not written whole, or files are left beside it:" && ls -A
    failed=1
fi

# Known differences under UTF-16 names: written, then accepting all.
expect 1 '2 differences' diff --write-known 既知.txt base-crlf.txt changed-value.txt
expect 0 '2 differences known (既知.txt)' diff --known 既知.txt base-crlf.txt changed-value.txt
if ! grep -q '^thread 1, pic1->fdwConversion: 0x00000019 | 0x00000009  (-ROMAN)' 既知.txt; then
    echo "既知.txt is not written as known differences:" && cat 既知.txt
    failed=1
fi
exit $failed
