#!/usr/bin/env bash
# Checks the release files of the commit checked out. scripts/package.sh runs twice, each
# time building everything afresh, and the two outputs must be the same bytes. Then what
# they hold: each zip's file list, every DLL's processor, exports and imports, the versions
# in the DLLs' version resources, the help files, the language and help files' encoding
# (UTF-8 with a byte order mark for Far 3's own API, code page 866 for the 1.x API), the
# install texts and the Debian package, which is installed with dpkg into a fresh root
# whose quarix then tells its version and searches a folder with the modules beside it.
#   tests/package/run.sh
# Six builds per run of package.sh (four Windows targets, far2l, the program): 7-25 minutes
# on 2 cores (the longer while other builds run), so it is not part of scripts/test.sh.
# Ends with "package: N passed, M failed"; fails when a check fails.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$PWD/build-package/check
rm -rf "$work"
mkdir -p "$work"
passed=0 failed=0
# check WHAT COMMAND...: one line per check.
check() {
  local what=$1; shift
  if "$@"; then echo "ok: $what"; passed=$((passed + 1)); else echo "FAILED: $what"; failed=$((failed + 1)); fi
}
# same_lines ACTUAL EXPECTED: the two texts, line by line, with the difference shown.
same_lines() { diff <(printf '%s\n' "$1") <(printf '%s\n' "$2"); }

start=$SECONDS
for run in first second; do
  if ! scripts/package.sh --out "$work/$run" >"$work/$run.log" 2>&1; then
    tail -20 "$work/$run.log"
    echo "package: scripts/package.sh failed ($run run; log in $work/$run.log)"
    exit 1
  fi
done
echo "two runs of scripts/package.sh took $((SECONDS - start)) s"

version=$(git show HEAD:CMakeLists.txt | sed -n 's/^project(Quarix VERSION \([0-9][0-9.]*\) .*/\1/p')
deb_arch=$(dpkg --print-architecture)
dist=$work/first
deb=$dist/quarix_${version}_$deb_arch.deb

# ---- the release as a whole ----------------------------------------------------------
# The Windows zips, KIND-ARCH: KIND is the plugin API their DLLs speak (far1x: the 1.x API
# of FAR 1.7x and FAR 2; far3: Far 3's own), ARCH the DLLs' processor.
zips=(far1x-i686 far1x-x86_64 far3-i686 far3-x86_64)
check "the version is three numbers ($version)" grep -Eqx '[0-9]+\.[0-9]+\.[0-9]+' <<<"$version"
check "dist holds the ${#zips[@]} zips, the package and the checksums" same_lines \
  "$(ls "$dist")" "$({ printf "quarix-$version-%s.zip\n" "${zips[@]}"
                       printf '%s\n' "quarix_${version}_$deb_arch.deb" SHA256SUMS; } | sort)"
check "two runs give the same bytes" diff -r "$work/first" "$work/second"
check "SHA256SUMS holds every file and agrees with it" \
  bash -c "cd '$dist' && [ \$(wc -l <SHA256SUMS) = $((${#zips[@]} + 1)) ] &&
           sha256sum --quiet -c SHA256SUMS"

