#!/usr/bin/env bash
# Builds tools/font/gdi_sheet.cpp with the x86_64 MinGW compiler, runs it under Wine beside the
# committed font and writes what GDI drew as a PNG.
#   tools/font/gdi_sheet.sh [OUTPUT.png]      (default build/font-gdi-sheet.png)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$(realpath -m "${1:-$root/build/font-gdi-sheet.png}")
work=$(mktemp -d /tmp/spotlex-gdi-sheet.XXXXXX)
trap 'rm -rf "$work"' EXIT

x86_64-w64-mingw32-g++ -std=c++20 -O1 -static -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I"$root/src" \
  -o "$work/gdi_sheet.exe" "$root/tools/font/gdi_sheet.cpp" "$root/src/core/display_font_win.cpp" -lgdi32
cp "$root/assets/fonts/Spotlex2.ttf" "$work/"
"$root/scripts/wine-test.sh" --make-template "$work/template" >/dev/null
"$root/scripts/wine-test.sh" --template "$work/template" "$work/gdi_sheet.exe" 'Z:'"${work//\//\\}"'\sheet.bmp'
mkdir -p "$(dirname "$out")"
/usr/bin/python3 -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])' "$work/sheet.bmp" "$out"
echo "$out"
