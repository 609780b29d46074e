#!/usr/bin/env bash
# Sets up and builds Spotlex. Until the program has its main form this only builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"
echo "built: $(pwd)/build/mingw/bin/Spotlex.exe"
