#!/usr/bin/env bash
# Set-up, build, and every test: the Release build with warnings as errors runs the
# whole suite; a second build with AddressSanitizer and UndefinedBehaviorSanitizer
# runs the fast unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

bash scripts/build.sh build-test -DSUITE_WERROR=ON
(cd build-test && ctest --output-on-failure --parallel "$(nproc)" --timeout 1200)

bash scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_WERROR=ON -DSUITE_SANITIZE=ON \
  -DSUITE_BUILD_APPS=OFF -DSUITE_BUILD_BENCH=OFF
(cd build-sanitize && ctest --output-on-failure --parallel "$(nproc)" --timeout 1200 -L fast)
