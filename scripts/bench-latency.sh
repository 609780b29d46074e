#!/usr/bin/env bash
# Key press to first changed pixel, as a viewer sees it: Spotlex beside screenkey on one private
# Xvfb display, in one run. Run through scripts/bench.sh latency.
#   bench-latency.sh [--template PREFIX] [--shots DIR] [--runs N] [--spotlex-only] [--typing]
#                    [--fresh] [--recorder] [BUILD_DIR] [PRESSES]
# BUILD_DIR holds bin/Spotlex.exe (default build/wine: cmake --build --preset wine --target Spotlex).
# PRESSES key presses (default 60) and as many clicks, 1.5 s apart, after 5 warm-up presses. Wine
# Notepad has the focus throughout; the presses are real X key and button events (XTest) and a
# small X client polls the screen area where each program shows its keys. --runs repeats the
# whole comparison (Spotlex then screenkey) N times; --spotlex-only leaves screenkey out, for quick
# looks at Spotlex alone. --typing presses keys 250 ms apart while the last one still shows, as
# when a word is typed, and leaves the clicks out. --fresh keeps the program's default settings but
# for white caps and a 100 ms linger (and the welcome dismissed), so the caps show centred; both
# programs are then watched over the same 400 x 240 area in the middle of the screen, keys only.
# --recorder holds each key down until a change is seen and polls with plain XGetImage without
# pausing, as a screen recorder reads the screen. Needs screenkey, libxtst-dev (setup.sh).
# A tracing build (cmake --preset wine -B build/wine-trace -DSPOTLEX_LATENCY_TRACE=ON) given as
# BUILD_DIR also gets the table of where each press's time went (bench/latency_breakdown.py).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
. "$here/wine-lib.sh"

template=
shots=
runs=1
peer=1
typing=0
fresh=0
recorder=0
while [ $# -gt 0 ]; do
  case "$1" in
    --template) template=$(realpath "$2"); shift 2 ;;
    --shots) shots=$(realpath -m "$2"); shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --spotlex-only) peer=0; shift ;;
    --typing) typing=1; shift ;;
    --fresh) fresh=1; shift ;;
    --recorder) recorder=1; shift ;;
    *) break ;;
  esac
done
build=$(realpath "${1:-$root/build/wine}")
presses=${2:-60}
exe=$build/bin/Spotlex.exe
[ -f "$exe" ] || { echo "no $exe: cmake --build $build --target Spotlex" >&2; exit 1; }
command -v screenkey >/dev/null || { echo "screenkey is not installed: scripts/setup.sh" >&2; exit 1; }

