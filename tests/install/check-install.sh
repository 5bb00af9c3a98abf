#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks it as a desktop would use it: the desktop
# entry, the AppStream metainfo, the icon in every size, the man page, and a stripped program
# in a release build. Arguments: <build folder> <build type>.
set -euo pipefail
build=$1
type=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
fail() { echo "FAIL: $*"; exit 1; }
need() { command -v "$1" > /dev/null || { echo "SKIP: $1 is not installed (scripts/install-deps.sh --tests installs it)"; exit 77; }; }
need desktop-file-validate
need appstreamcli
need man

share=$prefix/share
desktop=$share/applications/org.vardel.Vardel.desktop
[ -f "$desktop" ] || fail "no desktop entry"
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
grep -qx 'Icon=vardel' "$desktop" || fail "the desktop entry names no icon"
appstreamcli validate --no-net "$share/metainfo/org.vardel.Vardel.metainfo.xml" || fail "appstreamcli refuses the metainfo"
[ -f "$share/icons/hicolor/scalable/apps/vardel.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/vardel.png
  [ -s "$png" ] || fail "no ${size}x${size} icon"
  # PNG width and height sit at bytes 16..23 of the file, big-endian.
  got=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
done
page=$share/man/man1/vardel.1
[ -f "$page" ] || fail "no man page"
warnings=$(LC_ALL=C man --warnings -l "$page" 2>&1 > /dev/null || true)
[ -z "$warnings" ] || fail "the man page does not format cleanly: $warnings"
LC_ALL=C man -l "$page" 2> /dev/null | grep -q 'vardel export' || fail "the man page does not describe vardel export"
[ -f "$share/vardel/BandPlan.txt" ] || fail "the shipped tables are missing"
# The installed program answers --version as a terminal user would call it.
"$prefix/bin/vardel" --version | grep -q '^vardel ' || fail "vardel --version"
if [ "$type" = Release ] || [ "$type" = MinSizeRel ]; then
  if readelf -S "$prefix/bin/vardel" | grep -q '\.symtab'; then fail "the release program is not stripped"; fi
fi
echo "installed and checked in $prefix"
