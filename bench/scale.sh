#!/usr/bin/env bash
# How a search grows with the tree: time and peak memory of quarix's search over trees of
# many small files with sparse matches (bench/generate_tree.py), at each size given. The
# time per file should stay level and the memory flat: nothing is kept per file but the
# files listed. Each search must open its results panel (quarix's exit status 0). Every
# search runs on one thread (-j 1) and on one per processor (-j 0): the memory of the two
# should differ only by the workers' fixed queue.
#
# usage: bench/scale.sh [FILES]...   (default: 20000 200000; 1000000 makes about 4 GB of
#                                     small files and takes minutes to generate)
# Environment: BENCH_DIR (trees are made once and kept; default ${TMPDIR:-/tmp}/quarix-bench),
# QUARIX (default build/release/bin/quarix).
set -euo pipefail
cd "$(dirname "$0")/.."
bench_dir=${BENCH_DIR:-${TMPDIR:-/tmp}/quarix-bench}
quarix=$(realpath "${QUARIX:-build/release/bin/quarix}")
export LC_ALL=C
[ -x "$quarix" ] || { echo "build the release first (scripts/run.sh): $quarix" >&2; exit 2; }
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d)
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT

sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(20000 200000)
echo "load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-10s %-28s %4s %9s %9s %10s %10s %8s  %s\n' "files" "search" "-j" "wall s" "cpu s" \
  "us/file" "peak MiB" "listed" "panel"
status=0
for files in "${sizes[@]}"; do
  tree=$bench_dir/tree-$files
  if [ ! -d "$tree" ]; then
    echo "generating $files files in $tree ..." >&2
    python3 bench/generate_tree.py "$tree.part" --files "$files" && mv "$tree.part" "$tree"
  fi
  find "$tree" -type f -exec cat {} + >/dev/null  # a warm cache, as in bench/search.sh
  for question in "plain needle_in_haystack" "regex Zebra\\s+cross" "plain (every file)"; do
    mode=${question%% *} text=${question#* }
    [ "$text" = "(every file)" ] && text=
    for threads in 1 0; do
      rc=0
      /usr/bin/time -f '%e %U %S %M' -o "$scratch/time" "$quarix" search "$tree" --mask '*' \
        --scope tree --no-inverse --mode "$mode" --case --text "$text" -j "$threads" \
        >"$scratch/out" || rc=$?
      read -r wall user sys kib <"$scratch/time"
      panel=opened
      [ "$rc" = 0 ] || { panel="NOT OPENED (exit $rc)"; status=1; }
      [ "$threads" = 1 ] && cp "$scratch/out" "$scratch/one"
      if [ "$threads" = 0 ] && ! cmp -s "$scratch/out" "$scratch/one"; then
        panel="$panel; LIST DIFFERS from -j 1"
        status=1
      fi
      printf '%-10s %-28s %4s %9.2f %9.2f %10.2f %10.1f %8d  %s\n' "$files" "$question" \
        "$threads" "$wall" "$(echo "$user + $sys" | bc)" \
        "$(echo "($user + $sys) * 1000000 / $files" | bc -l)" "$(echo "$kib / 1024" | bc -l)" \
        "$(wc -l <"$scratch/out")" "$panel"
    done
  done
done
exit $status
