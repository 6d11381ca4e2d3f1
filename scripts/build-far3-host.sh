#!/usr/bin/env bash
# Builds Far Manager 3 (Far.exe, sqlite3.dll, language and help files) for x86 or x64 from
# the source archive among the shared host tools, with Debian's mingw-w64 (gcc 12, posix
# threads). The real-host suites use it for the x86 Far 3 the shared tools carry no build of.
#
#   scripts/build-far3-host.sh [-a i686|x86_64] [-w WORKDIR] [-j JOBS] OUT_DIR
#
#   -a       target (default i686)
#   WORKDIR  where the sources are unpacked and built (default ${TMPDIR:-/tmp}/far3-host-ARCH);
#            wiped first
#   JOBS     parallel compile jobs (default 2); the build takes about 30-40 min on 2 cores
#   OUT_DIR  receives Far.exe, sqlite3.dll, Far*.lng, Far*.hlf
#
# QUARIX_SHARED (default: the folder "shared" beside the clone) holds far3/ with the source
# archive and the patch that lets gcc 12 build it. The archive lacks the SQLite amalgamation:
# Far needs SQLite 3.52.0 or later, newer than Debian's, so it is taken from the npm package
# better-sqlite3 (FAR3_SQLITE_NPM to change), which ships the amalgamation, through the
# machine's own npm. Missing Debian packages are installed with apt-get (NO_APT=1: not).
set -euo pipefail
clone=$(cd "$(dirname "$0")/.." && pwd)
shared=${QUARIX_SHARED:-$(dirname "$clone")/shared}
archive=$shared/far3/far-3.0.6727-source.tar.xz
patchfile=$shared/far3/far3-gcc12.patch
sqlite_npm=${FAR3_SQLITE_NPM:-better-sqlite3@13.2.0}
arch=i686 jobs=2 work=
while getopts a:w:j: opt; do
  case $opt in
    a) arch=$OPTARG ;;
    w) work=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) sed -n '2,18p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 1 ] || { sed -n '2,18p' "$0"; exit 2; }
case $arch in
  i686) bits=32 pkgarch=i686 ;;
  x86_64) bits=64 pkgarch=x86-64 ;;
  *) echo "unknown target $arch (i686 or x86_64)" >&2; exit 2 ;;
esac
out=$(realpath -m "$1")
work=$(realpath -m "${work:-${TMPDIR:-/tmp}/far3-host-$arch}")
start=$SECONDS
log() { printf '[%5ds] %s\n' $((SECONDS - start)) "$*"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in make m4 gawk python3 patch binutils-mingw-w64-$pkgarch gcc-mingw-w64-$pkgarch-posix \
         g++-mingw-w64-$pkgarch-posix mingw-w64-$pkgarch-dev; do
  installed "$p" || missing+=("$p")
done
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  [ "${NO_APT:-0}" = 1 ] && { echo "missing packages: ${missing[*]}" >&2; exit 1; }
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  log "installing: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

[ -f "$archive" ] || { echo "no source archive $archive" >&2; exit 1; }
[ -f "$patchfile" ] || { echo "no patch $patchfile" >&2; exit 1; }
src=$work/src
rm -rf "$work"
mkdir -p "$src"
tar -xJf "$archive" -C "$src" --strip-components=1
if [ ! -f "$src/far/thirdparty/sqlite/sqlite3.c" ]; then
  sq=$work/sqlite
  mkdir -p "$sq"
  (cd "$sq" && npm pack "$sqlite_npm" --silent >/dev/null)
  tar -xzf "$sq"/*.tgz -C "$sq" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  ver=$(sed -n 's/^#define SQLITE_VERSION_NUMBER *\([0-9]*\).*/\1/p' "$sq/package/deps/sqlite3/sqlite3.h")
  [ "${ver:-0}" -ge 3052000 ] || { echo "SQLite $ver from $sqlite_npm: Far needs 3.52.0 or later" >&2; exit 1; }
  cp "$sq/package/deps/sqlite3/sqlite3.c" "$sq/package/deps/sqlite3/sqlite3.h" "$src/far/thirdparty/sqlite/"
  log "SQLite $ver from $sqlite_npm"
fi
patch -d "$src" -p1 --forward < "$patchfile" >/dev/null

cd "$src/far"
mk=(make -f makefile_gcc GCC_PREFIX=$arch-w64-mingw32- DW2=-posix PYTHON=1 PYTHONBIN=python3
    ENABLE_TESTS=0 NO_LTO=1)
log "make -j$jobs for $arch"
"${mk[@]}" -j "$jobs" >"$work/make.log" 2>&1 ||
  { tail -40 "$work/make.log"; echo "build failed: $work/make.log" >&2; exit 1; }
rel=$src/far/Release.$bits.gcc
mkdir -p "$out"
cp "$rel/Far.exe" "$rel/sqlite3.dll" "$rel"/*.lng "$rel"/*.hlf "$out/"
log "done: $out"
