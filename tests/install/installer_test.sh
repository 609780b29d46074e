#!/usr/bin/env bash
# The installer under Wine, in a fresh copy of the test prefix:
#   installer_test.sh TEMPLATE SETUP_EXE
# A silent install into a folder with blanks and a letter the Western ANSI code page cannot spell
# (as in the profile of a user named Dvořák) puts every file and registry entry in place; the
# installed program starts there, finds its font and logs nothing; installing over the running
# program closes it; uninstalling leaves files and registry as in the fresh prefix, settings kept
# unless asked, and the cursors restored. An install that fails half-way leaves nothing behind, and
# one that fails over an earlier installation (a file in use) leaves that installation whole. An
# upgrade without /D= stays in the installed folder; a font Windows holds open is replaced at the
# next restart. An all-users install registers its scheme and sounds for the machine.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/wine-lib.sh"
template=$1
setup=$(realpath "$2")
[ -f "$setup" ] || { echo "no installer at $setup" >&2; exit 1; }
export LC_ALL=C.UTF-8  # the folder name below reaches Wine as UTF-8

work=$(mktemp -d /tmp/spotlex-install.XXXXXX)
export WINEPREFIX=$work/prefix
copy_prefix "$template" "$WINEPREFIX"
trap 'stop_prefix "$WINEPREFIX"; stop_private_display; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
start_private_display || exit 1

USER=${USER:-$(id -un)}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
user_dir=$WINEPREFIX/drive_c/users/$USER
win_dir='C:\users\'"$USER"'\Spotlex Dvořák é'
unix_dir=$user_dir/'Spotlex Dvořák é'
cp "$setup" "$WINEPREFIX/drive_c/setup.exe"

