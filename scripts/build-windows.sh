#!/usr/bin/env bash
# Builds Trawlix.dll and Linquo.dll for Windows and puts each target's DLLs with the
# language and help files into one folder, ready to copy into the host's Plugins folder:
#   build-win32/Quarix     i686, 1.x API: FAR Manager 1.7x, FAR 2 (and 32-bit Far 3's layer
#                          for old plugins)
#   build-win64/Quarix     x86_64, 1.x API: 64-bit Far 3 through its layer for old plugins
#   build-far3-x86/Quarix  i686, Far 3's own Unicode API: 32-bit Far 3
#   build-far3-x64/Quarix  x86_64, Far 3's own Unicode API: 64-bit Far 3
#   scripts/build-windows.sh [i686|x86_64|far3-i686|far3-x86_64]...     (default: all four)
# Each DLL's export and import tables are checked: entry points only, Windows DLLs only.
set -euo pipefail
cd "$(dirname "$0")/.."
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64 far3-i686 far3-x86_64)
for target in "${archs[@]}"; do
  # The native modules take PCRE2 from the 1.x build of their architecture.
  host=quarix api=far1x arch=${target#far3-}
  [ "$arch" != "$target" ] && host=far3 api=far3
  case $target in
    i686) build=build-win32 ;;
    x86_64) build=build-win64 ;;
    far3-i686) build=build-far3-x86 ;;
    far3-x86_64) build=build-far3-x64 ;;
    *) echo "usage: $0 [i686|x86_64|far3-i686|far3-x86_64]..." >&2; exit 2 ;;
  esac
  pcre=build-win32
  [ "$arch" = x86_64 ] && pcre=build-win64
  scripts/setup-windows.sh "$arch" "$pcre"
  cmake -S . -B "$build/dll" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" \
    -DQUARIX_PCRE2_PREFIX="$PWD/$pcre/third-party/pcre2" -DQUARIX_HOST=$host \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build/dll" -j 2 --target Trawlix Linquo quarix_languages
  OBJDUMP=$arch-w64-mingw32-objdump tests/check_exports_win32.sh --api $api \
    "$build/dll/bin/Trawlix.dll" "$build/dll/bin/Linquo.dll"
  out=$build/Quarix
  mkdir -p "$out"
  for dll in Trawlix.dll Linquo.dll; do
    "$arch-w64-mingw32-strip" -o "$out/$dll" "$build/dll/bin/$dll"
  done
  # The help files as the build made them: with the version on their contents page.
  for file in QuarixEng.lng QuarixRus.lng QuarixEng.hlf QuarixRus.hlf; do
    cp "$build/dll/bin/$file" "$out/"
  done
  echo "ready ($target): $out (Trawlix.dll, Linquo.dll, QuarixEng.lng, QuarixRus.lng," \
       "QuarixEng.hlf, QuarixRus.hlf)"
done
