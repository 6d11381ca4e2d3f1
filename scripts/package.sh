#!/usr/bin/env bash
# Makes the release files of the commit checked out, into dist/ (or --out DIR):
#   quarix-VERSION-far3-i686.zip      the plugin folder for 32-bit Far 3 (its own API)
#   quarix-VERSION-far3-x86_64.zip    the plugin folder for 64-bit Far 3 (its own API)
#   quarix-VERSION-far1x-i686.zip     the 1.x API's folder: FAR 1.7x, FAR 2 (and 32-bit Far 3
#                                     through its layer for 1.x plugins)
#   quarix-VERSION-far1x-x86_64.zip   the 1.x API's folder: 64-bit Far 3 through that layer
#   quarix_VERSION_ARCH.deb           the far2l plugins and the quarix program
#   SHA256SUMS
#   scripts/package.sh [--out DIR]
# Everything is built afresh from the commit alone (git archive, so changes not committed
# are not packaged) below build-package/. Two runs from the same commit give the same
# bytes: every time stamp is the commit's time (SOURCE_DATE_EPOCH), entries are sorted,
# owners are root, and no build path is kept in the binaries. PCRE2 for Windows is built
# once per architecture into build-package/cache/ and kept.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=dist
while [ $# -gt 0 ]; do
  case $1 in
    --out) [ $# -ge 2 ] || { echo "$0: --out needs a folder" >&2; exit 2; }; out=$2; shift 2 ;;
    *) echo "usage: $0 [--out DIR]" >&2; exit 2 ;;
  esac
done

git rev-parse --verify -q HEAD >/dev/null || { echo "$0: not in a git clone with a commit" >&2; exit 2; }
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "$0: note: changes not committed are not packaged; the files are made from $(git rev-parse --short HEAD)" >&2
fi

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct HEAD)}
export TZ=UTC LC_ALL=C
umask 022

# ---- what the packaging needs --------------------------------------------------------
scripts/setup.sh zip dpkg-dev