# ---- the Windows zips ----------------------------------------------------------------
zip_list="CHANGELOG.txt
INSTALL.ru.txt
INSTALL.txt
Quarix/
Quarix/Linquo.dll
Quarix/QuarixEng.hlf
Quarix/QuarixEng.lng
Quarix/QuarixRus.hlf
Quarix/QuarixRus.lng
Quarix/Trawlix.dll"
# version_resource DLL: the DLL's version resource as resource script text.
version_resource() { "$arch-w64-mingw32-windres" -i "$1" -O rc; }
# text_form FILE: a language or help file's form: "BOM+" when it starts with UTF-8's byte
# order mark, then what the rest is: ascii, utf-8 (not ASCII alone) or 8-bit (not UTF-8).
text_form() {
  local body=$1
  if [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' ')" = efbbbf ]; then
    printf 'BOM+'
    body=$work/text-form.tmp
    tail -c +4 "$1" >"$body"
  fi
  if ! LC_ALL=C grep -q -P '[^\x00-\x7F]' "$body"; then echo ascii
  elif iconv -f UTF-8 -t UTF-8 "$body" >/dev/null 2>&1; then echo utf-8
  else echo 8-bit
  fi
}
# The forms each kind of zip wants. Far 3 reads these files as UTF-8 when they start with
# the mark (the Russian ones are converted for it); the 1.x FAR reads code page 866 and
# would show a mark as three characters.
declare -A want_forms=(
  [far1x]="QuarixEng.lng=ascii QuarixEng.hlf=ascii QuarixRus.lng=8-bit QuarixRus.hlf=8-bit"
  [far3]="QuarixEng.lng=BOM+ascii QuarixEng.hlf=BOM+ascii QuarixRus.lng=BOM+utf-8
          QuarixRus.hlf=BOM+utf-8"
)
declare -A guids
for kind_arch in "${zips[@]}"; do
  kind=${kind_arch%%-*} arch=${kind_arch#*-}
  zip=$dist/quarix-$version-$kind_arch.zip
  unpacked=$work/$kind_arch
  mkdir -p "$unpacked"
  check "$kind_arch zip: file list" same_lines "$(unzip -Z1 "$zip")" "$zip_list"
  unzip -q "$zip" -d "$unpacked"
  format=pei-i386
  [ "$arch" = x86_64 ] && format=pei-x86-64
  for dll in Trawlix Linquo; do
    check "$kind_arch $dll.dll: a $format DLL" \
      grep -q "file format $format\$" <("$arch-w64-mingw32-objdump" -f "$unpacked/Quarix/$dll.dll")
  done
  check "$kind_arch zip: the DLLs export the $kind entry points only and need only Windows" \
    env OBJDUMP="$arch-w64-mingw32-objdump" tests/check_exports_win32.sh --api "$kind" \
    "$unpacked/Quarix/Trawlix.dll" "$unpacked/Quarix/Linquo.dll"
  for dll in Trawlix Linquo; do
    rc=$(version_resource "$unpacked/Quarix/$dll.dll")
    numbers=${version//./, }
    check "$kind_arch $dll.dll: file and product version $numbers, 0" \
      bash -c 'grep -qx " FILEVERSION $1, 0" <<<"$0" && grep -qx " PRODUCTVERSION $1, 0" <<<"$0"' \
      "$rc" "$numbers"
    for field in FileVersion ProductVersion; do
      check "$kind_arch $dll.dll: $field \"$version\"" grep -q "VALUE \"$field\", \"$version\"" <<<"$rc"
    done
    check "$kind_arch $dll.dll: product name and description" \
      bash -c 'grep -q "VALUE \"ProductName\", \"Quarix\"" <<<"$0" &&
               grep -q "VALUE \"FileDescription\", \"$1: " <<<"$0"' "$rc" "$dll"
    guid=$(sed -n 's/.*VALUE "PluginGUID", "\(.*\)"/\1/p' <<<"$rc")
    check "$kind_arch $dll.dll: a PluginGUID ($guid)" \
      grep -Eqx '[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}' <<<"$guid"
    if [ -z "${guids[$dll]:-}" ]; then
      guids[$dll]=$guid
    else
      check "$kind_arch $dll.dll: the same PluginGUID as in the ${zips[0]} zip" \
        [ "${guids[$dll]}" = "$guid" ]
    fi
  done
  for help in QuarixEng.hlf QuarixRus.hlf; do
    check "$kind_arch zip: $help's contents page is titled with $version" \
      grep -q "^\\\$ #Quarix $version: " "$unpacked/Quarix/$help"
  done
  for text_want in ${want_forms[$kind]}; do
    text=${text_want%=*} form=${text_want#*=}
    check "$kind_arch zip: $text is $form" \
      same_lines "$(text_form "$unpacked/Quarix/$text")" "$form"
  done
  for text in INSTALL.txt INSTALL.ru.txt; do
    check "$kind_arch zip: $text names the version and this archive" \
      grep -q "quarix-$version-$kind_arch.zip" "$unpacked/$text"
  done
done
check "Trawlix and Linquo have different PluginGUIDs" [ "${guids[Trawlix]}" != "${guids[Linquo]}" ]

# ---- the Debian package --------------------------------------------------------------
deb_list="./usr/bin/quarix -> ../lib/quarix/quarix
./usr/lib/far2l/Plugins/quarix/plug/Linquo.far-plug-wide
./usr/lib/far2l/Plugins/quarix/plug/QuarixEng.hlf
./usr/lib/far2l/Plugins/quarix/plug/QuarixEng.lng
./usr/lib/far2l/Plugins/quarix/plug/QuarixRus.hlf
./usr/lib/far2l/Plugins/quarix/plug/QuarixRus.lng
./usr/lib/far2l/Plugins/quarix/plug/Trawlix.far-plug-mb
./usr/lib/quarix/Linquo.so
./usr/lib/quarix/QuarixEng.hlf
./usr/lib/quarix/QuarixEng.lng
./usr/lib/quarix/QuarixRus.hlf
./usr/lib/quarix/QuarixRus.lng
./usr/lib/quarix/Trawlix.so
./usr/lib/quarix/quarix
./usr/share/doc/quarix/changelog.gz
./usr/share/man/man1/quarix.1.gz"
listing=$(dpkg-deb -c "$deb")
check "deb: file list" same_lines \
  "$(awk '$1 !~ /^d/ {sub(/^([^ ]+ +){5}/, ""); print}' <<<"$listing" | sort)" "$deb_list"
check "deb: every entry belongs to root" bash -c '! awk "\$2 != \"root/root\"" <<<"$0" | grep -q .' "$listing"
check "deb: version $version" [ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
check "deb: depends on the C++ runtime and PCRE2" \
  bash -c 'grep -q "libstdc++6" <<<"$0" && grep -q "libpcre2-8-0" <<<"$0"' "$(dpkg-deb -f "$deb" Depends)"

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
check "deb: dpkg installs it into a fresh root" \
  dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "$deb"
check "installed: quarix --version says $version" \
  [ "$("$root/usr/bin/quarix" --version 2>&1)" = "quarix $version" ]
tree=$work/tree
mkdir -p "$tree/sub"
printf 'a needle here\n' >"$tree/sub/found.txt"
printf 'nothing\n' >"$tree/other.txt"
found=$(QUARIX_REGISTRY=$work/registry "$root/usr/bin/quarix" search "$tree" --mask '*' \
        --text needle --mode plain --scope tree 2>&1)
check "installed: quarix loads its modules and finds the file" same_lines "$found" "$tree/sub/found.txt"

# exports_match_map MODULE MAP: the module exports exactly the map's global names.
exports_match_map() {
  diff <(nm -D --defined-only "$1" | awk '{print $NF}' | sort) \
       <(sed -n '/global:/,/local:/p' "$2" | tr ' ;' '\n\n' | grep -E '^[A-Za-z]+$' |
         grep -vx -e global -e local | sort)
}
plug=$root/usr/lib/far2l/Plugins/quarix/plug
check "installed: far2l's Trawlix exports its entry points only" \
  exports_match_map "$plug/Trawlix.far-plug-mb" src/filesearch/Trawlix.map
check "installed: far2l's Linquo exports its entry points only" \
  exports_match_map "$plug/Linquo.far-plug-wide" src/editorsearch/far2l/LinquoWide.map
check "installed: the program's modules export their entry points only" \
  tests/check_exports.sh "$root/usr/lib/quarix/Trawlix.so" "$root/usr/lib/quarix/Linquo.so"
check "installed: far2l's help files are UTF-8 and titled with $version" \
  bash -c 'for f in "$0"/*.hlf; do iconv -f UTF-8 -t UTF-8 "$f" >/dev/null &&
           grep -q "^\\\$ #Quarix $1: " "$f" || exit 1; done' "$plug" "$version"
check "installed: the manual page reads" \
  bash -c 'man -l "$0" 2>/dev/null | grep -q "quarix --version"' "$root/usr/share/man/man1/quarix.1.gz"

echo "package: $passed passed, $failed failed ($((SECONDS - start)) s)"
[ "$failed" -eq 0 ]
