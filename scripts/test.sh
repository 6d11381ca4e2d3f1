#!/usr/bin/env bash
# Builds everything in a Debug build (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${QUARIX_BUILD_DIR:-build/debug}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
