#!/usr/bin/env bash
# Fails when modules built without tests (as scripts/run.sh and scripts/build-windows.sh
# build them) contain the test-only QUARIX_FAIL hook.
#   check_no_fault_hook.sh SOURCE-DIR RELEASE-BUILD-DIR C++-COMPILER HOOKED-MODULE...
# The hooked modules, of the test build, must contain the name: that shows the search
# would find it.
set -euo pipefail
source=$1 build=$2 compiler=$3
shift 3
for module in "$@"; do
  if ! grep -aq QUARIX_FAIL "$module"; then
    echo "$module: the test build lacks QUARIX_FAIL, so its absence proves nothing"
    exit 1
  fi
done
# A build of its own, kept between runs so that only changed sources are compiled again.
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$build" -j 2 --target Trawlix Linquo >/dev/null
status=0
for module in "$build"/bin/Trawlix.so "$build"/bin/Linquo.so; do
  if grep -aq QUARIX_FAIL "$module"; then
    echo "$module: a module built without tests contains the QUARIX_FAIL hook"
    status=1
  fi
done
exit $status
