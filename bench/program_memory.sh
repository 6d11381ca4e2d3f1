#!/usr/bin/env bash
# Peak memory of the quarix program on long runs: a search over many folders, and a
# replace-all in the editor over many lines. Neither should grow with the work beyond the
# results and the edited file themselves.
#
# usage: bench/program_memory.sh   (FOLDERS=60600, LINES=400000, QUARIX=build/release/bin/quarix)
set -euo pipefail
cd "$(dirname "$0")/.."
folders=${FOLDERS:-60600}
lines=${LINES:-400000}
. bench/program_env.sh

# Seconds and peak resident memory (MiB) of a command; its output is thrown away.
measure() {
  /usr/bin/time -f '%e %M' -o "$scratch/time" "$@" >/dev/null 2>"$scratch/err" <"$scratch/answers" || true
  local seconds kib
  read -r seconds kib < <(tail -n 1 "$scratch/time")
  echo "$seconds $((kib / 1024))"
}

# A hundred folders with their subfolders: the panel shows a hundred entries, the walk
# enters every folder.
echo "making $folders folders ..." >&2
mkdir -p "$scratch/tree"
(cd "$scratch/tree" &&
  awk -v n="$folders" 'BEGIN { for (i = 0; i < n; i++) printf "d%d/s%d\n", i % 100, i }' |
  xargs mkdir -p)
echo >"$scratch/answers"

echo "making a file of $lines lines ..." >&2
awk -v n="$lines" 'BEGIN { for (i = 0; i < n; i++) print "one a two" }' >"$scratch/file.txt"
echo 2 >"$scratch/answers.all"

printf '%-40s %10s %10s\n' "run" "seconds" "peak MiB"
read -r s m < <(measure "$quarix" search "$scratch/tree" --scope tree --mask '*.*' --mode plain \
  --no-inverse --text needle)
printf '%-40s %10s %10s\n' "search over $folders folders" "$s" "$m"
cp "$scratch/answers.all" "$scratch/answers"
read -r s m < <(measure "$quarix" edit "$scratch/file.txt" replace --text a --with b --no-regex --forward)
printf '%-40s %10s %10s\n' "edit: replace all in $lines lines" "$s" "$m"
[ "$(grep -c 'one b two' "$scratch/file.txt")" -eq "$lines" ] || { echo "the replace went wrong" >&2; exit 1; }
