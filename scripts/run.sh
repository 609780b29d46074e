#!/usr/bin/env bash
# Sets up, builds and runs Spotlex under Wine.
# With a display ($DISPLAY) Spotlex starts there and runs until closed from its tray menu.
# Without one it starts a private Xvfb display, plays a short scripted session (typing into
# Notepad, clicking, the break clock hidden and shown with SpotlexClock.exe, then keys of a German
# keyboard), saves screenshots under shots/ and prints their paths.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
. scripts/wine-lib.sh

bash scripts/setup.sh
jobs=$(nproc)
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
cmake --preset wine >/dev/null
cmake --build --preset wine -j "$jobs" --target Spotlex demo_driver installer
echo "built: $root/build/mingw/bin/Spotlex.exe (the 32-bit program) and the installer in dist/"

# Spotlex runs as a user gets it: installed silently by its installer. This machine may run no
# 32-bit Linux programs, so Wine runs the 64-bit installer of the x86_64 build.
require_wine
export WINEPREFIX=$root/build/run-prefix
[ -f "$WINEPREFIX/system.reg" ] || make_prefix "$WINEPREFIX"
shown=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  shown=1
else
  start_private_display
  trap 'stop_prefix "$WINEPREFIX"; stop_private_display' EXIT
fi
version=$(sed -n 's/^project(Spotlex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cp "$root/build/wine/installer/SpotlexSetup-$version-amd64.exe" "$WINEPREFIX/drive_c/SpotlexSetup.exe"
wine 'C:\SpotlexSetup.exe' /S
exe=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Parvane/Classkit/Spotlex.exe
[ -f "$exe" ] || { echo "the installer did not install Spotlex" >&2; exit 1; }
echo "installed: $exe"

if [ "$shown" = 1 ]; then
  echo "starting Spotlex on $DISPLAY"
  cd "$(dirname "$exe")"
  wine "$exe"
  exit 0
fi

shots=$root/shots
mkdir -p "$shots"
rm -f "$shots"/*.bmp "$shots"/*.png
# A short splash, so that the session starts at once.
wine reg add 'HKLM\Software\Parvane\Classkit\4.5\General' /v Splash_Screen_Time /t REG_DWORD /d 1 /f >/dev/null 2>&1
# The wheel's turns are shown, as the presenter chooses on the Mouse Clicks page.
wine reg add 'HKCU\Software\Parvane\Classkit\4.5\Spotlex' /v Show_Mouse_Wheel /t REG_DWORD /d 1 /f >/dev/null 2>&1
cd "$(dirname "$exe")"
wine "$exe" &
wine "$root/build/wine/bin/demo_driver.exe" "Z:${shots//\//\\}"
# The caps on a German keyboard, on a display of its own: the X server keeps the layout it starts with.
stop_prefix "$WINEPREFIX"
stop_private_display
SPOTLEX_KEYBOARD=de start_private_display
wine "$exe" &
wine "$root/build/wine/bin/demo_driver.exe" "Z:${shots//\//\\}" --german
for f in "$shots"/*.bmp; do
  [ -e "$f" ] || continue
  convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
echo "screenshots:"
ls -1 "$shots"/*.png
