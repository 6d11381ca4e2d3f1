#!/usr/bin/env bash
# Runs one Windows program under Wine with a bounded wait, so that a Wine that hangs can
# never hang the caller: after QUARIX_WINE_TIMEOUT seconds (default 300) the Wine
# processes of this prefix (and only those, found by process id) are ended and the program
# is started once more; a second hang fails with status 124 and says so.
# The program's output (standard output and error together) goes through a file and is
# shown when it ends: Wine's own processes that it starts (the server, services) outlive it
# and would otherwise keep the caller's output pipe open, so that a test runner reading it
# waits for them as for a hang.
#   wine-run.sh LOADER PROGRAM [ARGUMENT...]      (WINEPREFIX must be set)
set -u
limit=${QUARIX_WINE_TIMEOUT:-300}
if [ -z "${WINEPREFIX:-}" ] || [ $# -lt 2 ]; then
  echo "usage: WINEPREFIX=... $0 LOADER PROGRAM [ARGUMENT...]" >&2
  exit 2
fi
program=$(basename "$2")
output=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 2
trap 'rm -f "$output"' EXIT

# A process belongs to this prefix when its environment names the prefix and it runs Wine
# (the loader, the preloader, the server) or the emulator that runs a 32-bit Wine.
end_prefix_processes() {
  local dir pid exe
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    [ "$pid" = "$$" ] && continue
    exe=$(readlink "$dir/exe" 2>/dev/null) || continue
    case "$exe" in
      */wine/*|*/wine|*/wine64|*/wineserver*|*wine*-preloader|*/qemu-*) ;;
      *) continue ;;
    esac
    tr '\0' '\n' < "$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      kill -KILL "$pid" 2>/dev/null
  done
}

for try in 1 2; do
  "$@" >"$output" 2>&1 </dev/null &
  pid=$!
  deadline=$((SECONDS + limit))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    sleep 0.2
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    cat "$output"
    exit $status
  fi
  cat "$output"
  echo "wine-run: $program hung: still running after ${limit}s (try $try of 2);" \
       "ending the Wine processes of $WINEPREFIX" >&2
  kill -KILL "$pid" 2>/dev/null
  end_prefix_processes
  wait "$pid" 2>/dev/null
done
echo "wine-run: $program hung twice: counted as a failure" >&2
exit 124
