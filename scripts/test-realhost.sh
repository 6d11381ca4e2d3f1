#!/usr/bin/env bash
# Checks Trawlix and Linquo inside the real FAR, through its screens:
#   FAR Manager 1.75 (32-bit, the i686 DLLs; its Wine runs under qemu-i386 where the
#   kernel cannot run 32-bit programs) and Far Manager 3 x64 (the x86_64 DLLs, through
#   its support for 1.x plugins, under 64-bit Wine), and Far 3 x64 with the native modules
#   of its own Unicode API (far3native: the build-far3-x64 DLLs; the same checks, and those
#   only they pass: names, paths and lines in any script), and the 32-bit Far 3 with the
#   native i686 modules (far3native-x86: the build-far3-x86 DLLs, where this machine runs
#   32-bit programs itself; skipped elsewhere).
#   scripts/test-realhost.sh [far175|far3|far3native|far3native-x86|all]...  (default: all)
# With QUARIX_REALHOST_ZIPS set to a folder of release zips (scripts/package.sh), each host
# takes its plugin folder from the zip of its architecture, unpacked, instead of a build.
# Builds the DLLs, builds each host once into a cache keyed by its source archive
# (QUARIX_HOST_CACHE, default ~/.cache/quarix-hosts), runs the checks in a work folder of
# its own (FAR175_WORK / FAR3_WORK, default build-realhost/<host>; never your own Wine
# prefix) and ends with one summary line per host and a total. The hosts' tools come from
# QUARIX_SHARED (default: the folder "shared" beside the clone). Far 3 x64 comes from the
# shared tools' prebuilt archive when it matches the source; the 32-bit Far 3 is built by
# scripts/build-far3-host.sh (about 10-40 min). FAR3_WINE64 and FAR3_WINE32 name the Wine
# loaders of the Far 3 suites (default: Debian's). FAR 1.75 runs beside the Far 3 suites
# unless QUARIX_REALHOST_SERIAL=1.
set -uo pipefail
cd "$(dirname "$0")/.."
CLONE=$PWD
RH_SHARED=${QUARIX_SHARED:-$(dirname "$CLONE")/shared}
CACHE=${QUARIX_HOST_CACHE:-$HOME/.cache/quarix-hosts}
. tests/realhost/check.sh
. tests/realhost/hosts.sh
. tests/realhost/tree.sh
. tests/realhost/screens.sh
. tests/realhost/sessions.sh
for f in tests/realhost/checks_*.sh; do . "$f"; done

HOSTS=()
for host in "${@:-all}"; do
  case $host in
    far175|far3|far3native|far3native-x86) HOSTS+=("$host") ;;
    all) HOSTS+=(far175 far3 far3native far3native-x86) ;;
    *) sed -n '2,20p' "$0"; exit 2 ;;
  esac
done

# host_archive NAME: the host's source archive among the shared tools.
host_archive() {
  case $1 in
    far175) echo "$RH_SHARED/far175/far-1.75.2634-source.tar.xz" ;;
    far3|far3native|far3-x86|far3native-x86) echo "$RH_SHARED/far3/far-3.0.6727-source.tar.xz" ;;
  esac
}

# unpack_prebuilt NAME DIR: unpacks into DIR.partial the host already built from our source
# archive, where the shared tools carry one: its README must name that source archive's
# checksum and the archive's own, which it must have. False otherwise.
unpack_prebuilt() {
  local name=$1 dir=$2 prebuilt readme source want
  [ "$name" = far3 ] || return 1
  prebuilt=$RH_SHARED/far3/prebuilt/far3-x64-bin.tar.xz
  readme=$RH_SHARED/far3/prebuilt/README.md
  [ -f "$prebuilt" ] && [ -f "$readme" ] || return 1
  source=$(sha256sum "$(host_archive "$name")" | cut -d' ' -f1)
  grep -q "$source" "$readme" || return 1
  want=$(grep -o 'sha256 [0-9a-f]\{64\}  far3-x64-bin\.tar\.xz' "$readme" | cut -d' ' -f2)
  [ -n "$want" ] && [ "$(sha256sum "$prebuilt" | cut -d' ' -f1)" = "$want" ] || return 1
  rm -rf "$dir.partial"
  mkdir -p "$dir.partial"
  tar -xJf "$prebuilt" -C "$dir.partial" --strip-components=1 && [ -f "$dir.partial/Far.exe" ]
}

