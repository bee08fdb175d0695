#!/bin/bash
# Benchmarks of the Windows build under Wine, each a ratio against a baseline
# measured in the same run: one capture, a capture into a 1 GiB report, the
# tool's start-up, and the executable's size and imports; then the tool over
# long runs. Prints figures; it fails only if something does not run.
# Usage: scripts/bench.sh [CAPTURE_SAMPLES] [START_RUNS] [ENDING_RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
samples=${1:-2001}
runs=${2:-7}
ending_runs=${3:-15}

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
build="$root/build/win32"
tests/wine/start.sh "$build" >/dev/null
trap 'tests/wine/stop.sh "$build"' EXIT
run() { "$root/tests/wine/run.sh" "$build" "$@"; }
work="$build/bench"
rm -rf "$work"
mkdir -p "$work"

echo "# Capture ($(date -u +%Y-%m-%d), $(nproc) cores, $(wine --version))"
(cd "$work" && run "$build/tests/capture_bench.exe" "$samples")

echo
echo "# Start-up, median of $runs runs"
now() { date +%s%N; }
entries() {
    local count
    count=$(grep -c -- '^-\{69\}' "$1" 2>/dev/null) || true
    echo "${count:-0}"
}
tool_times=()
trivial_times=()
for i in $(seq "$runs"); do
    dir="$work/start-$i"
    mkdir -p "$dir"
    start=$(now)
    (cd "$dir" && run "$build/Vantorel.exe" </dev/null >/dev/null 2>&1) &
    tool=$!
    while [ "$(entries "$dir/Vantorel.txt")" -lt 2 ]; do sleep 0.005; done
    tool_times+=($(( ($(now) - start) / 1000 )))
    run "$build/tests/post_commands.exe" "ThreadInputContext #1" close </dev/null >/dev/null 2>&1
    wait "$tool"
    start=$(now)
    run "$build/tests/trivial.exe" </dev/null >/dev/null 2>&1
    trivial_times+=($(( ($(now) - start) / 1000 )))
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
tool_median=$(median "${tool_times[@]}")
trivial_median=$(median "${trivial_times[@]}")
echo "tool, start to both creation entries: $((tool_median / 1000)) ms"
echo "trivial program, start to exit:       $((trivial_median / 1000)) ms"
awk -v a="$tool_median" -v b="$trivial_median" 'BEGIN { printf "ratio tool / trivial:                 %.2f\n", a / b }'

echo
echo "# Executable"
size=$(stat -c %s "$build/Vantorel.exe")
echo "Vantorel.exe: $size bytes ($(( (size + 1023) / 1024 )) KiB, stripped)"
tests/wine/check_imports.sh i686-w64-mingw32-objdump "$build/Vantorel.exe"

# ---- The tool over long runs ----
echo
tests/bench/endurance.sh "$build" "$ending_runs"

# ---- vantorel-report on 1 GiB reports ----
echo
scripts/bench-report.sh
