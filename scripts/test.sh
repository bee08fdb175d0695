#!/bin/bash
# Installs what is missing, builds the presets and runs every test: on Linux
# the unit tests and vantorel-report's tests under ASan and UBSan and its page
# in a headless browser, a short fuzzing of the report format and of the
# reader, the optimised build for users, then the Windows build: the real tool
# end to end under Wine.
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

cmake --preset win32 >/dev/null
cmake --build --preset win32
if tests/wine/can-run.sh; then
    ctest --preset win32
else
    echo "warning: this machine cannot run 32-bit programs (its kernel has 32-bit" \
        "emulation off): the tests under Wine are skipped" >&2
    ctest --preset win32 --label-exclude wine
fi
