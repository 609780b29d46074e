#!/usr/bin/env bash
# Runs the input hook benchmark under Wine on a private display and leaves nothing running.
#   bench-hook.sh [--template PREFIX] [BUILD_DIR] [EVENTS] [PAUSE_MS]
# BUILD_DIR is the x86_64 cross build holding bin/hook_bench.exe (default build/wine; build it with
# cmake --build BUILD_DIR --target hook_bench). Without --template a fresh prefix is made first.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
. "$here/wine-lib.sh"

template=
if [ "${1:-}" = "--template" ]; then
  template=$(realpath "$2")
  shift 2
fi
build=$(realpath "${1:-$root/build/wine}")
shift || true
exe=$build/bin/hook_bench.exe
[ -f "$exe" ] || { echo "no $exe: cmake --build $build --target hook_bench" >&2; exit 1; }

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
