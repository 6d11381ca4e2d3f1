#!/usr/bin/env bash
# Builds Trawlix.dll and Linquo.dll for FAR Manager 1.7x on 32-bit Windows and puts them
# with the language files into one folder, ready to copy into the host's Plugins folder.
#   scripts/build-windows.sh [output-folder]     (default build-win32/Quarix)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUARIX_WIN32_BUILD_DIR:-build-win32}
out=${1:-$build/Quarix}
scripts/setup-windows.sh "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target Trawlix Linquo
tests/check_exports_win32.sh "$build/bin/Trawlix.dll" "$build/bin/Linquo.dll"
mkdir -p "$out"
for dll in Trawlix.dll Linquo.dll; do
  i686-w64-mingw32-strip -o "$out/$dll" "$build/bin/$dll"
done
cp lng/QuarixEng.lng lng/QuarixRus.lng lng/QuarixEng.hlf lng/QuarixRus.hlf "$out/"
echo "ready: $out (Trawlix.dll, Linquo.dll, QuarixEng.lng, QuarixRus.lng, QuarixEng.hlf, QuarixRus.hlf)"
