#!/bin/bash
# Installs the Debian 12 packages the builds and tests need, if any is missing:
# the host toolchain and GoogleTest, the mingw-w64 i686 and x86-64 "-posix"
# compilers, 32-bit and 64-bit Wine, a virtual X server and the tools that
# drive and photograph it with the font Wine draws caption buttons in, a
# browser that renders the diff page, and what
# builds and checks the release files.
set -euo pipefail

packages=(cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xauth xdotool imagemagick chromium
          fonts-wine zip unzip man-db lintian)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null
