#!/usr/bin/env bash
# Installs what the Windows build needs for one target (Debian packages: the mingw-w64
# compiler; with --wine also the Wine that runs the target's programs) and builds PCRE2
# for that target from Debian's source package into BUILD-DIR/third-party/pcre2.
#   scripts/setup-windows.sh [--wine] i686|x86_64 BUILD-DIR
# Safe to run again: installed packages and a finished PCRE2 build are kept.
# The machine's own apt sources are only read: the source-package entries go into a
# private apt configuration below the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
wine=0
[ "${1:-}" = --wine ] && { wine=1; shift; }
if [ $# -ne 2 ] || { [ "$1" != i686 ] && [ "$1" != x86_64 ]; }; then
  echo "usage: $0 [--wine] i686|x86_64 BUILD-DIR" >&2
  exit 2
fi
arch=$1
build=$(realpath -m "$2")
mingw=$arch-w64-mingw32
pkg_arch=${arch//_/-}   # Debian writes the x86_64 packages with a dash
pcre2_version=10.42-1   # the security update's source package is not served: pin this one
pcre2_prefix=$build/third-party/pcre2
export DEBIAN_FRONTEND=noninteractive

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# ---- packages -------------------------------------------------------------------------
packages=(cmake make dpkg-dev binutils-mingw-w64-$pkg_arch gcc-mingw-w64-$pkg_arch-posix
          g++-mingw-w64-$pkg_arch-posix mingw-w64-$pkg_arch-dev)
if [ $wine = 1 ]; then
  # The 32-bit loader comes from the i386 architecture; the 64-bit one needs no other.
  if [ "$arch" = i686 ]; then packages+=(wine wine32:i386); else packages+=(wine wine64); fi
fi
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# ---- PCRE2 for Windows, from the Debian source package -----------------------------------
if [ -f "$pcre2_prefix/lib/libpcre2-8.a" ] && [ -f "$pcre2_prefix/.version" ] &&
   [ "$(cat "$pcre2_prefix/.version")" = "$pcre2_version" ]; then
  exit 0
fi

apt_dir=$build/third-party/apt
src_dir=$build/third-party/src
mkdir -p "$apt_dir/lists/partial" "$apt_dir/sources.list.d" "$apt_dir/cache/archives/partial" \
         "$src_dir"

# deb-src entries for every deb entry of the machine's sources (one-line and deb822 files).
list=$apt_dir/sources.list
: > "$list"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n -E 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$f" >> "$list"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  # One stanza per paragraph: keep those with Types "deb" and not "Enabled: no".
  awk -v out="$list" '
    function flush() {
      if (types ~ /(^|[[:space:]])deb([[:space:]]|$)/ && enabled != "no" && uris != "" &&
          suites != "") {
        n = split(uris, u, /[[:space:]]+/); m = split(suites, s, /[[:space:]]+/)
        for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) if (u[i] != "" && s[j] != "") {
          opt = (signed != "") ? "[signed-by=" signed "] " : ""
          print "deb-src " opt u[i] " " s[j] " " comps >> out
        }
      }
      types = uris = suites = comps = signed = enabled = ""
    }
    /^[[:space:]]*#/ { next }
    /^[[:space:]]*$/ { flush(); next }
    {
      key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^[[:space:]]+/, "")
      if (key == "types") types = $0; else if (key == "uris") uris = $0
      else if (key == "suites") suites = $0; else if (key == "components") comps = $0
      else if (key == "signed-by") signed = $0; else if (key == "enabled") enabled = tolower($0)
    }
    END { flush() }' "$f"
done
if [ ! -s "$list" ]; then
  echo "setup-windows: no deb entries in the machine's apt sources to derive source entries from" >&2
  exit 1
fi

apt_private=(-o Dir::Etc::SourceList="$list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
             -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
             -o Debug::NoLocking=1)
apt-get "${apt_private[@]}" update -qq
rm -rf "$src_dir"/*
# apt checks the downloaded files against the signed index; dpkg-source then only unpacks
# (checking the .dsc's own signature would need the Debian keyring).
(cd "$src_dir" && apt-get "${apt_private[@]}" source --download-only "pcre2=$pcre2_version" -qq &&
   dpkg-source --no-check -x ./pcre2_*.dsc pcre2 >/dev/null)

cmake -S "$src_dir/pcre2" -B "$build/third-party/pcre2-build" \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$arch" \
  -DCMAKE_C_COMPILER="$mingw-gcc-posix" -DCMAKE_RC_COMPILER="$mingw-windres" \
  -DCMAKE_FIND_ROOT_PATH="/usr/$mingw" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$pcre2_prefix" \
  -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF \
  -DPCRE2_BUILD_PCRE2_32=OFF -DPCRE2_SUPPORT_JIT=ON -DPCRE2_BUILD_TESTS=OFF \
  -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_SUPPORT_LIBZ=OFF -DPCRE2_SUPPORT_LIBBZ2=OFF \
  -DPCRE2_SUPPORT_LIBEDIT=OFF -DPCRE2_SUPPORT_LIBREADLINE=OFF >/dev/null
cmake --build "$build/third-party/pcre2-build" -j 2 >/dev/null
cmake --install "$build/third-party/pcre2-build" >/dev/null
echo "$pcre2_version" > "$pcre2_prefix/.version"
echo "PCRE2 $pcre2_version for Windows ($arch): $pcre2_prefix"
