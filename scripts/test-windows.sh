#!/usr/bin/env bash
# The Windows suite. Builds the DLLs of both targets and checks their export and import
# tables on every machine, then builds the test suite for the target this machine can run
# and runs it under Wine, in a new Wine prefix of its own below the build folder:
# - i686 under 32-bit Wine where the kernel runs 32-bit x86 programs;
# - x86_64 under 64-bit Wine where it does not (32-bit Wine cannot start there).
# QUARIX_WINE_ARCH=win32 or win64 chooses instead of the probe; QUARIX_WINE_LOADER names
# another Wine loader for it (for instance one that runs 32-bit Wine under qemu-i386).
# Every start of Wine has a bounded wait (scripts/wine-run.sh). Fails when any test fails
# or hangs.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

variant=${QUARIX_WINE_ARCH:-}
case "$variant" in
  win32|win64) why="chosen by QUARIX_WINE_ARCH" ;;
  "")
    if scripts/runs-32bit.sh; then
      variant=win32; why="this machine runs 32-bit x86 programs"
    else
      variant=win64
      why="this machine cannot run 32-bit x86 programs (Exec format error), so 32-bit Wine cannot start"
    fi ;;
  *) echo "QUARIX_WINE_ARCH must be win32 or win64, not '$variant'" >&2; exit 2 ;;
esac
if [ "$variant" = win32 ]; then
  arch=i686; build=build-win32; loader=${QUARIX_WINE_LOADER:-wine}
else
  arch=x86_64; build=build-win64; loader=${QUARIX_WINE_LOADER:-/usr/lib/wine/wine64}
fi
echo "Windows suite: $arch under $variant Wine ($why; loader $loader)"

scripts/build-windows.sh
scripts/setup-windows.sh --wine "$arch" "$build"
cmake -S . -B "$build/test" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" \
  -DQUARIX_PCRE2_PREFIX="$PWD/$build/third-party/pcre2" -DQUARIX_WINE_LOADER="$loader" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$build/test" -j 2
echo "== stage: Windows build took $((SECONDS - start)) s"
start=$SECONDS

# The tests write to this prefix's registry and C: drive only, never to a user's own.
export WINEPREFIX=$PWD/$build/wine-prefix
export WINEARCH=$variant
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no .NET or browser installers
rm -rf "$WINEPREFIX"
if ! scripts/wine-run.sh "$loader" wineboot -i >/dev/null 2>&1; then
  echo "test-windows: the Wine prefix could not be made ($variant Wine, see above)" >&2
  exit 1
fi
timeout 120 wineserver -w || true
echo "Wine prefix ready after $((SECONDS - start)) s"
status=0
# ctest's own limit stays above two bounded starts, so that a hang is reported as one.
limit=$((2 * ${QUARIX_WINE_TIMEOUT:-300} + 100))
(cd "$build/test" && ctest --output-on-failure --timeout "$limit") || status=$?
timeout 60 wineserver -k 2>/dev/null || true
echo "== stage: Windows tests ($arch under $variant Wine) took $((SECONDS - start)) s"
exit $status
