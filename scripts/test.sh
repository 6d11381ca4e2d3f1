#!/usr/bin/env bash
# Builds everything in a Debug build (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${QUARIX_BUILD_DIR:-build/debug}
start=$SECONDS
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$build" -j "$(nproc)"
echo "== stage: Linux build took $((SECONDS - start)) s"
start=$SECONDS
status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=$?
echo "== stage: Linux tests took $((SECONDS - start)) s"
exit $status
