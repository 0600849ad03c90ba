#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what the desktop reads:
# the programs, the desktop entry, the icon sizes, the AppStream metadata and
# the manual page. check-install.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
app_id=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

for program in velkor32 velkor32-cli; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
[ -f "$desktop" ] || fail "no desktop entry $desktop"
[ -f "$metainfo" ] || fail "no metainfo $metainfo"
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$metainfo"

grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not name the icon $app_id"
grep -qx "Exec=velkor32" "$desktop" || fail "the desktop entry does not start velkor32"
grep -qx "Categories=Utility;Security;" "$desktop" || fail "wrong categories"

icons=$prefix/share/icons/hicolor
[ -f "$icons/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$app_id.png
    [ -f "$png" ] || fail "no $size x $size icon"
    file -b "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not a $size x $size PNG"
done

man=$prefix/share/man/man1/velkor32.1
[ -f "$man" ] || fail "no manual page"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$man" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page: $warnings"

echo "install check passed"
