#!/usr/bin/env bash
# Runs one of the benchmark programs under Wine on a private display and leaves nothing running.
#   bench.sh hook|keyboard|mouse|clock|idle|calls [--template PREFIX] [--shots DIR] [BUILD_DIR] [ARGS...]
#   bench.sh latency [--template PREFIX] [--shots DIR] [--runs N] [--spotlex-only] [--typing] [--fresh]
#                    [--recorder] [BUILD_DIR] [PRESSES]
# latency: what a viewer sees, Spotlex beside screenkey on one display; see scripts/bench-latency.sh.
# BUILD_DIR is the x86_64 cross build holding bin/NAME_bench.exe (default build/wine; build it with
# cmake --build BUILD_DIR --target NAME_bench). Without --template a fresh prefix is made first.
# ARGS go to the program: hook [--bare | --wheel] [EVENTS] [PAUSE_MS]; keyboard [PRESSES]; mouse [CLICKS];
# clock [TICKS]; idle [IDLE_SECONDS] [DISPLAYS] [EVENTS] or idle --bare (a window and its loop only);
# calls [ROUNDS] (the window system's cost of each call a key press makes) or calls --requests (how
# many requests each of those calls sends to the Wine server).
# With --shots the keyboard, mouse and clock benchmarks also hold their display on screen over a coloured
# backdrop and save screenshots of it in DIR.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
. "$here/wine-lib.sh"
require_wine || exit 1

name=${1:-}
if [ "$name" = latency ]; then
  shift
  exec bash "$here/bench-latency.sh" "$@"
fi
case "$name" in
  hook|idle|calls) shows=() ;;
  keyboard) shows=(ctrlaltdel row letters) ;;
  mouse) shows=(bursts) ;;
  clock) shows=("countdown 128" "clock 128" "countdown 188" "clock 188") ;;
  *) echo "usage: $0 hook|keyboard|mouse|clock|idle|calls|latency [--template PREFIX] [--shots DIR] [BUILD_DIR] [ARGS...]" >&2; exit 2 ;;
esac
shift

template=
shots=
while [ $# -gt 0 ]; do
  case "$1" in
    --template) template=$(realpath "$2"); shift 2 ;;
    --shots) shots=$(realpath -m "$2"); shift 2 ;;
    *) break ;;
  esac
done
# BUILD_DIR may be left out before the program's own arguments (a switch or a number).
build=$root/build/wine
case "${1:-}" in
  ''|--*|[0-9]*) ;;
  *) build=$1; shift ;;
esac
build=$(realpath "$build")
exe=$build/bin/${name}_bench.exe
[ -f "$exe" ] || { echo "no $exe: cmake --build $build --target ${name}_bench" >&2; exit 1; }

work=$(mktemp -d /tmp/spotlex-bench.XXXXXX)
export WINEPREFIX=$work/prefix
cleanup() {
  stop_prefix "$WINEPREFIX"
  stop_private_display
  rm -rf "$work"
}
trap cleanup EXIT

# The program ships stripped (scripts/make-installer.sh), and Wine reads an image's debugging sections
# into private memory: the benchmark runs a stripped copy beside the files the program looks for.
run=$work/bin
mkdir -p "$run"
find "$(dirname "$exe")" -mindepth 1 -maxdepth 1 ! -name '*.exe' -exec cp -r {} "$run/" \;
x86_64-w64-mingw32-strip -o "$run/${name}_bench.exe" "$exe" || exit 1
exe=$run/${name}_bench.exe

start_private_display || exit 1
if [ -n "$template" ]; then
  copy_prefix "$template" "$WINEPREFIX"
else
  make_prefix "$WINEPREFIX" || { echo "could not make a Wine prefix" >&2; exit 1; }
fi
cd "$(dirname "$exe")"
if [ "$name" = calls ] && [ "${1:-}" = --requests ]; then
  # Each call runs once between two debug strings; the server's log of that thread counts its requests.
  WINEDEBUG=+server,+debugstr timeout 300 wine "$exe" --marked 2>"$work/server.txt" >/dev/null
  rc=$?
  awk '/window-calls: begin/ { tid = substr($0, 1, index($0, ":") - 1); sub(/.*window-calls: begin /, "");
                               sub(/\\?"\)?$/, ""); name = $0; n = 0; split("", by); on = 1; next }
       /window-calls: end/ {
         if (!on) next
         most = ""
         for (r in by) if (by[r] > 1) most = most " " r " " by[r]
         printf "%-48s %4d server requests%s\n", name, n, most ? ";" most : ""
         on = 0; next }
       on && index($0, tid ": ") == 1 && /^[0-9a-f]+: [a-z_]+\( / {
         n++; r = $2; sub(/\(.*/, "", r); by[r]++ }' "$work/server.txt"
else
  timeout 900 wine "$exe" "$@"
  rc=$?
fi

if [ -n "$shots" ]; then
  mkdir -p "$shots"
  for what in "${shows[@]}"; do
    out=$work/show-${what// /-}.txt
    if [ "$name" = mouse ]; then
      wine "$exe" --show 20 >"$out" 2>/dev/null &
    elif [ "$name" = clock ]; then
      wine "$exe" --show $what 20 >"$out" 2>/dev/null &
    else
      wine "$exe" --show "$what" 20 >"$out" 2>/dev/null &
    fi
    shower=$!
    for _ in $(seq 300); do
      grep -q ready "$out" 2>/dev/null && break
      sleep 0.1
    done
    if grep -q ready "$out"; then
      shot=$shots/$name-${what// /-}.png
      import -window root "$shot" && echo "screenshot: $shot"
    else
      echo "the $what display was not shown; no screenshot" >&2
      rc=1
    fi
    kill "$shower" 2>/dev/null
    wait "$shower" 2>/dev/null
    wineserver -w 2>/dev/null
  done
fi
exit $rc