# ---- the commit's tree ----------------------------------------------------------------
work=$root/build-package
src=$work/src
rm -rf "$src" "$work/stage"
mkdir -p "$src" "$work/stage" "$work/cache/win32" "$work/cache/win64"
git archive HEAD | tar -x -C "$src"
version=$(sed -n 's/^project(Quarix VERSION \([0-9][0-9.]*\) .*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "$0: no version in CMakeLists.txt's project()" >&2; exit 1; }
# The build folders' paths stay out of the binaries, so that the place of the clone does
# not change a byte.
export CFLAGS="-ffile-prefix-map=$src=."
export CXXFLAGS="-ffile-prefix-map=$src=."

# ---- the builds -----------------------------------------------------------------------
# Windows: the same builds as scripts/build-windows.sh, with PCRE2 kept between runs. The
# 1.x build folders are links into the cache, since PCRE2 lives in them (third-party/) and
# the native builds of the same architecture link it from there; the native build folders
# themselves stay in the fresh tree.
ln -s "$work/cache/win32" "$src/build-win32"
ln -s "$work/cache/win64" "$src/build-win64"
rm -rf "$work/cache/win32/dll" "$work/cache/win32/Quarix" \
       "$work/cache/win64/dll" "$work/cache/win64/Quarix"
(cd "$src" && scripts/build-windows.sh i686 x86_64 far3-i686 far3-x86_64)
# far2l's plugin folder, and the quarix program with the modules it loads.
cmake -S "$src" -B "$src/build-far2l" -DQUARIX_HOST=far2l -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$src/build-far2l" -j 2
cmake -S "$src" -B "$src/build-program" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$src/build-program" -j 2 --target quarix

# ---- the staged trees -----------------------------------------------------------------
# fill_text TEMPLATE OUT: the template with the version filled in.
fill_text() { sed "s/@VERSION@/$version/g" "$1" >"$2"; }
# windows_text IN OUT: a text file as Windows programs read it: CRLF, UTF-8 with a BOM.
windows_text() { { printf '\357\273\277'; sed 's/$/\r/' "$1"; } >"$2"; }
# normalize DIR: the same modes and time stamps on every run.
normalize() {
  find "$1" -type d -exec chmod 755 {} +
  find "$1" -type f -exec chmod 644 {} +
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out"/quarix-*.zip "$out"/quarix_*.deb "$out/SHA256SUMS"
made=()

fill_text "$src/packaging/install-en.txt" "$work/stage/install-en.txt"
fill_text "$src/packaging/install-ru.txt" "$work/stage/install-ru.txt"
# One zip per Windows build: KIND-ARCH and the build folder that holds its Quarix/.
for zip_build in far1x-i686:build-win32 far1x-x86_64:build-win64 \
                 far3-i686:build-far3-x86 far3-x86_64:build-far3-x64; do
  kind_arch=${zip_build%%:*} build=$src/${zip_build#*:}
  stage=$work/stage/$kind_arch
  mkdir -p "$stage"
  cp -r "$build/Quarix" "$stage/Quarix"
  windows_text "$work/stage/install-en.txt" "$stage/INSTALL.txt"
  windows_text "$work/stage/install-ru.txt" "$stage/INSTALL.ru.txt"
  windows_text "$src/CHANGELOG.md" "$stage/CHANGELOG.txt"
  normalize "$stage"
  zip_name=quarix-$version-$kind_arch.zip
  # -X: no owner ids or extra time fields; entries in sorted order.
  (cd "$stage" && find . -mindepth 1 | sed 's|^\./||' | sort |
     zip -X -q -@ "$out/$zip_name")
  made+=("$zip_name")
done

deb=$work/stage/deb
plug=$deb/usr/lib/far2l/Plugins/quarix/plug
lib=$deb/usr/lib/quarix
mkdir -p "$deb/DEBIAN" "$plug" "$lib" "$deb/usr/bin" "$deb/usr/share/man/man1" \
         "$deb/usr/share/doc/quarix"
cp "$src/build-far2l/Quarix"/* "$plug/"
# The program looks for its modules and their language files in its own folder (the
# link's target): /usr/lib/quarix.
for file in quarix Trawlix.so Linquo.so QuarixEng.lng QuarixRus.lng QuarixEng.hlf QuarixRus.hlf; do
  cp "$src/build-program/bin/$file" "$lib/"
done
strip --strip-unneeded "$plug"/*.far-plug-* "$lib"/*.so
strip "$lib/quarix"
ln -s ../lib/quarix/quarix "$deb/usr/bin/quarix"
gzip -9n <"$src/packaging/quarix.1" >"$deb/usr/share/man/man1/quarix.1.gz"
gzip -9n <"$src/CHANGELOG.md" >"$deb/usr/share/doc/quarix/changelog.gz"

# The libraries the binaries need, as Debian names them.
shlibs=$work/stage/shlibs
mkdir -p "$shlibs/debian"
printf 'Source: quarix\n\nPackage: quarix\nArchitecture: any\n' >"$shlibs/debian/control"
depends=$(cd "$shlibs" && dpkg-shlibdeps -O "$lib/quarix" "$lib"/*.so "$plug"/*.far-plug-* |
          sed -n 's/^shlibs:Depends=//p')
deb_arch=$(dpkg --print-architecture)
normalize "$deb"
chmod 755 "$lib/quarix"
# The files' sizes alone: what a folder takes differs between file systems.
installed_size=$(find "$deb" -path "$deb/DEBIAN" -prune -o -type f -printf '%s\n' |
                 awk '{ sum += $1 } END { print int((sum + 1023) / 1024) }')
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$deb_arch/" -e "s/@SIZE@/$installed_size/" \
    -e "s#@DEPENDS@#$depends#" "$src/packaging/control" >"$deb/DEBIAN/control"
normalize "$deb/DEBIAN"
chmod 755 "$lib/quarix"
deb_name=quarix_${version}_$deb_arch.deb
dpkg-deb --root-owner-group -Zxz --build "$deb" "$out/$deb_name" >/dev/null
made+=("$deb_name")

(cd "$out" && sha256sum "${made[@]}" >SHA256SUMS)
echo "packaged $version from $(git rev-parse --short HEAD) into $out:"
(cd "$out" && ls -l "${made[@]}" SHA256SUMS)
