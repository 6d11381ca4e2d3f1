#!/usr/bin/env bash
# Builds the DLLs and the Windows test suite with mingw-w64 and runs the suite under Wine
# in a private Wine prefix below the build folder. Fails when any test fails.
#   scripts/test-windows.sh [build-dir]     (default build-win32)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win32}
scripts/setup-windows.sh "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$build" -j 2

# The tests write to this prefix's registry and C: drive only, never to a user's own.
export WINEPREFIX=$(realpath "$build")/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no .NET or browser installers
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
cd "$build"
status=0
ctest --output-on-failure --timeout 600 || status=$?
wineserver -k 2>/dev/null || true
exit $status
