#!/usr/bin/env bash
# Times quarix's replace across files against perl -pi and sed -i on copies of the same
# corpus, side by side, and checks that all leave the same tree.
#
# usage: bench/replace.sh [CORPUS_DIR]
#   RUNS=3 (the median is shown), QUARIX=build/release/bin/quarix (a Release build)
# Each run works on fresh copies of the corpus; the copying is not timed. quarix makes
# every new version durable before it takes the file's name; perl and sed flush nothing.
# "x perl" is quarix's wall time over perl's: at or below 1.00, quarix is no slower.
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=$(realpath -m "${1:-${TMPDIR:-/tmp}/quarix-corpus}")
quarix=$(realpath -m "${QUARIX:-build/release/bin/quarix}")
runs=${RUNS:-3}
export LC_ALL=C

[ -x "$quarix" ] || { echo "build the release first: $quarix" >&2; exit 2; }
command -v perl >/dev/null || { echo "perl is missing" >&2; exit 2; }
command -v sed >/dev/null || { echo "sed is missing" >&2; exit 2; }
if [ ! -d "$corpus" ]; then
  echo "generating the corpus in $corpus ..." >&2
  python3 bench/generate_corpus.py "$corpus"
fi
echo "corpus: $corpus, $(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)"
echo "file system: $(df -T "$(dirname "$corpus")" | awk 'NR == 2 {print $2}'); runs: $runs (medians)"
echo "load before: $(uptime)"
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quarix-replace-bench.XXXXXX")
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT

# Seconds of wall time that a command takes.
timed() {
  local start end
  start=$(date +%s.%N)
  bash -c "$1" >/dev/null 2>"$scratch/err" || { cat "$scratch/err" >&2; return 1; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One case: its name, the pattern and our template, perl's replacement, and the same for
# sed -E (POSIX classes, \N for groups).
names=() patterns=() templates=() perls=() sed_patterns=() seds=()
add_case() {
  names+=("$1") patterns+=("$2") templates+=("$3") perls+=("$4") sed_patterns+=("$5") seds+=("$6")
}
add_case "rare match, few files" 'needle_in_haystack = QuarixRareToken\((\d+)\)' \
  'needle = Token($1)' 'needle = Token(${1})' \
  'needle_in_haystack = QuarixRareToken\(([0-9]+)\)' 'needle = Token(\1)'
add_case "common, case template" '(get|set)([A-Z][a-z]+)' '\U$1\E_$2' '\U${1}\E_${2}' \
  '(get|set)([A-Z][a-z]+)' '\U\1\E_\2'
add_case "very common, groups" '([a-z]+)([0-9]+)' '$2$1' '${2}${1}' \
  '([a-z]+)([0-9]+)' '\2\1'

# Files whose bytes differ between two trees (a file in one tree only counts too).
differing() { { diff -rq "$1" "$2" || true; } | wc -l; }

printf '%-24s %8s %9s %9s %9s %8s %8s  %s\n' "case" "changed" "quarix s" "perl s" "sed s" \
  "x perl" "x sed" "trees (quarix, sed against perl)"
status=0
for i in "${!names[@]}"; do
  tq=() tp=() ts=()
  for _ in $(seq "$runs"); do
    rm -rf "$scratch/ours" "$scratch/perl" "$scratch/sed"
    cp -a "$corpus" "$scratch/ours"
    cp -a "$corpus" "$scratch/perl"
    cp -a "$corpus" "$scratch/sed"
    sync
    tq+=("$(timed "'$quarix' replace '$scratch/ours' --mode regex --case --scope tree \
      --mask '*.*' --text '${patterns[$i]}' --with '${templates[$i]}' --no-list \
      --no-confirm-file --no-confirm-match --no-backup </dev/null")")
    tp+=("$(timed "find '$scratch/perl' -type f -exec perl -pi -e 's/${patterns[$i]}/${perls[$i]}/g' {} +")")
    ts+=("$(timed "find '$scratch/sed' -type f -exec sed -i -E 's/${sed_patterns[$i]}/${seds[$i]}/g' {} +")")
  done
  changed=$(differing "$corpus" "$scratch/perl")
  dq=$(differing "$scratch/ours" "$scratch/perl")
  ds=$(differing "$scratch/sed" "$scratch/perl")
  trees="quarix $([ "$dq" = 0 ] && echo same || echo "DIFFERS in $dq")"
  trees+=", sed $([ "$ds" = 0 ] && echo same || echo "differs in $ds")"
  [ "$dq" = 0 ] || status=1
  q=$(median "${tq[@]}") p=$(median "${tp[@]}") s=$(median "${ts[@]}")
  printf '%-24s %8d %9.3f %9.3f %9.3f %8.2f %8.2f  %s\n' "${names[$i]}" "$changed" "$q" "$p" \
    "$s" "$(echo "$q / $p" | bc -l)" "$(echo "$q / $s" | bc -l)" "$trees"
done
echo "load after: $(uptime)"
exit $status
