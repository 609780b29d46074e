#!/usr/bin/env bash
# Installs what building and testing Spotlex needs on Debian 12, skipping what is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make python3
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest
  wine64 fonts-wine xvfb x11-utils imagemagick
  python3-fonttools fonts-dejavu-core fonts-dejavu-extra python3-pil locales
  nsis procps
  # bench.sh latency: the peer it is measured against, and the X client that presses and watches
  screenkey xdotool libx11-dev libxext-dev libxtst-dev
  # keyboard-layout tests switch the X server's layout
  x11-xkb-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
