#!/usr/bin/env bash
# Runs the keystroke display benchmark under Wine on a private display and leaves nothing running.
#   bench-keyboard.sh [--template PREFIX] [--shots DIR] [BUILD_DIR] [PRESSES]
# BUILD_DIR is the x86_64 cross build holding bin/keyboard_bench.exe (default build/wine; build it
# with cmake --build BUILD_DIR --target keyboard_bench). Without --template a fresh prefix is made
# first. With --shots it also shows Ctrl+Alt+Delete and a long row of keys at 188 points over a
# coloured backdrop and saves DIR/keyboard-ctrlaltdel.png and DIR/keyboard-row.png.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
. "$here/wine-lib.sh"

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
exe=$build/bin/keyboard_bench.exe
[ -f "$exe" ] || { echo "no $exe: cmake --build $build --target keyboard_bench" >&2; exit 1; }

work=$(mktemp -d /tmp/spotlex-bench.XXXXXX)
export WINEPREFIX=$work/prefix
cleanup() {
  stop_prefix "$WINEPREFIX"
  stop_private_display
  rm -rf "$work"
}
trap cleanup EXIT

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
  for what in ctrlaltdel row; do
    out=$work/show-$what.txt
    wine "$exe" --show "$what" 20 >"$out" 2>/dev/null &
    shower=$!
    for _ in $(seq 300); do
      grep -q ready "$out" 2>/dev/null && break
      sleep 0.1
    done
    if grep -q ready "$out"; then
      import -window root "$shots/keyboard-$what.png" && echo "screenshot: $shots/keyboard-$what.png"
    else
      echo "the $what keys were not shown; no screenshot" >&2
      rc=1
    fi
    kill "$shower" 2>/dev/null
    wait "$shower" 2>/dev/null
    WINEPREFIX=$WINEPREFIX wineserver -w 2>/dev/null
  done
fi
exit $rc
