#!/bin/bash
# Runs the two fuzzers for a bounded time each, from their committed seed
# corpora, and prints how many inputs each ran a minute: the report format
# (seconds, default 10: it finds a planted fault in the face names or the
# lines within 2 s) and the report reader (seconds, default 15). A crash, a
# failed check or an input that runs past 10 s leaves its input in
# build/fuzz/ and fails the run.
# Usage: scripts/fuzz.sh [FORMAT_SECONDS] [READER_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

# fuzz WHAT FUZZER CORPUS SECONDS [LIBFUZZER OPTIONS...]
fuzz() {
    local what=$1 fuzzer=$2 seeds=$3 seconds=$4 status=0 runs
    shift 4
    local corpus=build/fuzz/$seeds log=build/fuzz/$fuzzer.log
    rm -rf "$corpus"
    mkdir -p "$corpus"
    cp "tests/fuzz/$seeds"/* "$corpus/"
    "build/fuzz/tests/fuzz/$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        -artifact_prefix=build/fuzz/ "$@" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
        tail -n 30 "$log"
        echo "fuzzing the $what failed" >&2
        exit 1
    fi
    echo "fuzzed the $what for ${seconds} s: ${runs} inputs, $((runs * 60 / seconds)) a minute"
}

fuzz "report format" report_fuzzer corpus "${1:-10}"
fuzz "report reader" reader_fuzzer reader_corpus "${2:-15}" -dict=tests/fuzz/reader.dict
