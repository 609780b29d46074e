#!/usr/bin/env bash
# Runs one Win32 test program in a fresh Wine prefix on a private display and leaves nothing running.
#   wine-test.sh --make-template DIR          builds the prefix that each test copies
#   wine-test.sh --template DIR EXE [ARGS]    runs EXE in a copy of that prefix
# With SPOTLEX_DPI set, the copy's screen has that resolution (dots per inch).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-lib.sh"

require_wine || exit 1

case "${1:-}" in
  --make-template)
    start_private_display || exit 1
    make_prefix "$2"
    rc=$?
    stop_prefix "$2"
    stop_private_display
    exit $rc
    ;;
  --template)
    template=$2
    shift 2
    ;;
  *)
    echo "usage: $0 --make-template DIR | --template DIR EXE [ARGS]" >&2
    exit 2
    ;;
esac

exe=$(realpath "$1")
shift
[ -f "$exe" ] || { echo "no such test program: $exe" >&2; exit 1; }

work=$(mktemp -d /tmp/spotlex-wine.XXXXXX)
export WINEPREFIX=$work/prefix
copy_prefix "$template" "$WINEPREFIX"

cleanup() {
  stop_prefix "$WINEPREFIX"
  stop_private_display
  rm -rf "$work"
}
trap cleanup EXIT

start_private_display || exit 1
if [ -n "${SPOTLEX_DPI:-}" ]; then
  # Wine takes the resolution from the user's desktop settings when a program starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$SPOTLEX_DPI" /f >/dev/null 2>&1 ||
    { echo "could not set the screen resolution to $SPOTLEX_DPI dpi" >&2; exit 1; }
fi
cd "$(dirname "$exe")"
# Wine does not always pass a crash on as the exit code: a test program that crashed fails here.
timeout "${SPOTLEX_TEST_TIMEOUT:-240}" wine "$exe" "$@" 2>&1 | tee "$work/output"
rc=${PIPESTATUS[0]}
if grep -q "^Unhandled exception" "$work/output"; then
  echo "the test program crashed" >&2
  rc=1
fi
exit $rc
