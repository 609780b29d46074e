#!/usr/bin/env bash
# Takes the user guide's screenshots with the run command's scripted session (tools/demo) and
# crops them into small PNG files under assets/help/images/.
#   tools/help/make_screenshots.sh        (after building the wine preset)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/scripts/wine-lib.sh"
bin=$root/build/wine/bin
out=$root/assets/help/images
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
start_private_display
trap 'stop_prefix "$WINEPREFIX"; stop_private_display; rm -rf "$work"' EXIT
make_prefix "$WINEPREFIX"
wine reg add 'HKLM\Software\Parvane\Classkit\4.5\General' /v Splash_Screen_Time /t REG_DWORD /d 1 /f >/dev/null 2>&1
mkdir -p "$work/shots" "$out"
(cd "$bin" && wine "$bin/Spotlex.exe" >/dev/null 2>&1 &)
wine "$bin/demo_driver.exe" "Z:${work//\//\\}\\shots" >/dev/null
# name, source shot, crop (w x h + x + y), width of the PNG
while read -r name shot crop width; do
  convert "$work/shots/$shot.bmp" -crop "$crop" +repage -resize "${width}x" -strip -colors 128 "PNG8:$out/$name.png"
done <<'LIST'
keystrokes 2-ctrl-alt-delete 400x130+550+435 300
click 3-left-click 200x200+400+300 160
double-click 4-double-click 200x200+550+200 160
right-click 5-right-click 200x200+300+150 160
LIST
ls -l "$out"
