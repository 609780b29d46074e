# Shared helpers for running Win32 programs under 64-bit Wine on a private Xvfb display.
# Sourced by wine-test.sh, run.sh and bench.sh.

export WINEDEBUG=${WINEDEBUG:--all}
# Build machines may run no 32-bit Linux programs, where the "wine" command (often the 32-bit
# loader) fails with "Exec format error". So the 64-bit loader is run directly, with the x86_64
# build of the same sources. WINELOADER and WINESERVER may name other ones.
export WINEARCH=win64
first_program() {
  local p
  for p in "$@"; do
    [ -x "$p" ] && { echo "$p"; return; }
  done
  echo "$1"
}
export WINELOADER=${WINELOADER:-$(first_program /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
  /usr/bin/wine64 /opt/wine-stable/bin/wine64)}
export WINESERVER=${WINESERVER:-$(first_program /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver \
  /usr/bin/wineserver /opt/wine-stable/bin/wineserver)}

# Fails with a message that says what is wrong and what to do when the loader cannot run.
require_wine() {
  local out
  if ! out=$("$WINELOADER" --version 2>&1); then
    echo "Wine's 64-bit loader cannot run: $WINELOADER: ${out:-not found}" >&2
    echo "Install 64-bit Wine (Debian: apt-get install wine64, or run scripts/setup.sh)," >&2
    echo "or set WINELOADER and WINESERVER to a 64-bit loader and its server." >&2
    return 1
  fi
}
wine() { "$WINELOADER" "$@"; }
wineboot() { "$WINELOADER" wineboot "$@"; }
wineserver() { "$WINESERVER" "$@"; }
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# A copy of the X keyboard data in which the server's default layout is $1 ("de", "fr", "ru"). Xvfb
# ignores layouts set once it runs (setxkbmap, xkbcomp), but starts with the one its data calls "us".
keyboard_data_for() {
  local dir=${TMPDIR:-/tmp}/spotlex-xkb-$1 new
  if [ ! -f "$dir/symbols/us" ]; then
    # Made aside and moved in whole, so that tests starting together never see half a copy.
    new=$(mktemp -d "$dir.XXXXXX") && cp -a /usr/share/X11/xkb/. "$new" || return 1
    printf 'default partial alphanumeric_keys modifier_keys\nxkb_symbols "basic" {\n    include "%s"\n};\n' \
      "$1" >"$new/symbols/us"
    mv -T "$new" "$dir" 2>/dev/null || rm -rf "$new"
  fi
  echo "$dir"
}

# Starts Xvfb on a free display number (chosen by the server itself) and exports DISPLAY. With
# SPOTLEX_KEYBOARD set to an X layout name, the display has that keyboard layout.
start_private_display() {
  local fdfile keyboard=()
  if [ -n "${SPOTLEX_KEYBOARD:-}" ]; then
    keyboard=(-xkbdir "$(keyboard_data_for "$SPOTLEX_KEYBOARD")") || return 1
  fi
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${SPOTLEX_SCREEN:-1280x1024x24}" -nolisten tcp "${keyboard[@]}" 3>"$fdfile" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  local n
  n=$(head -n1 "$fdfile" | tr -dc 0-9)
  rm -f "$fdfile"
  if [ -z "$n" ]; then
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$n"
}

# Ends Xvfb started by start_private_display.
stop_private_display() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# Creates a fresh Wine prefix at $1 (64-bit, no crash dialogs).
make_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  local WINEDEBUG=-all
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -w
  # A crashing test must fail, not wait for someone to close a dialog.
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  [ -f "$prefix/system.reg" ]
}

# Ends every Wine process of prefix $1.
stop_prefix() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 wineserver -w 2>/dev/null || true
}

# Copies prefix $1 to $2 cheaply: files are hard links, but the registry files, which Wine
# rewrites, are real copies.
copy_prefix() {
  cp -al "$1" "$2"
  local f
  for f in "$2"/*.reg; do
    cp --remove-destination "$1/$(basename "$f")" "$f"
  done
}
