#!/usr/bin/env bash
# Configures (once) and builds the suite in Release into build/ (or the folder given).
# Extra arguments after the folder are passed to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
fi
cmake --build "$dir" --parallel "$(nproc)"
