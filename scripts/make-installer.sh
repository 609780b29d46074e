#!/usr/bin/env bash
# Builds the installer and the portable zip from the two builds' bin folders.
#   make-installer.sh BIN64 BIN32 OUTDIR VERSION [amd64-unicode]
# The default, a 32-bit installer, runs on 32-bit and 64-bit Windows alike and comes with the zip;
# without the i686 build (BIN32) it is skipped with a note. amd64-unicode makes a 64-bit installer
# of the 64-bit program only (BIN32 is "-"), which 64-bit-only Wine can run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin64=$(realpath "$1") bin32=$2 out=$3 version=$4 target=${5:-}
mkdir -p "$out"
out=$(realpath "$out")

for f in "$bin64/Spotlex.exe" "$bin64/ckicons.icl" "$bin64/Spotlex2.ttf"; do
  [ -f "$f" ] || { echo "make-installer: $f is missing; build the wine preset first" >&2; exit 1; }
done
if [ -z "$target" ] && [ ! -f "$bin32/Spotlex.exe" ]; then
  echo "make-installer: no $bin32/Spotlex.exe; build the mingw preset for the installer and the zip"
  exit 0
fi

# The programs ship without their debugging information: copies are stripped in a staging folder.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/64" "$stage/32"
cp -r "$bin64"/. "$stage/64/"
for exe in "$stage"/64/Spotlex*.exe; do x86_64-w64-mingw32-strip "$exe"; done
if [ -z "$target" ]; then
  cp "$bin32"/Spotlex*.exe "$stage/32/"
  for exe in "$stage"/32/Spotlex*.exe; do i686-w64-mingw32-strip "$exe"; done
fi
bin64=$stage/64 bin32=$stage/32

defines=(-DVERSION="$version" -DBIN64="$bin64" -DBIN32="$bin32" -DASSETS="$root/assets")
setup=$out/SpotlexSetup-$version.exe
if [ -n "$target" ]; then
  defines+=(-DTARGET="$target" -DONLY64)
  setup=$out/SpotlexSetup-$version-${target%%-*}.exe
fi
defines+=(-DOUTFILE="$setup")
# The cursors and the clock companion go in when their builds have made them.
[ -f "$bin64/cursors/Spotlex_Arrow.cur" ] && defines+=(-DCURSORS)
[ -f "$bin64/SpotlexClock.exe" ] && defines+=(-DCLOCK)
makensis -V2 -NOCD "${defines[@]}" "$root/installer/spotlex.nsi"
echo "installer: $setup"

[ -n "$target" ] && exit 0
# The portable zip: the 64-bit program at the top, the 32-bit one in its own folder; each loads
# the font that lies beside it.
dir=$stage/Spotlex-$version
mkdir -p "$dir/32-bit"
cp "$bin64/Spotlex.exe" "$bin64/ckicons.icl" "$bin64/Spotlex2.ttf" "$dir/"
cp "$bin32/Spotlex.exe" "$bin64/ckicons.icl" "$bin64/Spotlex2.ttf" "$dir/32-bit/"
[ -f "$bin64/SpotlexClock.exe" ] && cp "$bin64/SpotlexClock.exe" "$dir/"
[ -f "$bin32/SpotlexClock.exe" ] && cp "$bin32/SpotlexClock.exe" "$dir/32-bit/"
cp -r "$root/assets/help" "$dir/help"
mkdir -p "$dir/sounds"
cp "$bin64"/Spotlex_*.wav "$dir/sounds/"
[ -d "$bin64/cursors" ] && cp -r "$bin64/cursors" "$dir/cursors"
zip=$out/Spotlex-$version-portable.zip
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip "Spotlex-$version")
echo "portable: $zip"
