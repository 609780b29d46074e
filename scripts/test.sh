#!/usr/bin/env bash
# Sets up, builds both trees and runs every test: the platform-free suite under ASan and UBSan,
# and the Win32 suite (the x86_64 build of the same sources) under 64-bit Wine on private Xvfb
# displays. One CTest summary at the end.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh
jobs=$(nproc)
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
cmake --preset wine >/dev/null
cmake --build --preset wine -j "$jobs"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset all -j "$jobs"
