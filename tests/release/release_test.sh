#!/bin/bash
# The release files as a user gets them: built by scripts/release.sh; the
# package unpacked into a scratch root, its program run and its manual page
# read, lintian run; the zip unpacked into a folder whose name is not ASCII
# and, unless --no-wine, its programs run from there under Wine (the tool
# for one capture of each window, the report tool's --version and check of
# that report) and both programs' version resources read back.
# Usage: release_test.sh [--no-wine]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 2
failed=0
check() { # what, then a command that must succeed
    local what=$1
    shift
    "$@" || { echo "FAILED: $what" >&2; failed=1; }
}
wait_until() { # seconds, then a command
    for _ in $(seq $(($1 * 10))); do
        "${@:2}" && return 0
        sleep 0.1
    done
    return 1
}

scripts/release.sh >/dev/null || { echo "FAILED: scripts/release.sh" >&2; exit 1; }
version=$(sed -n 's/^project(Vantorel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
files=build/release-files
scratch=$root/build/release-test
rm -rf "$scratch" && mkdir -p "$scratch"

deb=$files/vantorel-report_${version}_$(dpkg --print-architecture).deb
dpkg -x "$deb" "$scratch/root"
installed=$scratch/root/usr/bin/vantorel-report
check "the package's program is $version" [ "$("$installed" --version)" = "vantorel-report $version" ]
check "the package's program checks a report" "$installed" check tests/data/reports/base-crlf.txt >/dev/null
page_reads() {
    MANWIDTH=80 man -l "$scratch/root/usr/share/man/man1/vantorel-report.1.gz" 2>/dev/null |
        grep -q -- '--write-known FILE'
}
check "the manual page reads, with every option" page_reads
check "the package depends on nothing" [ -z "$(dpkg-deb -f "$deb" Depends)" ]
lintian_passes() { lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || lintian "$deb"; }
check "lintian finds no error or warning" lintian_passes

folder="$scratch/配布 ü"
mkdir -p "$folder" && unzip -q "$files/vantorel-$version-windows-x86.zip" -d "$folder"
dir="$folder/vantorel-$version"
crlf() { [ "$(grep -c $'\r$' "$dir/README.txt")" -eq "$(wc -l <"$dir/README.txt")" ]; }
check "the zip's README.txt ends its lines in CR LF" crlf
check "the zip holds the two programs" [ -f "$dir/Vantorel.exe" ] && [ -f "$dir/vantorel-report.exe" ]

if [ "${1:-}" != --no-wine ]; then
    build=$root/build/win32
    run="$root/tests/wine/run.sh"
    tests/wine/start.sh "$build" >/dev/null || exit 1
    cd "$dir" || exit 2
    ("$run" "$build" Vantorel.exe </dev/null >/dev/null 2>&1) &
    tool=$!
    captured() { [ "$(grep -c -- '^-\{69\}' Vantorel.txt 2>/dev/null)" = 2 ]; }
    check "the zip's tool writes both windows' entries" wait_until 60 captured
    sleep 1
    kill "$tool" 2>/dev/null
    wait "$tool"
    checked=$("$run" "$build" vantorel-report.exe check Vantorel.txt 2>&1 | tr -d '\r')
    check "the zip's report tool checks that report" [ "${checked%%$'\n'*}" = \
        "Vantorel.txt: 2 entries in 2 threads" ]
    shown=$("$run" "$build" vantorel-report.exe --version | tr -d '\r')
    check "the zip's report tool is $version" [ "$shown" = "vantorel-report $version" ]
    check "both programs carry $version" "$run" "$build" "$build/tests/version_test.exe" \
        Vantorel.exe vantorel-report.exe >/dev/null
    cd "$root" && tests/wine/stop.sh "$build" >/dev/null
fi
exit $failed
