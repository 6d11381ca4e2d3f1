#!/usr/bin/env bash
# Prints the folder of a far2l built from the shared source archive, building it first
# when the cache has none for that archive. The cache (QUARIX_HOST_CACHE, default
# ~/.cache/quarix-hosts) is keyed by the archive's checksum, so a second run reuses it.
# Only the TTY backend is built and every optional bundled plugin is off.
#   tests/far2l/host.sh [ARCHIVE]
# The archive is far2l/far2l-aac116d-source.tar.xz below QUARIX_SHARED, by default the
# folder "shared" beside the clone.
# The build log goes beside the cache entry; progress goes to stderr.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
name=far2l/far2l-aac116d-source.tar.xz
cache=${QUARIX_HOST_CACHE:-$HOME/.cache/quarix-hosts}

# The shared tools sit beside the clone; a clone of a clone finds them beside the clone it
# came from, and a clone in a folder of its own beside one of its parents.
find_archive() {
  local dir origin
  if [ -n "${QUARIX_SHARED:-}" ]; then echo "$QUARIX_SHARED/$name"; return; fi
  origin=$(git -C "$here" remote get-url origin 2>/dev/null || true)
  case $origin in file://*) origin=${origin#file://} ;; /*) ;; *) origin="" ;; esac
  origin=${origin%/}; origin=${origin%/.git}; origin=${origin%/.}
  for dir in "$(dirname "$here")" ${origin:+"$(dirname "$origin")"}; do
    [ -f "$dir/shared/$name" ] && { echo "$dir/shared/$name"; return; }
  done
  dir=$here
  while [ "$dir" != / ]; do
    dir=$(dirname "$dir")
    [ -f "$dir/shared/$name" ] && { echo "$dir/shared/$name"; return; }
  done
  echo "$(dirname "$here")/shared/$name"
}
archive=${1:-$(find_archive)}
[ -f "$archive" ] || {
  echo "far2l: no source archive at $archive (set QUARIX_SHARED to the folder that holds far2l/)" >&2
  exit 1
}
sum=$(sha256sum "$archive" | cut -c1-16)
dir=$cache/far2l-$sum
if [ -x "$dir/bin/far2l" ]; then echo "$dir"; exit 0; fi

need=""
for p in cmake g++ make pkg-config perl libuchardet-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need="$need $p"
done
if [ -n "$need" ]; then
  echo "far2l: installing$need" >&2
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq >&2 && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $need >&2
  else
    echo "far2l: not root, cannot install$need" >&2; exit 1
  fi
fi

start=$SECONDS
echo "far2l: building into $dir (about 12 min on 2 cores)" >&2
mkdir -p "$cache"
work=$(mktemp -d "$cache/far2l-$sum.work.XXXX")
trap 'rm -rf "$work"' EXIT
log=$cache/far2l-$sum.log
plugins=""
for p in ALIGN AUTOWRAP TRUNCATE CALC COLORER COMPARE DRAWLINE EDITCASE GITGUTTER \
         EDITORCOMP FILECASE INCSRCH INSIDE JUMPWORD ARCLITE MULTIARC NETROCKS \
         SIMPLEINDENT TMPPANEL HEXITOR OPENWITH TRANSFORMER IMAGEVIEWER EDSORT MEMO ADB \
         MTP FARFTP PYTHON; do
  plugins="$plugins -D$p=no"
done
{
  mkdir -p "$work/src" &&
  tar -xJf "$archive" -C "$work/src" --strip-components=1 &&
  cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$dir.partial" -DUSEWX=no -DUSESDL=no -DTTYX=no -DUSEUCD=yes \
    $plugins &&
  cmake --build "$work/build" -j "${JOBS:-2}" &&
  rm -rf "$dir.partial" &&
  cmake --build "$work/build" --target install
} >"$log" 2>&1 || { echo "far2l: the build failed, see $log" >&2; exit 1; }
[ -x "$dir.partial/bin/far2l" ] || { echo "far2l: the build made no bin/far2l" >&2; exit 1; }
# far2l finds its share folder relative to its binary, so the prefix can move.
mv "$dir.partial" "$dir"
echo "far2l: built in $((SECONDS - start)) s" >&2
echo "$dir"