# build_host NAME: print the cached build of the host, unpacking or building it first when
# missing. It goes to a .partial folder that is renamed only when complete.
build_host() {
  local name=${1/far3native/far3} archive sum dir builder start=$SECONDS
  archive=$(host_archive "$name")
  [ -f "$archive" ] || { echo "no source archive $archive" >&2; return 1; }
  sum=$(sha256sum "$archive" | cut -c1-16)
  dir=$CACHE/$name-$sum
  if [ ! -f "$dir/Far.exe" ] && unpack_prebuilt "$name" "$dir"; then
    mv "$dir.partial" "$dir"
    echo "$name unpacked from the prebuilt archive in $((SECONDS - start)) s" >&2
  fi
  if [ ! -f "$dir/Far.exe" ]; then
    case $name in
      far175) builder=("$RH_SHARED/far175/build-far.sh") ;;
      far3) builder=("$RH_SHARED/far3/build-far3.sh") ;;
      far3-x86) builder=(scripts/build-far3-host.sh -a i686) ;;
    esac
    echo "building $name into $dir (far3: about 10-40 min on 2 cores)" >&2
    rm -rf "$dir.partial"
    mkdir -p "$CACHE"
    "${builder[@]}" -j 2 "$dir.partial" >"$CACHE/$name-$sum.log" 2>&1 ||
      { echo "the $name build failed, see $CACHE/$name-$sum.log" >&2; return 1; }
    [ -f "$dir.partial/Far.exe" ] || { echo "the $name build made no Far.exe" >&2; return 1; }
    mv "$dir.partial" "$dir"
    echo "$name built in $((SECONDS - start)) s" >&2
  fi
  echo "$dir"
}

