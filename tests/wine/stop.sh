#!/bin/bash
# Stops the wineserver of the test prefix and the virtual X server that
# start.sh started, and nothing else. Usage: stop.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
state="$build/wine-state"
WINEPREFIX="$build/wineprefix" wineserver -k </dev/null >/dev/null 2>&1
if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
fi
rm -f "$state/display" "$state/xvfb.pid"
exit 0
