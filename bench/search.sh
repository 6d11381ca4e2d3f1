#!/usr/bin/env bash
# Times quarix's file search against ripgrep on the same questions and trees, side by side,
# on one thread (quarix -j 1, rg -j1) and on the default threads of each (one per
# processor), and checks that every tool lists the same files. One table per corpus; the
# ratios are quarix's wall time over rg's (below 1, quarix is faster). With WITH_GREP=1,
# grep -r (one thread) runs too.
#
# usage: bench/search.sh [CORPUS]...
#   CORPUS: include     a copy of /usr/include (links resolved, so that every tool sees
#                       the same files)
#           generated   the 250 MB tree of bench/generate_corpus.py
#           small-files a tree of 200,000 small files (bench/generate_tree.py)
#           large-file  one 2 GB file with its only match near its end
#           or a folder of your own
#   default: include generated small-files large-file
# Environment: RUNS (median of that many runs; default 11, 5 on the two large corpora),
# BENCH_DIR (where the corpora are made once and kept; default ${TMPDIR:-/tmp}/quarix-bench),
# QUARIX (default build/release/bin/quarix), CASES (a pattern the case names must match).
set -euo pipefail
cd "$(dirname "$0")/.."
bench_dir=${BENCH_DIR:-${TMPDIR:-/tmp}/quarix-bench}
quarix=$(realpath "${QUARIX:-build/release/bin/quarix}")
export LC_ALL=C

[ -x "$quarix" ] || { echo "build the release first (scripts/run.sh): $quarix" >&2; exit 2; }
command -v rg >/dev/null || { echo "ripgrep is missing (scripts/setup.sh installs it)" >&2; exit 2; }
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d)
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT

# The folder of a corpus, made when missing.
prepare() {
  local name=$1 dir
  case $name in
    include) dir=$bench_dir/usr-include
      [ -d "$dir" ] || { mkdir -p "$bench_dir" && cp -rL /usr/include "$dir.part" && mv "$dir.part" "$dir"; } ;;
    generated) dir=$bench_dir/corpus-250
      [ -d "$dir" ] || { python3 bench/generate_corpus.py "$dir.part" --megabytes 250 && mv "$dir.part" "$dir"; } ;;
    small-files) dir=$bench_dir/tree-200000
      [ -d "$dir" ] || { python3 bench/generate_tree.py "$dir.part" --files 200000 && mv "$dir.part" "$dir"; } ;;
    large-file) dir=$bench_dir/large
      [ -d "$dir" ] || { python3 bench/generate_tree.py "$dir.part/large.txt" --bytes 2147483648 &&
                         mv "$dir.part" "$dir"; } ;;
    *) dir=$(realpath "$name") ;;
  esac
  echo "$dir"
}

. bench/timing.sh

# The cases: name, quarix's options, grep's command, rg's command. The commands hold pipes
# of their own, so the fields are kept in parallel arrays, not one string.
names=() qopts=() gcmds=() rcmds=()
add_case() { names+=("$1") qopts+=("$2") gcmds+=("$3") rcmds+=("$4"); }
rg="rg -l -uuu"
token='Quarix[A-Z][a-z]+Token\(\d+\)'
add_case "0 plain text, case-sensitive" "--mode plain --case --text needle_in_haystack" \
  "grep -rlF needle_in_haystack @" "$rg -F needle_in_haystack @"
add_case "0 plain text, frequent" "--mode plain --case --text include" \
  "grep -rlF include @" "$rg -F include @"
add_case "0 plain text, caseless" "--mode plain --no-case --text NEEDLE_IN_haystack" \
  "grep -rliF NEEDLE_IN_haystack @" "$rg -i -F NEEDLE_IN_haystack @"
add_case "1 pattern per line" "--mode regex --case --text '$token'" \
  "grep -rlP '$token' @" "$rg '$token' @"
add_case "1 pattern per line, caseless" "--mode regex --no-case --text 'zebra\\s+cross'" \
  "grep -rliP 'zebra\\s+cross' @" "$rg -i 'zebra\\s+cross' @"
add_case "2 pattern over the whole file" "--mode regex-file --case --text 'line end\$'" \
  "grep -rlzP '(?m)line end\$' @" "$rg --multiline '(?m)line end\$' @"
add_case "3 pattern over 5 lines" "--mode regex-lines --case --text '$token'" \
  "grep -rlP '$token' @" "$rg '$token' @"
