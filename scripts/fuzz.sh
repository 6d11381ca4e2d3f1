#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (20 by default) on a scratch copy
# of its seed corpus, with its dictionary; the repository is never written. Prints one
# line per target (executions, coverage, corpus size) and fails when any target crashes,
# leaks, trips a sanitizer or finds a mismatch with its reference, printing the
# reproducer's path and bytes. The reproducers are kept in BUILD/failures/TARGET/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# QUARIX_FUZZ_BUILD_DIR (build/fuzz) names the build folder, QUARIX_FUZZ_JOBS (the
# number of processors) how many targets run at once.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
all=()
for source in tests/fuzz/*_fuzz.cpp; do
  name=${source##*/}
  all+=("${name%_fuzz.cpp}")
done
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
for target in "${targets[@]}"; do
  target=${target#fuzz_}
  if [ ! -f "tests/fuzz/${target}_fuzz.cpp" ]; then
    echo "fuzz: no target '$target' (targets: ${all[*]})" >&2
    exit 2
  fi
done

# clang and its runtime, which holds libFuzzer.
scripts/setup.sh clang libclang-rt-dev
build=${QUARIX_FUZZ_BUILD_DIR:-build/fuzz}
jobs=${QUARIX_FUZZ_JOBS:-$(nproc)}
start=$SECONDS
cmake -S . -B "$build" -DQUARIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$build" -j "$(nproc)" --target quarix_fuzz
echo "== fuzz: build took $((SECONDS - start)) s"

work=$(mktemp -d "${TMPDIR:-/tmp}/quarix-fuzz.XXXXXX")
running=()
cleanup() {
  # A run cut short (Ctrl-C, a CI timeout) ends its fuzzers too: each is a child of a
  # run_target shell, through timeout.
  for pid in "${running[@]}"; do
    pkill -TERM -P "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Runs one target in its own folder below $work; its exit status lands in the folder.
run_target() {
  local target=$1 dir=$work/$1
  mkdir -p "$dir/corpus" "$dir/artifacts"
  if [ -d "tests/fuzz/corpus/$target" ]; then
    cp tests/fuzz/corpus/"$target"/* "$dir/corpus/"
  fi
  local options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=30
                 -rss_limit_mb=2048 -artifact_prefix="$dir/artifacts/")
  [ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
  local status=0
  # The bound outlasts the run by far: it only ends a target that hangs outside a unit.
  UBSAN_OPTIONS=print_stacktrace=1 timeout $((seconds + 300)) \
    "$build/fuzz/fuzz_$target" "${options[@]}" "$dir/corpus" >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

# The bytes of a reproducer, in hex and as a C string.
show_bytes() {
  od -An -tx1 -v "$1" | head -n 64
  perl -0777 -ne 'print "\"", join("", map { my $c = ord; $_ eq "\\" || $_ eq "\"" ? "\\$_"
    : ($c >= 32 && $c < 127) ? $_ : sprintf("\\x%02x", $c) } split //), "\"\n"' "$1" |
    cut -c1-4096
}

report() {
  local target=$1 dir=$work/$1
  local status=$(cat "$dir/status")
  local log=$dir/log
  local execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  local last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
  local cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  local ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  local corpus=$(find "$dir/corpus" -type f | wc -l)
  local artifacts=("$dir"/artifacts/*)
  [ -e "${artifacts[0]}" ] || artifacts=()
  if [ "$status" = 0 ] && [ ${#artifacts[@]} -eq 0 ] &&
     ! grep -qE '^(==[0-9]+==ERROR|SUMMARY: |MISMATCH)' "$log"; then
    printf 'fuzz %-14s ok      %10s execs  cov: %-5s ft: %-6s corpus: %s files\n' \
      "$target" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$corpus"
    return 0
  fi
  printf 'fuzz %-14s FAILED  (exit status %s) after %s execs  cov: %s ft: %s\n' \
    "$target" "$status" "${execs:-?}" "${cov:-?}" "${ft:-?}"
  # What went wrong: the mismatch or the sanitizer's report with its stack.
  grep -E -A40 -m1 '^(MISMATCH|==[0-9]+==ERROR|.*runtime error|ERROR: libFuzzer)' "$log" |
    head -n 60 | sed 's/^/  | /'
  local kept=$build/failures/$target
  mkdir -p "$kept"
  for artifact in "${artifacts[@]}"; do
    cp "$artifact" "$kept/"
    echo "  reproducer: $kept/${artifact##*/} ($(stat -c %s "$artifact") bytes);" \
      "rerun with: $build/fuzz/fuzz_$target $kept/${artifact##*/}"
    show_bytes "$artifact" | sed 's/^/    /'
  done
  [ ${#artifacts[@]} -gt 0 ] || tail -n 20 "$log" | sed 's/^/  | /'
  return 1
}

start=$SECONDS
failed=0
queue=("${targets[@]}")
while [ ${#queue[@]} -gt 0 ]; do
  batch=("${queue[@]:0:$jobs}")
  queue=("${queue[@]:$jobs}")
  running=()
  for target in "${batch[@]}"; do
    run_target "${target#fuzz_}" &
    running+=("$!")
  done
  wait "${running[@]}" || true
  running=()
  for target in "${batch[@]}"; do report "${target#fuzz_}" || failed=$((failed + 1)); done
done
echo "== fuzz: ${#targets[@]} targets, $seconds s each, took $((SECONDS - start)) s;" \
  "$failed failed"
[ "$failed" -eq 0 ]