# NSIS takes /D= only unquoted and last, which a direct start would quote: go through cmd.
run_setup() { wine cmd /c "C:\\setup.exe /S $*" >/dev/null 2>&1; }
# What the last setup wrote to its log in the user's temporary folder.
setup_log() {
  local log
  log=$(find "$user_dir" -name 'Spotlex Setup.log' 2>/dev/null | head -n1)
  [ -n "$log" ] && iconv -f UTF-16LE -t UTF-8 "$log" | tr -d '\r\357\273\277'
}
# Holds a file open as Windows holds a loaded font or another session's running program: others
# may read it, not write, rename or delete it. release lets go.
hold() {
  local out=$work/hold.out
  rm -f "$out"
  # The loader itself, not the wine function's subshell: killing it ends the Windows process.
  "$WINELOADER" "$(dirname "$setup")/../bin/hold_file.exe" "$1" 120 >"$out" 2>&1 &
  holder=$!
  for _ in $(seq 100); do grep -q held "$out" 2>/dev/null && return 0; sleep 0.1; done
  fail "could not hold $1: $(cat "$out")"
}
release() { kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; holder=; }
# The differences between two snapshots' files and registry, apart from the program's settings,
# which its own runs change; nothing when they are the same.
without_settings() { awk '/^\[/ { skip = index($0, "\\Parvane\\Classkit\\4.5\\Spotlex") > 0 } !skip' "$1"; }
install_changes() {
  diff "$1.files" "$2.files"
  diff <(without_settings "$1.reg") <(without_settings "$2.reg")
}
# The uninstaller hands over to a copy of itself and returns at once; wait for that copy.
run_uninstaller() {
  wine "$win_dir\\Uninstall Spotlex.exe" /S "$@" >/dev/null 2>&1
  wineserver -w
}
# A value of the last snapshot (reg.exe would print it in the OEM code page): KEY NAME, @ for the
# default value; texts unescaped, other types as exported.
reg_value() {
  KEY="[$1]" NAME=$2 awk '
    BEGIN { key = ENVIRON["KEY"]; name = ENVIRON["NAME"] }
    /^\[/ { inside = ($0 == key); next }
    inside && index($0, (name == "@" ? "@=" : "\"" name "\"=")) == 1 {
      v = substr($0, index($0, "=") + 1)
      if (v ~ /^".*"$/) { v = substr(v, 2, length(v) - 2); gsub(/\\\\/, "\\", v); gsub(/\\"/, "\"", v) }
      print v
    }' "$snap.reg"
}
# The installed program's processes in this prefix only (other tests may run Spotlex too).
program_pids() {
  local pid
  for pid in $(pgrep -f 'Spotlex\.exe$'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
}
# Files and registry of the prefix, without what Wine itself changes on every start.
snapshot() {
  snap=$1
  [ "${2:-}" = running ] || wineserver -w
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path "./users/$USER/Temp" -prune -o -print |
    grep -v -e '/AppData/Local/Programs$' -e '/AppData/Local/Microsoft/Windows/Fonts$' | sort) >"$1.files"
  local hive
  for hive in HKEY_CURRENT_USER HKEY_LOCAL_MACHINE; do
    wine regedit /E "$work/hive.reg" "$hive" >/dev/null 2>&1
    # Wine's own devices, drivers and audio endpoints change as programs start: left out.
    iconv -f UTF-16LE -t UTF-8 "$work/hive.reg" | tr -d '\r' | awk '
      /^\[/ { skip = $0 ~ /^\[HKEY_LOCAL_MACHINE\\System[\\\]]/ || $0 ~ /^\[HKEY_CURRENT_USER\\Software\\Wine[\\\]]/ ||
                      $0 ~ /\\MMDevices[\\\]]/ }
      !skip'
    rm -f "$work/hive.reg"
  done >"$1.reg"
}
differs_from_fresh() {
  diff "$work/fresh.files" "$1.files" >"$1.files.diff" || { echo "files:"; cat "$1.files.diff"; }
  diff "$work/fresh.reg" "$1.reg" >"$1.reg.diff" || { echo "registry:"; cat "$1.reg.diff"; }
}

# Windows always has a RunOnce key (the program's restart entry would create it here) and a cursor
# scheme in force: the built-in cursors of "Windows Default".
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce' /f >/dev/null 2>&1
roles=(Arrow Help AppStarting Wait Crosshair IBeam NWPen No SizeNS SizeWE SizeNWSE SizeNESW SizeAll UpArrow)
for role in "" "${roles[@]}"; do
  if [ -z "$role" ]; then set -- /ve /d 'Windows Default'; else set -- /v "$role" /d ''; fi
  wine reg add 'HKCU\Control Panel\Cursors' "$@" /t REG_SZ /f >/dev/null 2>&1
done
wine reg add 'HKCU\Control Panel\Cursors' /v 'Scheme Source' /t REG_DWORD /d 2 /f >/dev/null 2>&1
snapshot "$work/fresh"

# A file that cannot be written stops the install half-way; what it had put in place goes again.
mkdir -p "$unix_dir/Spotlex.exe"
run_setup "/D=$win_dir" && fail "an install that could not write its program succeeded"
rmdir "$unix_dir/Spotlex.exe" "$unix_dir"
snapshot "$work/blocked"
[ -z "$(differs_from_fresh "$work/blocked")" ] || fail "a failed install left something: $(differs_from_fresh "$work/blocked")"

start=$(date +%s%N)
run_setup "/D=$win_dir" || fail "silent install failed"
install_ms=$((($(date +%s%N) - start) / 1000000))
snapshot "$work/installed"

for f in Spotlex.exe ckicons.icl Spotlex2.ttf "Uninstall Spotlex.exe" help/index.html; do
  [ -s "$unix_dir/$f" ] || fail "not installed: $f"
done
# The clock companion ships when the build has made it.
if [ -f "$(dirname "$setup")/../bin/SpotlexClock.exe" ]; then
  [ -s "$unix_dir/SpotlexClock.exe" ] || fail "not installed: SpotlexClock.exe"
else
  echo "note: this build has no SpotlexClock.exe"
fi
sounds="CKStartUp:StartUp CKClose:Close CKKeystroke:Keystroke CKClick:Click CKAlarm:Alarm CKDragStart:DragStart CKDragEnd:DragEnd CKAbout:About"
[ "$(reg_value 'HKEY_CURRENT_USER\AppEvents\Schemes\Apps\Classkit' @)" = "Classkit" ] || fail "no Classkit section in the sound scheme"
for pair in $sounds; do
  event=${pair%%:*} file=${pair#*:}
  cmp -s "$unix_dir/sounds/Spotlex_$file.wav" "$here/../../assets/sounds/Spotlex_$file.wav" || fail "sound file of $event"
  [ "$(reg_value "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Classkit\\$event\\.Current" @)" = "$win_dir\\sounds\\Spotlex_$file.wav" ] ||
    fail "sound event $event points elsewhere"
  [ -n "$(reg_value "HKEY_CURRENT_USER\\AppEvents\\EventLabels\\$event" @)" ] || fail "no label for $event"
done
[ "$(reg_value 'HKEY_CURRENT_USER\Software\Parvane\Classkit\4.5\General' Path)" = "$win_dir" ] || fail "Path not in the per-user mirror"
[ "$(reg_value 'HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Fonts' 'Spotlex2 (TrueType)')" = \
  "C:\\users\\$USER\\AppData\\Local\\Microsoft\\Windows\\Fonts\\Spotlex2.ttf" ] || fail "font not registered for the user"
cmp -s "$user_dir/AppData/Local/Microsoft/Windows/Fonts/Spotlex2.ttf" "$unix_dir/Spotlex2.ttf" || fail "font file not in the user's fonts"
[ -f "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Spotlex.lnk" ] || fail "no Start-menu shortcut"
uninst='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Spotlex'
for v in DisplayName DisplayVersion Publisher DisplayIcon EstimatedSize UninstallString; do
  [ -n "$(reg_value "$uninst" "$v")" ] || fail "Apps & features entry lacks $v"
done
scheme=$(reg_value 'HKEY_CURRENT_USER\Control Panel\Cursors\Schemes' Spotlex)
if [ -d "$unix_dir/cursors" ]; then
  [ "$(echo "$scheme" | tr ',' '\n' | wc -l)" -eq 14 ] || fail "the Spotlex scheme lists no 14 cursors: $scheme"
  IFS=, read -r -a listed <<<"$scheme"
  for cur in "${listed[@]}"; do
    unix=${cur#C:\\}
    [ -s "$WINEPREFIX/drive_c/${unix//\\//}" ] || fail "the scheme names a missing file: $cur"
  done
else
  echo "note: this installer carries no cursors"
fi

# The installed program starts with the large cursors on, finds its font, scheme and sounds, and
# writes nothing to its log.
wine reg add 'HKCU\Software\Parvane\Classkit\4.5\Spotlex' /v Show_Large_Cursors /t REG_DWORD /d 1 /f >/dev/null 2>&1
(cd "$unix_dir" && wine "$win_dir\\Spotlex.exe" >/dev/null 2>&1 &)
for _ in $(seq 50); do [ -n "$(program_pids)" ] && break; sleep 0.2; done
sleep 4
[ -n "$(program_pids)" ] || fail "the installed program did not start or did not stay"
# Wine has no UI Automation: that one entry is expected, any other is a fault.
[ -e "$unix_dir/errata.log" ] || fail "the program wrote that entry anywhere but in its own folder"
if [ -e "$unix_dir/errata.log" ] && grep '^Desc:' "$unix_dir/errata.log" | grep -qv 'UI Automation is not available'; then
  fail "the program logged errors: $(cat "$unix_dir/errata.log")"
fi
if [ -n "$scheme" ]; then
  snapshot "$work/large" running
  [ "$(reg_value 'HKEY_CURRENT_USER\Control Panel\Cursors' @)" = Spotlex ] || fail "the large cursors did not come on"
  [ "$(reg_value 'HKEY_CURRENT_USER\Control Panel\Cursors' Arrow)" = "$win_dir\\cursors\\Spotlex_Arrow.cur" ] ||
    fail "the arrow is not the installed one: $(reg_value 'HKEY_CURRENT_USER\Control Panel\Cursors' Arrow)"
fi

# Installing the same version over the running program closes it first; it puts the cursors back.
run_setup "/D=$win_dir" || fail "installing over the running program failed: $(setup_log)"
[ -z "$(program_pids)" ] || fail "the running program was not closed for the install"
[ -s "$unix_dir/Spotlex.exe" ] || fail "the program is missing after installing over itself"
snapshot "$work/reinstalled"
[ "$(reg_value 'HKEY_CURRENT_USER\Control Panel\Cursors' @)" = "Windows Default" ] || fail "the cursors were not put back"

# An upgrade without /D= goes into the installed folder, not into the default one.
rm "$unix_dir/help/index.html"
run_setup || fail "upgrading without /D= failed"
[ -s "$unix_dir/help/index.html" ] || fail "the upgrade without /D= did not update the installed folder"
[ ! -e "$user_dir/AppData/Local/Programs/Parvane" ] || fail "the upgrade without /D= installed into the default folder"
snapshot "$work/upgraded"
[ "$(reg_value "$uninst" InstallLocation)" = "$win_dir" ] || fail "the upgrade moved the installation to $(reg_value "$uninst" InstallLocation)"

# An upgrade that cannot replace the program (another session runs it) stops, as a presenter who
# answers Abort stops it: the installation that was there is whole and still starts.
hold "$win_dir\\Spotlex.exe"
run_setup "/D=$win_dir"
code=$?
release
[ "$code" -ne 0 ] || fail "an upgrade that could not replace the program reported success"
setup_log | grep -q "installation that was there before is kept" || fail "the log does not say the installation was kept: $(setup_log)"
snapshot "$work/cancelled"
changes=$(install_changes "$work/upgraded" "$work/cancelled")
[ -z "$changes" ] || fail "a failed upgrade changed the installation: $changes"

# An upgrade while Windows holds an older registered font open: the font waits beside it for the
# restart, the exit code says a restart is due, and nothing else is lost.
font_dir=$user_dir/AppData/Local/Microsoft/Windows/Fonts
printf 'older' >>"$font_dir/Spotlex2.ttf"
cp "$font_dir/Spotlex2.ttf" "$work/older.ttf"
hold 'C:\users\'"$USER"'\AppData\Local\Microsoft\Windows\Fonts\Spotlex2.ttf'
run_setup "/D=$win_dir"
code=$?
release
# 3010 says a restart is due; Linux sees the low byte of a Windows exit code.
[ "$code" -eq $((3010 % 256)) ] || fail "an upgrade with the font in use exited $code, not 3010 (restart due): $(setup_log)"
setup_log | grep -q "takes its place when Windows restarts" || fail "the log does not say the font waits for a restart: $(setup_log)"
cmp -s "$font_dir/Spotlex2.ttf" "$work/older.ttf" || fail "the font in use was changed"
cmp -s "$font_dir/Spotlex2.next.ttf" "$unix_dir/Spotlex2.ttf" || fail "the new font does not wait beside the one in use"
snapshot "$work/font-held"
changes=$(install_changes "$work/upgraded" "$work/font-held" | grep '^[<>]')
[ "$changes" = "> ./users/$USER/AppData/Local/Microsoft/Windows/Fonts/Spotlex2.next.ttf" ] ||
  fail "the upgrade with the font in use changed more than the waiting font: $changes"

# After each of them the installed program starts.
(cd "$unix_dir" && wine "$win_dir\\Spotlex.exe" >/dev/null 2>&1 &)
for _ in $(seq 50); do [ -n "$(program_pids)" ] && break; sleep 0.2; done
sleep 3
[ -n "$(program_pids)" ] || fail "the installed program does not start after the failed upgrades"

# Uninstalling while it runs (large cursors on again) closes it; the settings it wrote stay.
start=$(date +%s%N)
run_uninstaller
uninstall_ms=$((($(date +%s%N) - start) / 1000000))
[ -z "$(program_pids)" ] || fail "the uninstaller left the program running"
# The suite's log is the presenter's, kept like the settings.
rm -f "$unix_dir/errata.log"
rmdir "$unix_dir" 2>/dev/null || true
snapshot "$work/kept"
grep -qF '[HKEY_CURRENT_USER\Software\Parvane\Classkit\4.5\Spotlex]' "$work/kept.reg" || fail "the settings were not kept"
# Apart from the settings key and its parents, nothing may remain.
awk '/^\[/ { skip = index($0, "\\Software\\Parvane") > 0 } !skip' "$work/kept.reg" >"$work/kept-other.reg"
mv "$work/kept-other.reg" "$work/kept.reg"
left=$(differs_from_fresh "$work/kept")
[ -z "$left" ] || fail "uninstalling left more than the settings: $left"

# Again, with the large cursors left on as a program that crashed leaves them, and asking for the
# settings to go too: the uninstaller puts the cursors back and the prefix is as fresh.
run_setup "/D=$win_dir" || fail "second install failed"
if [ -n "$scheme" ]; then
  IFS=, read -r -a files <<<"$scheme"
  for i in "${!roles[@]}"; do
    wine reg add 'HKCU\Control Panel\Cursors' /v "${roles[$i]}" /t REG_SZ /d "${files[$i]}" /f >/dev/null 2>&1
  done
  wine reg add 'HKCU\Control Panel\Cursors' /ve /t REG_SZ /d Spotlex /f >/dev/null 2>&1
fi
run_uninstaller /REMOVESETTINGS
snapshot "$work/gone"
gone=$(differs_from_fresh "$work/gone")
[ -z "$gone" ] || fail "uninstalling with /REMOVESETTINGS left: $gone"

# For all users: the cursor scheme and the sounds are the machine's, where every user's Spotlex
# finds them, and the uninstaller takes all of them away again.
run_setup "/ALLUSERS /D=$win_dir" || fail "the all-users install failed: $(setup_log)"
snapshot "$work/all-users"
machine_sounds='HKEY_LOCAL_MACHINE\Software\Parvane\Classkit\4.5\Sounds'
[ "$(reg_value "$machine_sounds" CKClick)" = "$win_dir\\sounds\\Spotlex_Click.wav" ] || fail "no machine-wide sound for CKClick"
grep -qF '[HKEY_CURRENT_USER\AppEvents\Schemes\Apps\Classkit' "$work/all-users.reg" &&
  fail "the all-users install gave the sound section to the installing user only"
if [ -n "$scheme" ]; then
  machine_scheme=$(reg_value 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cursors\Schemes' Spotlex)
  [ "$(echo "$machine_scheme" | tr ',' '\n' | wc -l)" -eq 14 ] || fail "no machine-wide cursor scheme: $machine_scheme"
  [ -z "$(reg_value 'HKEY_CURRENT_USER\Control Panel\Cursors\Schemes' Spotlex)" ] ||
    fail "the all-users install gave the cursor scheme to the installing user"
fi
run_uninstaller /REMOVESETTINGS
snapshot "$work/all-gone"
gone=$(differs_from_fresh "$work/all-gone")
[ -z "$gone" ] || fail "uninstalling the all-users install left: $gone"

echo "installer $(stat -c %s "$setup") bytes; silent install ${install_ms} ms, silent uninstall ${uninstall_ms} ms"
[ "$failures" -eq 0 ] && echo "installer test passed" || echo "$failures failures"
exit $((failures > 0))
