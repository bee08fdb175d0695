#!/bin/bash
# Starts what the Windows tests run in: a virtual X server and a persistent
# wineserver for a private Wine prefix inside the build folder.
# Usage: start.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
state="$build/wine-state"
mkdir -p "$state"
. "$(dirname "$0")/loader.sh"

# A display of our own, unless the one started earlier still answers.
if [ -s "$state/display" ] && [ -s "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    :
else
    rm -f "$state/display"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$state/display" ] && break
        sleep 0.1
    done
    [ -s "$state/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
fi
export DISPLAY=":$(head -n 1 "$state/display")"

# Wine's helper processes inherit stdout and stderr: every one started here
# has them redirected, so that nothing waits for them to close. The server is
# made persistent first (it may already run from an earlier start), so that
# every test run finds it warm.
wineserver -p </dev/null >/dev/null 2>&1 || true
# wineboot's exit code says nothing useful (2 after a good first start); the
# registry write after it must succeed.
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
fi
"$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1
# Wine draws the caption buttons in Marlett (Debian's fonts-wine): in the
# prefix's own fonts, so that they show as buttons, not as "0 1 r".
marlett=/usr/share/wine/fonts/marlett.ttf
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp "$marlett" "$fonts/"
fi
echo "Wine prefix $WINEPREFIX on display $DISPLAY"
