#!/bin/bash
# Runs a Windows program under Wine, in the test prefix and on the test display
# that start.sh set up. Usage: run.sh BUILD_DIR PROGRAM [ARGUMENTS...]
set -eu
build=$(cd "$1" && pwd)
shift
. "$(dirname "$0")/loader.sh"
export DISPLAY=":$(head -n 1 "$build/wine-state/display")"
exec "$wine" "$@"