# stage_plugins NAME DEST: the plugin folder for the host (its DLLs, the language files
# and, when present, the help files).
stage_plugins() {
  local build=build-win32 arch=i686 api=far1x zip
  [ "$1" = far3 ] && build="build-win64" && arch=x86_64
  [ "$1" = far3native ] && build="build-far3-x64" && arch=x86_64 api=far3
  [ "$1" = far3native-x86 ] && build="build-far3-x86" && api=far3
  rm -rf "$2"; mkdir -p "$2"
  if [ -n "${QUARIX_REALHOST_ZIPS:-}" ]; then
    zip=$(ls "$QUARIX_REALHOST_ZIPS"/quarix-*-$api-$arch.zip 2>/dev/null | head -1)
    [ -n "$zip" ] || { echo "no $arch zip in $QUARIX_REALHOST_ZIPS" >&2; return 1; }
    rm -rf "$2.zip"; mkdir -p "$2.zip"
    unzip -q "$zip" -d "$2.zip" && cp "$2.zip/Quarix"/* "$2/"
    return
  fi
  cp "$build/Quarix"/* "$2/"
  cp lng/*.hlf "$2/" 2>/dev/null || true
}

# run_host NAME: all checks in one host; prints the host's summary line.
run_host() {
  local name=$1 hostdir work start=$SECONDS
  RH_PASSED=0 RH_FAILED=0 RH_HOST=$name
  echo "== $name"
  if [ "$name" = far3native-x86 ] && ! scripts/runs-32bit.sh; then
    echo "realhost $name: skipped, this machine does not run 32-bit programs"
    return
  fi
  if hostdir=$(build_host "$name"); then
    work=$CLONE/build-realhost/$name
    [ $name = far175 ] && work=${FAR175_WORK:-$work}
    [ $name = far3 ] && work=${FAR3_WORK:-$work}
    [ $name = far3native ] && work=${FAR3NATIVE_WORK:-$work}
    [ $name = far3native-x86 ] && work=${FAR3NATIVE_X86_WORK:-$work}
    RH_WORK=$work
    use_host "$name" "$work" "$hostdir"
    run_sessions
  else
    RH_WORK=${TMPDIR:-/tmp}
    fail_check "$name: host build" "no host to run"
  fi
  echo "realhost $name: $RH_PASSED passed, $RH_FAILED failed ($((SECONDS - start)) s)"
  TOTAL_PASSED=$((TOTAL_PASSED + RH_PASSED)) TOTAL_FAILED=$((TOTAL_FAILED + RH_FAILED))
}

# run_sessions: the English session, the registry it leaves, then the Russian session.
run_sessions() {
  local plugins=$RH_WORK/plugins
  rm -rf "$RH_WORK/failed"
  if ! stage_plugins "$RH_HOST" "$plugins"; then fail_check "plugins" "no plugin folder"; return; fi
  if ! host_prefix; then fail_check "Wine prefix" "cannot make the Wine prefix"; return; fi
  host_install "$RH_HOSTDIR" "$plugins" Quarix
  forget_host_settings
  [ "$RH_NATIVE" = 1 ] && plant_old_settings
  make_tree
  if start_host; then
    # The native checks come first: the registry's checks read what the English ones
    # leave last.
    [ "$RH_NATIVE" = 1 ] && run_native_checks
    run_english_checks
    quit_host
    check_registry
    [ "$RH_NATIVE" = 1 ] && check_old_key_kept
    # The 1.x modules' texts are stored while the host is down; it starts and quits the
    # host itself. The native modules take the editor's text in UTF-16: no table to cross.
    [ "$RH_NATIVE" = 1 ] || check_editor_ansi_table
  else
    fail_check "host start" "the host did not start twice in a row"
    return
  fi
  if start_host_in_russian; then
    run_russian_checks
    leave_host
  else
    fail_check "host start (Russian)" "the host did not start"
  fi
}

# Wine and tmux of the suite stay apart from the user's: own prefix, own tmux server.
export TMUX_TMPDIR=$CLONE/build-realhost/tmux
mkdir -p "$TMUX_TMPDIR"
unset TMUX
if [ -z "${FAR175_WINE:-}" ] && [[ " ${HOSTS[*]} " == *" far175 "* ]]; then
  FAR175_WINE=$("$RH_SHARED/far175/setup-wine.sh" "$CLONE/build-realhost/wine-qemu") ||
    { echo "setup-wine.sh failed: no Wine for FAR 1.75" >&2; exit 1; }
  export FAR175_WINE
fi

start=$SECONDS
mkdir -p build-realhost
if [ -z "${QUARIX_REALHOST_ZIPS:-}" ]; then
  scripts/build-windows.sh >build-realhost/dll-build.log 2>&1 ||
    { echo "the DLL build failed, see build-realhost/dll-build.log" >&2; exit 1; }
  echo "DLLs built in $((SECONDS - start)) s"
fi
# Far 3 x64 runs under 64-bit Wine, which its scripts install with the compiler.
if [[ " ${HOSTS[*]} " == *" far3"* ]]; then
  scripts/setup-windows.sh --wine x86_64 build-win64 >>build-realhost/dll-build.log 2>&1 ||
    { echo "64-bit Wine could not be installed, see build-realhost/dll-build.log" >&2; exit 1; }
fi
TOTAL_PASSED=0 TOTAL_FAILED=0
# FAR 1.75 runs beside the Far 3 suites, which share one prefix and so run one after the
# other: it has its own Wine, prefix and tmux session, and every suite spends most of its
# time waiting for the screen. Its lines are shown when it ends.
aside=""
if [[ " ${HOSTS[*]} " == *" far175 "* ]] && [[ " ${HOSTS[*]} " == *" far3"* ]] &&
   [ "${QUARIX_REALHOST_SERIAL:-0}" != 1 ]; then
  aside=$CLONE/build-realhost/far175.out
  # A tmux server of its own: a new session takes the environment of the server's first
  # client, and so would run Wine in the other suite's prefix.
  (export TMUX_TMPDIR=$CLONE/build-realhost/tmux-far175
   mkdir -p "$TMUX_TMPDIR"
   run_host far175) >"$aside" 2>&1 &
  aside_pid=$!
fi
for host in "${HOSTS[@]}"; do
  [ -n "$aside" ] && [ "$host" = far175 ] && continue
  run_host "$host"
done
if [ -n "$aside" ]; then
  wait "$aside_pid"
  cat "$aside"
  summary=$(grep '^realhost far175: ' "$aside" | tail -1)
  if [[ $summary =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    TOTAL_PASSED=$((TOTAL_PASSED + BASH_REMATCH[1])) TOTAL_FAILED=$((TOTAL_FAILED + BASH_REMATCH[2]))
  else
    echo "realhost far175: no summary"; TOTAL_FAILED=$((TOTAL_FAILED + 1))
  fi
fi
echo "realhost: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
[ "$TOTAL_FAILED" -eq 0 ]
