#!/bin/bash
# Installs what is missing, builds the presets and runs every test: on Linux
# the unit tests and vantorel-report's tests under ASan and UBSan and its page
# in a headless browser, a short fuzzing of the report format and of the
# reader, the optimised build for users, then the Windows build: the real tool
# end to end under Wine; last, the release files as a user installs them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh 10

# The optimised build for users: it must stay buildable.
cmake --preset release >/dev/null
cmake --build --preset release

# The Windows tests run under Wine: on the 32-bit build where this machine
# runs 32-bit programs, else on a 64-bit build of the same sources under
# 64-bit Wine. VANTOREL_WINE_BITS=64 takes the 64-bit way on any machine.
cmake --preset win32 >/dev/null
cmake --build --preset win32
bits=${VANTOREL_WINE_BITS:-}
if [ -z "$bits" ]; then
    if tests/wine/can-run.sh 32; then
        bits=32
    elif tests/wine/can-run.sh 64; then
        bits=64
    fi
fi
case "$bits" in
32)
    ctest --preset win32
    tests/release/release_test.sh
    ;;
64)
    ctest --preset win32 --label-exclude wine
    cmake --preset win64 >/dev/null
    cmake --build --preset win64
    ctest --preset win64
    tests/release/release_test.sh --no-wine
    ;;
"")
    echo "warning: this machine runs neither 32-bit nor 64-bit programs under Wine:" \
        "the tests under Wine are skipped" >&2
    ctest --preset win32 --label-exclude wine
    tests/release/release_test.sh --no-wine
    ;;
*)
    echo "VANTOREL_WINE_BITS must be 32 or 64, not $bits" >&2
    exit 2
    ;;
esac
