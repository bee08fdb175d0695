#!/bin/bash
# Runs a Windows program under Wine as another Unix user, on the test display,
# in a prefix of that user's own inside the build folder (Wine refuses a
# prefix its user does not own). For the tests that need file permissions to
# stop the tool, which they cannot when it runs as root.
# Usage: run-as.sh USER BUILD_DIR PROGRAM [ARGUMENTS...]
set -eu
user=$1
build=$(cd "$2" && pwd)
shift 2
home="$build/user-$user"
mkdir -p "$home/home"
chown -R "$user:" "$home"
exec runuser -u "$user" -- env HOME="$home/home" WINEPREFIX="$home/prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=":$(head -n 1 "$build/wine-state/display")" \
    wine "$@"