work=$(mktemp -d /tmp/spotlex-latency.XXXXXX)
export WINEPREFIX=$work/prefix
probe=$work/x11_latency_probe
spotlex_pid=
screenkey_pid=
cleanup() {
  [ -n "$screenkey_pid" ] && kill "$screenkey_pid" 2>/dev/null
  stop_prefix "$WINEPREFIX"
  stop_private_display
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$probe" "$root/bench/x11_latency_probe.c" -lX11 -lXext -lXtst || exit 1

# A screen small enough to poll quickly. Notepad fills the top; the keys show below it, where
# nothing else draws; clicks land in Notepad's empty page, below the line the keys are typed on.
export SPOTLEX_SCREEN=1024x768x24
key_area=0,540,1024,200
click_points=300,240,700,240
click_area=180,120,660,240
notepad_height=420
screenkey_place=1000x140+12+580
if [ "$fresh" = 1 ]; then
  key_area=312,264,400,240
  screenkey_place=400x240+312+264
  notepad_height=250
fi
probe_style=()
[ "$recorder" = 1 ] && probe_style=(--hold --no-shm --spin)
start_private_display || exit 1
if [ -n "$template" ]; then
  copy_prefix "$template" "$WINEPREFIX"
else
  make_prefix "$WINEPREFIX" || { echo "could not make a Wine prefix" >&2; exit 1; }
fi

reg() { wine reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1; }
user='HKCU\Software\Parvane\Classkit\4.5\Spotlex'
# As installed, with the keystroke and click displays on and a short linger, so each press finds
# the display hidden again; the keys show at a fixed place in the watched area.
# The welcome box waits for the presenter before the hook comes on.
reg "$user" Dismiss_Welcome 1
if [ "$fresh" = 1 ]; then
  linger=100
  reg "$user" Color_Keyboard 16777215
  reg "$user" Delay_Keyboard "$linger"
else
  reg "$user" Hook_Enum 9
  # Typing: the text lingers past the next press.
  if [ "$typing" = 1 ]; then linger=3000; else linger=200; fi
  reg "$user" Delay_Keyboard "$linger"
  reg "$user" Keyboard_Left 40
  reg "$user" Keyboard_Top 590
fi
reg 'HKLM\Software\Parvane\Classkit\4.5\General' Splash_Screen_Time 1
reg 'HKCU\Software\Microsoft\Notepad' iWindowPosX 0
reg 'HKCU\Software\Microsoft\Notepad' iWindowPosY 0
reg 'HKCU\Software\Microsoft\Notepad' iWindowPosDX 1024
reg 'HKCU\Software\Microsoft\Notepad' iWindowPosDY "$notepad_height"
wineserver -w

wine notepad >/dev/null 2>&1 &
for _ in $(seq 200); do
  xdotool search --name Notepad >/dev/null 2>&1 && break
  sleep 0.1
done
notepad=$(xdotool search --name Notepad 2>/dev/null | head -n1)
[ -n "$notepad" ] || { echo "Notepad did not start" >&2; exit 1; }
# The root is painted a mid colour, so a black key cap or a black box is a change either way. (Set
# while Notepad holds the display open: the server resets the root when its last client leaves.)
"$probe" --root-color 5a7894 --area 0,0,1,1 --presses 0 --warmup 0 >/dev/null
# Until Notepad is mapped, X refuses it the focus.
focus_notepad() {
  for _ in $(seq 50); do
    xdotool windowfocus "$notepad" 2>/dev/null && return
    sleep 0.1
  done
}
focus_notepad
sleep 1

shot() { [ -n "$shots" ] && mkdir -p "$shots" && import -window root "$shots/$1.png" && echo "screenshot: $shots/$1.png"; }

results=$work/results.txt
: >"$results"
for run in $(seq "$runs"); do
  echo "run $run of $runs: load average $(cut -d' ' -f1-3 /proc/loadavg)"

  trace=$work/trace-$run.txt
  (cd "$(dirname "$exe")" && SPOTLEX_TRACE_FILE="Z:${trace//\//\\}" exec "$WINELOADER" "$exe") >/dev/null 2>&1 &
  spotlex_pid=$!
  focus_notepad
  if [ "$typing" = 1 ]; then
    "$probe" --label spotlex --area "$key_area" --presses "$presses" --gap-ms 250 "${probe_style[@]}" \
      --log "$work/probe-$run.txt" | tee -a "$results"
  elif [ "$fresh" = 1 ]; then
    "$probe" --label spotlex --area "$key_area" --presses "$presses" "${probe_style[@]}" \
      --log "$work/probe-$run.txt" | tee -a "$results"
  else
    "$probe" --label spotlex --area "$key_area" --presses "$presses" --click "$click_points" \
      --click-area "$click_area" "${probe_style[@]}" --log "$work/probe-$run.txt" | tee -a "$results"
  fi
  [ "$run" = 1 ] && { xdotool type --delay 50 q; sleep 0.1; shot spotlex; }
  sleep 1
  if [ -s "$trace" ]; then
    python3 "$root/bench/latency_breakdown.py" "$work/probe-$run.txt" "$trace"
    [ -n "${SPOTLEX_KEEP_TRACE:-}" ] && cp "$trace" "$work/probe-$run.txt" "$SPOTLEX_KEEP_TRACE/"
  fi
  wine taskkill /im Spotlex.exe /f >/dev/null 2>&1 || kill "$spotlex_pid" 2>/dev/null
  wait "$spotlex_pid" 2>/dev/null
  spotlex_pid=
  [ "$peer" = 1 ] || continue

  focus_notepad
  screenkey --no-systray -t "$((linger / 1000)).$((linger % 1000 / 100))" -p fixed -g "$screenkey_place" -s large >/dev/null 2>&1 &
  screenkey_pid=$!
  sleep 3
  focus_notepad
  "$probe" --label screenkey --area "$key_area" --presses "$presses" --gap-ms $((typing ? 250 : 1500)) \
    "${probe_style[@]}" | tee -a "$results"
  [ "$run" = 1 ] && { xdotool type --delay 50 q; sleep 0.1; shot screenkey; }
  kill "$screenkey_pid" 2>/dev/null
  wait "$screenkey_pid" 2>/dev/null
  screenkey_pid=
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

# Pooled over the runs, with each program's median and p95 beside the other's.
awk '
  $1 == "RESULT" { k = $2 " " $3; n[k] += $4; s[k] += $5; if (!(k in med) || 1) { med[k] = med[k] " " $6; p95[k] = p95[k] " " $7 }
                   if ($8 > mx[k]) mx[k] = $8; runs[k]++ }
  function mid(list,   a, c, i, j, t) { c = split(list, a, " "); for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                                        return c % 2 ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2 }
  END {
    for (k in n) printf "%-16s presses %4d  seen %4d  median %6.2f ms  p95 %6.2f ms  max %7.2f ms  (median of %d runs)\n", k, n[k], s[k], mid(med[k]), mid(p95[k]), mx[k], runs[k]
    a = "spotlex key"; b = "screenkey key"
    if ((a in n) && (b in n)) printf "Spotlex / screenkey: median %.2f, p95 %.2f\n", mid(med[a]) / mid(med[b]), mid(p95[a]) / mid(p95[b])
  }' "$results" | sort
c=spotlex\ click
awk -v goal=16.7 '$1 == "RESULT" && $2 == "spotlex" && $3 == "click" { if ($7 > goal) bad = 1 } END { printf "click p95 within one 60 Hz frame (%.1f ms) in every run: %s\n", goal, bad ? "no" : "yes" }' "$results"
