#!/usr/bin/env bash
# Set-up, build, and the main job: the default visibility run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
cd build/bin
./orvel run
