#!/usr/bin/env bash
# Installs what is missing, builds the release and searches the sample tree with it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${QUARIX_BUILD_DIR:-build/release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
# Built without tests, the modules hold no test hook and read no environment variable.
if grep -aq QUARIX_FAIL "$build/bin/Trawlix.so" "$build/bin/Linquo.so"; then
  echo "the modules of $build contain the QUARIX_FAIL test hook" >&2
  exit 1
fi
quarix="$build/bin/quarix"
# The sample run keeps its settings beside the build, away from the user's own.
export QUARIX_REGISTRY="$PWD/$build/sample-registry"

echo "== every file of the sample tree (search, no text, scope: the folder and its subfolders)"
"$quarix" search examples --scope tree --mask '*.*' --mode plain --no-inverse --text ''
echo "== ff:TODO (the stored mode, masks and scope)"
"$quarix" ff:TODO examples
echo "== a pattern, caseless: 'todo|fixme' in *.c and *.cpp files"
"$quarix" search examples --mask '*.c,*.cpp' --mode regex --no-case --text 'todo|fixme'
