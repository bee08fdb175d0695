#!/bin/bash
# Builds the release files into build/release-files/:
# - vantorel-VERSION-windows-x86.zip: Vantorel.exe, vantorel-report.exe and
#   README.txt (CR LF), in a folder vantorel-VERSION;
# - vantorel-report_VERSION_ARCH.deb: the static program in /usr/bin, its
#   manual page, copyright and changelog; no Depends, as it needs nothing.
# Dates come from SOURCE_DATE_EPOCH when set, else from the last commit, so
# that the same sources give the same files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
version=$(build/release/vantorel-report --version | sed 's/^vantorel-report //')
arch=$(dpkg --print-architecture)
out=$root/build/release-files
stage=$root/build/release-stage
rm -rf "$out" "$stage"
mkdir -p "$out" "$stage"

# The Windows zip.
folder=$stage/vantorel-$version
mkdir -p "$folder"
cp build/win32/Vantorel.exe "$folder/"
i686-w64-mingw32-strip -o "$folder/vantorel-report.exe" build/win32/vantorel-report.exe
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' release/README.txt >"$folder/README.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$folder" "$folder"/*
(cd "$stage" && zip -q -X -r "$out/vantorel-$version-windows-x86.zip" "vantorel-$version")

# The Debian package.
package=$stage/deb
doc=$package/usr/share/doc/vantorel-report
mkdir -p "$package/DEBIAN" "$package/usr/bin" "$package/usr/share/man/man1" "$doc" \
    "$package/usr/share/lintian/overrides"
install -m 755 build/release/vantorel-report "$package/usr/bin/"
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
    "$package/usr/bin/vantorel-report"
gzip -9n <build/release/vantorel-report.1 >"$package/usr/share/man/man1/vantorel-report.1.gz"
install -m 644 release/copyright "$doc/copyright"
sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$(date -u -R -d "@$SOURCE_DATE_EPOCH")/" \
    release/changelog | gzip -9n >"$doc/changelog.gz"
install -m 644 release/lintian-overrides "$package/usr/share/lintian/overrides/vantorel-report"
chmod 644 "$package/usr/share/man/man1/vantorel-report.1.gz" "$doc/changelog.gz"
size=$(du -k -s "$package/usr" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
    release/control.in >"$package/DEBIAN/control"
find "$package" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
dpkg-deb --root-owner-group -Zxz --build "$package" "$out/vantorel-report_${version}_$arch.deb" >/dev/null
rm -rf "$stage"
ls -l "$out"