add_case "4 word list, two required" "--mode words --case --text '+needle_in_haystack +Zebra'" \
  "grep -rlF needle_in_haystack @ | xargs -r -d '\\n' grep -lF Zebra" \
  "$rg -F needle_in_haystack @ | xargs -r -d '\\n' $rg -F Zebra"
add_case "5 word list of patterns" "--mode regex-words --case --text '+needle_\\w+ +Zebra\\s'" \
  "grep -rlP 'needle_\\w+' @ | xargs -r -d '\\n' grep -lP 'Zebra\\s'" \
  "$rg 'needle_\\w+' @ | xargs -r -d '\\n' $rg 'Zebra\\s'"

status=0
corpora=("$@")
[ ${#corpora[@]} -gt 0 ] || corpora=(include generated small-files large-file)
for corpus in "${corpora[@]}"; do
  dir=$(prepare "$corpus")
  [ -d "$dir" ] || { echo "no such corpus: $corpus" >&2; exit 2; }
  case $corpus in small-files|large-file) runs=${RUNS:-5} ;; *) runs=${RUNS:-11} ;; esac
  find "$dir" -type f -exec cat {} + >/dev/null  # every tool starts with a warm cache
  echo
  echo "corpus $corpus: $dir, $(find "$dir" -type f | wc -l) files, $(du -sh "$dir" | cut -f1);" \
    "median of $runs runs; $(nproc) processors; load $(cut -d' ' -f1-3 /proc/loadavg)"
  printf '%-30s %17s %17s %9s %17s %17s %9s' "mode, case" "quarix -j1 wall/cpu" \
    "rg -j1 wall/cpu" "q/rg -j1" "quarix wall/cpu" "rg wall/cpu" "q/rg"
  [ -z "${WITH_GREP:-}" ] || printf ' %17s' "grep wall/cpu"
  printf '  %s\n' "file lists"
  for i in "${!names[@]}"; do
    [[ ${names[$i]} =~ ${CASES:-.} ]] || continue
    # grep -z and rg --multiline hold a whole file in memory: 2 GB each, on a shared machine.
    if [ "$corpus" = large-file ] && [[ ${names[$i]} == 2* ]]; then
      printf '%-30s  (left out: the peers would read the 2 GB file into memory)\n' "${names[$i]}"
      continue
    fi
    q="'$quarix' search '$dir' --mask '*' --scope tree --no-inverse ${qopts[$i]}"
    r="${rcmds[$i]//@/\'$dir\'}"
    # The tools take turns, so that a change in the machine's speed meets them all.
    tools=(q1 r1 qn rn)
    [ -z "${WITH_GREP:-}" ] || tools+=(g)
    for t in "${tools[@]}"; do : >"$scratch/$t.times"; done
    for _ in $(seq "$runs"); do
      time_once "$q -j 1" "$scratch/q1"
      time_once "${r//rg -l -uuu/rg -l -uuu -j1}" "$scratch/r1"
      time_once "$q -j 0" "$scratch/qn"
      time_once "$r" "$scratch/rn"
      [ -z "${WITH_GREP:-}" ] || time_once "${gcmds[$i]//@/\'$dir\'}" "$scratch/g"
    done
    declare -A wall=() cpu=()
    for t in "${tools[@]}"; do read -r "wall[$t]" "cpu[$t]" < <(report "$scratch/$t"); done
    agree="agree ($(wc -l <"$scratch/q1") files)"
    for t in "${tools[@]}"; do
      if ! cmp -s "$scratch/q1" "$scratch/$t"; then
        agree="DIFFER (quarix $(wc -l <"$scratch/q1"), $t $(wc -l <"$scratch/$t"))"
        status=1
      fi
    done
    printf '%-30s %8.3f/%8.3f %8.3f/%8.3f %9.2f %8.3f/%8.3f %8.3f/%8.3f %9.2f' "${names[$i]}" \
      "${wall[q1]}" "${cpu[q1]}" "${wall[r1]}" "${cpu[r1]}" "$(ratio "${wall[q1]}" "${wall[r1]}")" \
      "${wall[qn]}" "${cpu[qn]}" "${wall[rn]}" "${cpu[rn]}" "$(ratio "${wall[qn]}" "${wall[rn]}")"
    [ -z "${WITH_GREP:-}" ] || printf ' %8.3f/%8.3f' "${wall[g]}" "${cpu[g]}"
    printf '  %s\n' "$agree"
  done
done
exit $status
