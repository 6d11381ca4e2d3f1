#!/usr/bin/env bash
# Times quarix's search of large UTF-16LE files with a byte order mark against ripgrep,
# which decodes UTF-16 by its mark too, side by side: a literal, a caseless literal, a
# pattern, a caseless one and a caseless Cyrillic word, each on one thread and on the
# default threads. Two files of about 100 MB, made once and kept: bench/generate_tree.py's
# text (ASCII), and Russian prose; their only matches are in their last lines. Both tools
# must list each file.
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

# make_utf16 DIR: DIR/text.txt (UTF-8, made by the caller in DIR.part) becomes
# DIR/large.txt in UTF-16LE with its mark.
make_utf16() {
  local dir=$1
  printf 'needle_in_haystack; Zebra crossing; Жук и ЖУК\n' >>"$dir.part/text.txt"
  { printf '\377\376'; iconv -f UTF-8 -t UTF-16LE "$dir.part/text.txt"; } >"$dir.part/large.txt"
  rm "$dir.part/text.txt"
  mv "$dir.part" "$dir"
}
ascii=$bench_dir/utf16le-100mb
if [ ! -d "$ascii" ]; then
  echo "generating $ascii ..." >&2
  mkdir -p "$ascii.part"
  python3 bench/generate_tree.py "$ascii.part/text.txt" --bytes 52428800
  make_utf16 "$ascii"
fi
cyrillic=$bench_dir/utf16le-cyrillic-100mb
if [ ! -d "$cyrillic" ]; then
  echo "generating $cyrillic ..." >&2
  mkdir -p "$cyrillic.part"
  python3 - "$cyrillic.part/text.txt" <<'PROSE'
import sys
lines = ["Съешь же ещё этих мягких французских булок, да выпей чаю.",
         "Широкая электрификация южных губерний даст мощный толчок подъёму сельского хозяйства.",
         "В чащах юга жил бы цитрус? Да, но фальшивый экземпляр!"]
text = "\n".join(lines) + "\n"
with open(sys.argv[1], "w", encoding="utf-8") as f:
    f.write(text * (50 * 1024 * 1024 // len(text)))
PROSE
  make_utf16 "$cyrillic"
fi

names=() qopts=() rcmds=()
add_case() { names+=("$1") qopts+=("$2") rcmds+=("$3"); }
add_case "plain text" "--mode plain --case --text needle_in_haystack" "-F needle_in_haystack"
add_case "plain text, caseless" "--mode plain --no-case --text NEEDLE_IN_haystack" \
  "-i -F NEEDLE_IN_haystack"
add_case "pattern per line" "--mode regex --case --text 'Zebra\\s+cross'" "'Zebra\\s+cross'"
add_case "pattern, caseless" "--mode regex --no-case --text 'zebra\\s+CROSS'" "-i 'zebra\\s+CROSS'"
# Caseless search folds Cyrillic in the UTF-8 model only; the byte model's user types the
# word in the OEM code page (866) and in its case.
if [ "$QUARIX_TEXT" = utf-8 ]; then
  add_case "Cyrillic, caseless" "--mode plain --no-case --text 'жук и жук'" "-i -F 'жук и жук'"
else
  add_case "Cyrillic" "--mode plain --case --text '$(printf 'Жук и ЖУК' | iconv -t CP866)'" \
    "-F 'Жук и ЖУК'"
fi

status=0
for dir in "$ascii" "$cyrillic"; do
  cat "$dir/large.txt" >/dev/null  # a warm cache for every tool
  echo
  echo "file $dir/large.txt, $(du -h "$dir/large.txt" | cut -f1), UTF-16LE with its mark;" \
    "quarix text model $QUARIX_TEXT; median of $runs runs; $(nproc) processors;" \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
  printf '%-22s %17s %17s %9s %17s %17s %9s  %s\n' "question" "quarix -j1 wall/cpu" \
    "rg -j1 wall/cpu" "q/rg -j1" "quarix wall/cpu" "rg wall/cpu" "q/rg" "listed"
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
    missed=""
    for t in "${tools[@]}"; do
      [ "$(cat "$scratch/$t")" = "$dir/large.txt" ] || missed="$missed $t"
    done
    listed="both"
    [ -z "$missed" ] || { listed="MISSED by$missed"; status=1; }
    printf '%-22s %8.3f/%8.3f %8.3f/%8.3f %9.2f %8.3f/%8.3f %8.3f/%8.3f %9.2f  %s\n' "${names[$i]}" \
      "${wall[q1]}" "${cpu[q1]}" "${wall[r1]}" "${cpu[r1]}" "$(ratio "${wall[q1]}" "${wall[r1]}")" \
      "${wall[qn]}" "${cpu[qn]}" "${wall[rn]}" "${cpu[rn]}" "$(ratio "${wall[qn]}" "${wall[rn]}")" \
      "$listed"
  done
done
exit $status
