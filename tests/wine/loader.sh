# Sourced by the Wine scripts with $build set: the test prefix of that build
# folder and the Wine loader for its programs, which CMake names in
# $build/wine-bits. For 64-bit programs that is wine64 itself, since the wine
# command starts the 32-bit loader, which some kernels cannot run.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=wine
if [ "$(cat "$build/wine-bits" 2>/dev/null)" = 64 ]; then
    wine=/usr/lib/wine/wine64
    export WINEARCH=win64 WINELOADER=$wine
fi
