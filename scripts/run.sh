#!/usr/bin/env bash
# Installs what is missing, builds the release and searches the sample tree with it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${QUARIX_BUILD_DIR:-build/release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
echo "Every file of the sample tree (ff: with no text):"
"$build/bin/quarix" --dir examples ff:
