#!/bin/bash
# Stops the wineserver of the test prefix and the virtual X server that
# start.sh started, and nothing else. Usage: stop.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
state="$build/wine-state"
WINEPREFIX="$build/wineprefix" wineserver -k </dev/null >/dev/null 2>&1
# The servers of the prefixes that run-as.sh made for other users.
for home in "$build"/user-*; do
    [ -d "$home/prefix" ] || continue
    runuser -u "${home##*/user-}" -- env WINEPREFIX="$home/prefix" wineserver -k         </dev/null >/dev/null 2>&1
done
if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
fi
rm -f "$state/display" "$state/xvfb.pid"
exit 0
