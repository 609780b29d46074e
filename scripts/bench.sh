#!/usr/bin/env bash
# Runs one of the benchmark programs under Wine on a private display and leaves nothing running.
#   bench.sh hook|keyboard|mouse|clock|idle [--template PREFIX] [--shots DIR] [BUILD_DIR] [ARGS...]
#   bench.sh latency [--template PREFIX] [--shots DIR] [--runs N] [--spotlex-only] [BUILD_DIR] [PRESSES]
# latency: what a viewer sees, Spotlex beside screenkey on one display; see scripts/bench-latency.sh.
# BUILD_DIR is the x86_64 cross build holding bin/NAME_bench.exe (default build/wine; build it with
# cmake --build BUILD_DIR --target NAME_bench). Without --template a fresh prefix is made first.
# ARGS go to the program: hook [--bare] [EVENTS] [PAUSE_MS]; keyboard [PRESSES]; mouse [CLICKS];
# clock [TICKS]; idle [IDLE_SECONDS] [DISPLAYS] [EVENTS] or idle --bare (a window and its loop only).
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
  hook|idle) shows=() ;;
  keyboard) shows=(ctrlaltdel row) ;;
  mouse) shows=(bursts) ;;
  clock) shows=("countdown 128" "clock 128" "countdown 188" "clock 188") ;;
  *) echo "usage: $0 hook|keyboard|mouse|clock|idle|latency [--template PREFIX] [--shots DIR] [BUILD_DIR] [ARGS...]" >&2; exit 2 ;;
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
build=$(realpath "${1:-$root/build/wine}")
shift || true
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
timeout 900 wine "$exe" "$@"
rc=$?

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
