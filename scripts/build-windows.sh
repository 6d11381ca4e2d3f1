#!/usr/bin/env bash
# Builds Trawlix.dll and Linquo.dll for Windows and puts each target's DLLs with the
# language and help files into one folder, ready to copy into the host's Plugins folder:
#   build-win32/Quarix   i686: FAR Manager 1.7x, FAR 2, 32-bit Far 3
#   build-win64/Quarix   x86_64: 64-bit Far 3 (through its support for 1.x plugins)
#   scripts/build-windows.sh [i686|x86_64]...     (default: both)
# Each DLL's export and import tables are checked: entry points only, Windows DLLs only.
set -euo pipefail
cd "$(dirname "$0")/.."
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)
for arch in "${archs[@]}"; do
  case $arch in
    i686) build=build-win32 ;;
    x86_64) build=build-win64 ;;
    *) echo "usage: $0 [i686|x86_64]..." >&2; exit 2 ;;
  esac
  scripts/setup-windows.sh "$arch" "$build"
  cmake -S . -B "$build/dll" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" \
    -DQUARIX_PCRE2_PREFIX="$PWD/$build/third-party/pcre2" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build/dll" -j 2 --target Trawlix Linquo quarix_languages
  OBJDUMP=$arch-w64-mingw32-objdump \
    tests/check_exports_win32.sh "$build/dll/bin/Trawlix.dll" "$build/dll/bin/Linquo.dll"
  out=$build/Quarix
  mkdir -p "$out"
  for dll in Trawlix.dll Linquo.dll; do
    "$arch-w64-mingw32-strip" -o "$out/$dll" "$build/dll/bin/$dll"
  done
  # The help files as the build made them: with the version on their contents page.
  for file in QuarixEng.lng QuarixRus.lng QuarixEng.hlf QuarixRus.hlf; do
    cp "$build/dll/bin/$file" "$out/"
  done
  echo "ready ($arch): $out (Trawlix.dll, Linquo.dll, QuarixEng.lng, QuarixRus.lng," \
       "QuarixEng.hlf, QuarixRus.hlf)"
done
