#!/usr/bin/env bash
# Times quarix's file search against grep and ripgrep on the same corpus and patterns,
# side by side, and checks that every tool lists the same files.
#
# usage: bench/search.sh [CORPUS_DIR]   (RUNS=5, QUARIX=build/release/bin/quarix)
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=$(realpath -m "${1:-${TMPDIR:-/tmp}/quarix-corpus}")
quarix=${QUARIX:-build/release/bin/quarix}
runs=${RUNS:-5}
export LC_ALL=C

[ -x "$quarix" ] || { echo "build the release first (scripts/run.sh): $quarix" >&2; exit 2; }
command -v rg >/dev/null || { echo "ripgrep is missing (scripts/setup.sh installs it)" >&2; exit 2; }
if [ ! -d "$corpus" ]; then
  echo "generating the corpus in $corpus ..." >&2
  python3 bench/generate_corpus.py "$corpus"
fi
echo "corpus: $(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)" >&2
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d)
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT
find "$corpus" -type f -exec cat {} + >/dev/null  # every tool starts with a warm cache

# median wall time of a command over $runs runs; its sorted output goes to $2
measure() {
  local cmd=$1 out=$2 times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s.%N)
    bash -c "$cmd" >"$out.raw" 2>/dev/null || true
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc)")
  done
  sort "$out.raw" >"$out"
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

q() { echo "'$quarix' search '$corpus' --mask '*.*' --scope tree --no-inverse $*"; }

# One case: its name, the quarix command, then each peer's name and command. The commands
# hold pipes of their own, so the fields are kept in parallel arrays, not one string.
names=() qcmds=() p1names=() p1cmds=() p2names=() p2cmds=()
add_case() {
  names+=("$1") qcmds+=("$2") p1names+=("$3") p1cmds+=("$4") p2names+=("$5") p2cmds+=("$6")
}
add_case "mode 0, literal, case-sensitive" "$(q --mode plain --case --text needle_in_haystack)" \
  "grep -rlF" "grep -rlF needle_in_haystack '$corpus'" \
  "rg -F" "rg -l -uuu -j1 -F needle_in_haystack '$corpus'"
add_case "mode 0, literal, caseless" "$(q --mode plain --no-case --text NEEDLE_IN_haystack)" \
  "grep -rliF" "grep -rliF NEEDLE_IN_haystack '$corpus'" \
  "rg -iF" "rg -l -uuu -j1 -i -F NEEDLE_IN_haystack '$corpus'"
add_case "mode 1, pattern per line" "$(q --mode regex --case --text "'Quarix[A-Z][a-z]+Token\\(\\d+\\)'")" \
  "grep -rlP" "grep -rlP 'Quarix[A-Z][a-z]+Token\\(\\d+\\)' '$corpus'" \
  "rg" "rg -l -uuu -j1 'Quarix[A-Z][a-z]+Token\\(\\d+\\)' '$corpus'"
add_case "mode 1, rare phrase" "$(q --mode regex --case --text "'Zebra\\s+cross'")" \
  "grep -rlP" "grep -rlP 'Zebra\\s+cross' '$corpus'" \
  "rg" "rg -l -uuu -j1 'Zebra\\s+cross' '$corpus'"
add_case "mode 2, whole file" "$(q --mode regex-file --case --text "'line end\$'")" \
  "grep -rlzP" "grep -rlzP '(?m)line end\$' '$corpus'" \
  "rg --multiline" "rg -l -uuu -j1 --multiline '(?m)line end\$' '$corpus'"
add_case "mode 4, word list" "$(q --mode words --case --text "'+needle_in_haystack +Zebra'")" \
  "grep -lF pair" "grep -rlF needle_in_haystack '$corpus' | xargs -r -d '\\n' grep -lF Zebra" \
  "rg -F pair" "rg -l -uuu -j1 -F needle_in_haystack '$corpus' | xargs -r -d '\\n' rg -l -uuu -j1 -F Zebra"

# The ratios are peer time / quarix time: above 1, quarix is faster.
printf '%-34s %10s %22s %22s  %s\n' "case" "quarix s" "peer 1 s (ratio)" "peer 2 s (ratio)" "lists"
status=0
for i in "${!names[@]}"; do
  tq=$(measure "${qcmds[$i]}" "$scratch/q")
  t1=$(measure "${p1cmds[$i]}" "$scratch/p1")
  t2=$(measure "${p2cmds[$i]}" "$scratch/p2")
  agree="agree ($(wc -l <"$scratch/q") files)"
  if ! cmp -s "$scratch/q" "$scratch/p1" || ! cmp -s "$scratch/q" "$scratch/p2"; then
    agree="DIFFER (quarix $(wc -l <"$scratch/q"), ${p1names[$i]} $(wc -l <"$scratch/p1"), ${p2names[$i]} $(wc -l <"$scratch/p2"))"
    status=1
  fi
  printf '%-34s %10.3f %12.3f (%5.2fx) %12.3f (%5.2fx)  %s\n' "${names[$i]}" "$tq" \
    "$t1" "$(echo "$t1 / $tq" | bc -l)" "$t2" "$(echo "$t2 / $tq" | bc -l)" "$agree"
  printf '%-34s %10s %22s %22s\n' "" "" "${p1names[$i]}" "${p2names[$i]}"
done
exit $status
