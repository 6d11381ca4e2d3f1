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
# The tests that run matchers on several threads, again under ThreadSanitizer, which
# fails them on any data race.
start=$SECONDS
tsan=${QUARIX_TSAN_BUILD_DIR:-build/tsan}
cmake -S . -B "$tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARIX_TSAN=ON \
  -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$tsan" -j "$(nproc)" --target unit_filesearch
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" QUARIX_TEST_TMP="$PWD/$tsan/test-tmp" \
  "$tsan/bin/unit_filesearch" --gtest_filter='Parallel*' || status=$?
echo "== stage: ThreadSanitizer tests took $((SECONDS - start)) s"
exit $status
