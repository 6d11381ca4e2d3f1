# What the benchmarks of the quarix program share; sourced after "cd" to the top folder.
# Sets quarix (the release program, or $QUARIX) and scratch (a folder of its own, removed
# at the end, as is the registry the runs write).
quarix=${QUARIX:-build/release/bin/quarix}
export LC_ALL=C
[ -x "$quarix" ] || { echo "build the release first (scripts/run.sh): $quarix" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing" >&2; exit 2; }
QUARIX_REGISTRY=$(mktemp -d)
export QUARIX_REGISTRY
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quarix-bench.XXXXXX")
trap 'rm -rf "$QUARIX_REGISTRY" "$scratch"' EXIT
