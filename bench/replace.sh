#!/usr/bin/env bash
# Times quarix's replace across files against perl -pi on copies of the same corpus, side
# by side, and checks that both leave the same tree.
#
# usage: bench/replace.sh [CORPUS_DIR]
#   RUNS=3 (the median is shown), QUARIX=build-qreplace-release/bin/quarix (a Release build)
# Each run works on fresh copies of the corpus; the copying is not timed.
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=$(realpath -m "${1:-${TMPDIR:-/tmp}/quarix-corpus}")
quarix=$(realpath -m "${QUARIX:-build-qreplace-release/bin/quarix}")
runs=${RUNS:-3}
export LC_ALL=C

[ -x "$quarix" ] || { echo "build the release first: $quarix" >&2; exit 2; }
command -v perl >/dev/null || { echo "perl is missing" >&2; exit 2; }
if [ ! -d "$corpus" ]; then
  echo "generating the corpus in $corpus ..." >&2
  python3 bench/generate_corpus.py "$corpus"
fi
echo "corpus: $(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)" >&2
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

# One case: its name, the pattern, our template and perl's replacement for it.
names=() patterns=() templates=() perls=()
add_case() { names+=("$1") patterns+=("$2") templates+=("$3") perls+=("$4"); }
add_case "rare match, few files" 'needle_in_haystack = QuarixRareToken\((\d+)\)' \
  'needle = Token($1)' 'needle = Token(${1})'
add_case "common, case template" '(get|set)([A-Z][a-z]+)' '\U$1\E_$2' '\U${1}\E_${2}'
add_case "very common, groups" '([a-z]+)([0-9]+)' '$2$1' '${2}${1}'

printf '%-28s %10s %10s %8s  %s\n' "case" "quarix s" "perl s" "ratio" "trees"
status=0
for i in "${!names[@]}"; do
  tq=() tp=()
  for _ in $(seq "$runs"); do
    rm -rf "$scratch/ours" "$scratch/perl"
    cp -a "$corpus" "$scratch/ours"
    cp -a "$corpus" "$scratch/perl"
    sync
    tq+=("$(timed "'$quarix' replace '$scratch/ours' --mode regex --case --scope tree \
      --mask '*.*' --text '${patterns[$i]}' --with '${templates[$i]}' --no-list \
      --no-confirm-file --no-confirm-match --no-backup </dev/null")")
    tp+=("$(timed "find '$scratch/perl' -type f -exec perl -pi -e 's/${patterns[$i]}/${perls[$i]}/g' {} +")")
  done
  if diff -r "$scratch/ours" "$scratch/perl" >/dev/null; then
    trees="same"
  else
    trees="DIFFER ($(diff -rq "$scratch/ours" "$scratch/perl" | wc -l) files)"
    status=1
  fi
  q=$(median "${tq[@]}") p=$(median "${tp[@]}")
  # The ratio is perl's time / quarix's time: above 1, quarix is faster.
  printf '%-28s %10.3f %10.3f %7.2fx  %s\n' "${names[$i]}" "$q" "$p" "$(echo "$p / $q" | bc -l)" \
    "$trees"
done
exit $status
