#!/usr/bin/env bash
# Times quarix's search of one large UTF-16LE file with a byte order mark against ripgrep,
# which decodes UTF-16 by its mark too, side by side: a literal, a caseless literal, a
# pattern and a caseless Cyrillic word, each on one thread and on the default threads.
# The file (about 100 MB: bench/generate_tree.py's text, its only matches in the last
# lines, with a Cyrillic line added there) is made once and kept. Both tools must list it.
#
# usage: bench/encodings.sh
# Environment: RUNS (median of that many runs; default 5), BENCH_DIR (default
# ${TMPDIR:-/tmp}/quarix-bench), QUARIX (default build/release/bin/quarix), MODEL (the text
# model of quarix: bytes, the default, or utf-8).
set -euo pipefail
cd "$(dirname "$0")/.."
bench_dir=${BENCH_DIR:-${TMPDIR:-/tmp}/quarix-bench}
quarix=$(realpath "${QUARIX:-build/release/bin/quarix}")
runs=${RUNS:-5}
export QUARIX_TEXT=${MODEL:-bytes}
export LC_ALL=C.UTF-8

[ -x "$quarix" ] || { echo "build the release first (scripts/run.sh): $quarix" >&2; exit 2; }
command -v rg >/dev/null || { echo "ripgrep is missing (scripts/setup.sh installs it)" >&2; exit 2; }
command -v iconv >/dev/null || { echo "iconv is missing" >&2; exit 2; }
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d)
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT
. bench/timing.sh

dir=$bench_dir/utf16le-100mb
if [ ! -d "$dir" ]; then
  echo "generating $dir ..." >&2
  mkdir -p "$dir.part"
  python3 bench/generate_tree.py "$dir.part/ascii.txt" --bytes 52428800
  printf 'Жук и ЖУК\n' >>"$dir.part/ascii.txt"
  { printf '\377\376'; iconv -f UTF-8 -t UTF-16LE "$dir.part/ascii.txt"; } >"$dir.part/large.txt"
  rm "$dir.part/ascii.txt"
  mv "$dir.part" "$dir"
fi
cat "$dir/large.txt" >/dev/null  # a warm cache for every tool

names=() qopts=() rcmds=()
add_case() { names+=("$1") qopts+=("$2") rcmds+=("$3"); }
add_case "plain text" "--mode plain --case --text needle_in_haystack" "-F needle_in_haystack"
add_case "plain text, caseless" "--mode plain --no-case --text NEEDLE_IN_haystack" \
  "-i -F NEEDLE_IN_haystack"
add_case "pattern per line" "--mode regex --case --text 'Zebra\\s+cross'" "'Zebra\\s+cross'"
add_case "pattern, caseless" "--mode regex --no-case --text 'zebra\\s+CROSS'" "-i 'zebra\\s+CROSS'"
if [ "$QUARIX_TEXT" = utf-8 ]; then
  add_case "Cyrillic, caseless" "--mode plain --no-case --text 'жук и жук'" "-i -F 'жук и жук'"
fi

echo "file $dir/large.txt, $(du -h "$dir/large.txt" | cut -f1), UTF-16LE with its mark;" \
  "quarix text model $QUARIX_TEXT; median of $runs runs; $(nproc) processors;" \
  "load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-22s %17s %17s %9s %17s %17s %9s  %s\n' "question" "quarix -j1 wall/cpu" \
  "rg -j1 wall/cpu" "q/rg -j1" "quarix wall/cpu" "rg wall/cpu" "q/rg" "listed"
status=0
for i in "${!names[@]}"; do
  q="'$quarix' search '$dir' --mask '*' --scope tree --no-inverse ${qopts[$i]}"
  r="rg -l -uuu ${rcmds[$i]} '$dir'"
  tools=(q1 r1 qn rn)
  for t in "${tools[@]}"; do : >"$scratch/$t.times"; done
  for _ in $(seq "$runs"); do
    time_once "$q -j 1" "$scratch/q1"
    time_once "${r/rg -l/rg -j1 -l}" "$scratch/r1"
    time_once "$q -j 0" "$scratch/qn"
    time_once "$r" "$scratch/rn"
  done
  declare -A wall=() cpu=()
  for t in "${tools[@]}"; do read -r "wall[$t]" "cpu[$t]" < <(report "$scratch/$t"); done
  listed="both"
  for t in "${tools[@]}"; do
    if [ "$(cat "$scratch/$t")" != "$dir/large.txt" ]; then
      listed="MISSED by $t"
      status=1
    fi
  done
  printf '%-22s %8.3f/%8.3f %8.3f/%8.3f %9.2f %8.3f/%8.3f %8.3f/%8.3f %9.2f  %s\n' "${names[$i]}" \
    "${wall[q1]}" "${cpu[q1]}" "${wall[r1]}" "${cpu[r1]}" "$(ratio "${wall[q1]}" "${wall[r1]}")" \
    "${wall[qn]}" "${cpu[qn]}" "${wall[rn]}" "${cpu[rn]}" "$(ratio "${wall[qn]}" "${wall[rn]}")" \
    "$listed"
done
exit $status
