#!/usr/bin/env bash
# Times quarix edit's replace-all over one long line, and shows its peak memory: the line
# is rebuilt once, so the time grows with the line, not with its length times its matches.
#
# usage: bench/editor_replace.sh   (SIZES="100000 400000 1600000" matches, QUARIX=build/release/bin/quarix)
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=${SIZES:-100000 400000 1600000}
. bench/program_env.sh

printf '%-10s %-12s %10s %12s  %s\n' "matches" "case" "seconds" "peak MiB" "result"
status=0
for n in $sizes; do
  # One line of n matches: "a " repeated, two bytes each.
  head -c $((2 * n)) /dev/zero | tr '\0' 'a' | sed 's/aa/a /g' >"$scratch/line.txt"
  printf '\n' >>"$scratch/line.txt"
  for mode in plain regex; do
    cp "$scratch/line.txt" "$scratch/edit.txt"
    flag=--no-regex text=a with=bb
    [ "$mode" = regex ] && flag=--regex text='(?<= )a|^a' with='<$0>'
    # The first question is answered "all" (button 2); then nothing more is asked.
    /usr/bin/time -f '%e %M' -o "$scratch/time" "$quarix" edit "$scratch/edit.txt" --at 1:1 \
      replace --text "$text" --with "$with" --forward --case "$flag" \
      <<<"2" >/dev/null 2>"$scratch/err" || true
    read -r seconds kib < <(tail -n 1 "$scratch/time")
    # Every "a" is a match in both cases: sed does the same replacements for comparison.
    sed "s/a/$([ "$mode" = plain ] && echo bb || echo '<a>')/g" "$scratch/line.txt" >"$scratch/expected"
    if cmp -s "$scratch/edit.txt" "$scratch/expected"; then
      result=ok
    else
      result="WRONG: $(head -c 200 "$scratch/err")"
      status=1
    fi
    printf '%-10s %-12s %10s %12s  %s\n' "$n" "$mode" "$seconds" "$((kib / 1024))" "$result"
  done
done
exit $status
