#!/bin/bash
# Runs a Windows program under Wine, in the test prefix and on the test display
# that start.sh set up. Usage: run.sh BUILD_DIR PROGRAM [ARGUMENTS...]
set -eu
build=$(cd "$1" && pwd)
shift
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=":$(head -n 1 "$build/wine-state/display")"
exec wine "$@"
