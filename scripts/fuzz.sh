#!/bin/bash
# Runs the report fuzzer for a bounded time (seconds, default 10: from the
# committed seed corpus it finds a planted fault in the face names or the
# lines within 2 s) and prints how many inputs it ran a minute. A crash or a
# failed check leaves its input in build/fuzz/ and fails the run.
# Then the same for the report reader (seconds, default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
corpus=build/fuzz/corpus
rm -rf "$corpus"
mkdir -p "$corpus"
cp tests/fuzz/corpus/* "$corpus/"
log=build/fuzz/fuzz.log
status=0
build/fuzz/report_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ "$corpus" >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
    tail -n 30 "$log"
    echo "fuzzing failed" >&2
    exit 1
fi
echo "fuzzed the report format for ${seconds} s: ${runs} inputs, $((runs * 60 / seconds)) a minute"

reader_seconds=${2:-15}
corpus=build/fuzz/reader_corpus
rm -rf "$corpus"
mkdir -p "$corpus"
cp tests/fuzz/reader_corpus/* "$corpus/"
build/fuzz/reader_fuzzer -max_total_time="$reader_seconds" -print_final_stats=1 \
    -dict=tests/fuzz/reader.dict \
    -artifact_prefix=build/fuzz/ "$corpus" >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
    tail -n 30 "$log"
    echo "fuzzing failed" >&2
    exit 1
fi
echo "fuzzed the report reader for ${reader_seconds} s: ${runs} inputs, $((runs * 60 / reader_seconds)) a minute"
