#!/usr/bin/env bash
# Peak memory of the quarix program on long runs: a search over many folders, and a
# replace-all in the editor over many lines. Neither should grow with the work beyond the
# results and the edited file themselves.
#
# usage: bench/program_memory.sh   (FOLDERS=60600, LINES=400000, QUARIX=build/release/bin/quarix)
set -euo pipefail
cd "$(dirname "$0")/.."
quarix=${QUARIX:-build/release/bin/quarix}
folders=${FOLDERS:-60600}
lines=${LINES:-400000}
export LC_ALL=C

[ -x "$quarix" ] || { echo "build the release first (scripts/run.sh): $quarix" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing" >&2; exit 2; }
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quarix-memory-bench.XXXXXX")
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT

# Seconds and peak resident memory (MiB) of a command; its output is thrown away.
measure() {
  /usr/bin/time -f '%e %M' -o "$scratch/time" "$@" >/dev/null 2>"$scratch/err" <"$scratch/answers" || true
  local seconds kib
  read -r seconds kib < <(tail -n 1 "$scratch/time")
  echo "$seconds $((kib / 1024))"
}

echo "making $folders folders ..." >&2
mkdir -p "$scratch/tree"
(cd "$scratch/tree" && seq -f 'd%g' 1 "$folders" | xargs mkdir)
echo >"$scratch/answers"

echo "making a file of $lines lines ..." >&2
yes 'one a two' | head -n "$lines" >"$scratch/file.txt"
echo 2 >"$scratch/answers.all"

printf '%-40s %10s %10s\n' "run" "seconds" "peak MiB"
read -r s m < <(measure "$quarix" search "$scratch/tree" --scope tree --mask '*.*' --mode plain \
  --no-inverse --text needle)
printf '%-40s %10s %10s\n' "search over $folders folders" "$s" "$m"
cp "$scratch/answers.all" "$scratch/answers"
read -r s m < <(measure "$quarix" edit "$scratch/file.txt" replace --text a --with b --no-regex --forward)
printf '%-40s %10s %10s\n' "edit: replace all in $lines lines" "$s" "$m"
[ "$(grep -c 'one b two' "$scratch/file.txt")" -eq "$lines" ] || { echo "the replace went wrong" >&2; exit 1; }
