#!/usr/bin/env bash
# Runs the click burst benchmark under Wine on a private display and leaves nothing running.
#   bench-mouse.sh [--template PREFIX] [--shot FILE.png] [BUILD_DIR] [CLICKS]
# BUILD_DIR is the x86_64 cross build holding bin/mouse_bench.exe (default build/wine; build it with
# cmake --build BUILD_DIR --target mouse_bench). Without --template a fresh prefix is made first.
# With --shot it also holds a set of bursts over a coloured window and saves a screenshot of them.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
. "$here/wine-lib.sh"

template=
shot=
while [ $# -gt 0 ]; do
  case "$1" in
    --template) template=$(realpath "$2"); shift 2 ;;
    --shot) shot=$(realpath -m "$2"); shift 2 ;;
    *) break ;;
  esac
done
build=$(realpath "${1:-$root/build/wine}")
shift || true
exe=$build/bin/mouse_bench.exe
[ -f "$exe" ] || { echo "no $exe: cmake --build $build --target mouse_bench" >&2; exit 1; }

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
timeout 600 wine "$exe" "$@"
rc=$?

if [ -n "$shot" ]; then
  out=$work/show.txt
  wine "$exe" --show 20 >"$out" 2>/dev/null &
  shower=$!
  for _ in $(seq 300); do
    grep -q ready "$out" 2>/dev/null && break
    sleep 0.1
  done
  if grep -q ready "$out"; then
    import -window root "$shot" && echo "screenshot: $shot"
  else
    echo "the bursts were not shown; no screenshot" >&2
    rc=1
  fi
  kill "$shower" 2>/dev/null
  wait "$shower" 2>/dev/null
fi
exit $rc
