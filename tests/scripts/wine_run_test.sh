#!/usr/bin/env bash
# scripts/wine-run.sh with stand-in loaders: a program that ends passes its status through,
# one that hangs once is started again, one that always hangs fails with 124 and says so.
set -u
wrapper=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export WINEPREFIX=$scratch/prefix QUARIX_WINE_TIMEOUT=2
failures=0
# The stand-ins sleep for a span of this run's own, so that looking for them afterwards
# finds no other program's sleep.
span=$((600000 + $$))
expect() {  # NAME WANTED-STATUS WANTED-TEXT-IN-STDERR LOADER...
  local name=$1 wanted=$2 text=$3; shift 3
  local status=0
  "$wrapper" "$@" 2>"$scratch/err" || status=$?
  if [ "$status" -ne "$wanted" ] || { [ -n "$text" ] && ! grep -qF -- "$text" "$scratch/err"; }; then
    echo "FAIL $name: status $status (wanted $wanted), stderr:"; cat "$scratch/err"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
  [ "$status" -eq "$wanted" ]
}

# A loader that runs the program at once: its status comes back unchanged.
printf '#!/bin/sh\nshift 0\nexit "$2"\n' > "$scratch/ends"
# A loader that hangs on its first start only.
printf '#!/bin/sh\nif [ ! -e "%s/started" ]; then touch "%s/started"; exec sleep %s; fi\nexit 0\n' \
  "$scratch" "$scratch" "$span" > "$scratch/hangs-once"
# A loader that always hangs.
printf '#!/bin/sh\nexec sleep %s\n' "$span" > "$scratch/hangs"
chmod +x "$scratch"/ends "$scratch"/hangs-once "$scratch"/hangs

expect "status passes through" 3 "" "$scratch/ends" prog.exe 3
expect "a hang is retried once" 0 "prog.exe hung: still running after 2s (try 1 of 2)" \
  "$scratch/hangs-once" prog.exe
expect "two hangs fail" 124 "prog.exe hung twice" "$scratch/hangs" prog.exe
(unset WINEPREFIX; expect "no prefix, no start" 2 "usage" "$scratch/ends" prog.exe 0) ||
  failures=$((failures + 1))
# A program whose children outlive it (as Wine's server and services do) must not leave
# them holding the caller's output, or a test runner reading it waits for them.
printf '#!/bin/sh\nsleep %s &\necho "from the program"\n' "$((span + 1))" > "$scratch/leaves-child"
chmod +x "$scratch/leaves-child"
"$wrapper" "$scratch/leaves-child" prog.exe > "$scratch/out" 2>&1
child=$(pgrep -xf "sleep $((span + 1))" | head -n 1)
if ! grep -q "from the program" "$scratch/out" || [ -z "$child" ] ||
   [ "$(readlink "/proc/$child/fd/1")" = "$scratch/out" ]; then
  echo "FAIL the program's output reaches the caller only through the wrapper"
  failures=$((failures + 1))
else
  echo "ok   children do not hold the caller's output"
fi
[ -n "$child" ] && kill "$child"

pgrep -xf "sleep $span" -a | grep -q . && { echo "FAIL a hung stand-in is still running"; failures=$((failures + 1)); }
echo "$((5 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
