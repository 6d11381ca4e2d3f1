#!/usr/bin/env bash
# Checks Trawlix and Linquo inside a real far2l, through its screens: builds the far2l
# flavour of the modules (build-far2l, Release), gets far2l built once from its source
# archive (tests/far2l/host.sh, cached outside the clone), starts it in tmux with a private
# profile and the modules in a personal plugin folder, and runs every check of
# tests/far2l/checks_*.sh. Ends with the line "far2l: N passed, M failed (S s)" and fails
# when anything failed, or when far2l cannot be built or run here.
#   tests/far2l/run.sh
# With QUARIX_FAR2L_PLUGINS set to a plugin folder (such as the one the Debian package
# installs, /usr/lib/far2l/Plugins/quarix/plug), that folder is checked instead of a build.
# Scratch files go to build-far2l/suite (failed screens to build-far2l/suite/failed).
set -uo pipefail
cd "$(dirname "$0")/../.."
CLONE=$PWD
SUITE_START=$SECONDS
. tests/far2l/driver.sh
for f in tests/far2l/checks_*.sh; do . "$f"; done

summary() {
  echo "far2l: $F2L_PASSED passed, $F2L_FAILED failed ($((SECONDS - SUITE_START)) s)"
}

# give_up WHY: the suite cannot run here; that is a failure, never a pass.
give_up() {
  echo "far2l: $1" >&2
  F2L_FAILED=$((F2L_FAILED + 1))
  summary
  exit 1
}

scripts/setup.sh >&2 || give_up "the build's packages could not be installed"
missing=()
for tool in tmux python3; do command -v "$tool" >/dev/null || missing+=("$tool"); done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" = 0 ] || give_up "${missing[*]} missing, and only root can install it"
  echo "far2l: installing ${missing[*]}" >&2
  { apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"; } >&2 ||
    give_up "${missing[*]} could not be installed"
fi

mkdir -p build-far2l
plugins=${QUARIX_FAR2L_PLUGINS:-}
if [ -n "$plugins" ]; then
  [ -f "$plugins/Trawlix.far-plug-mb" ] || give_up "no Trawlix.far-plug-mb in $plugins"
  echo "far2l: the modules of $plugins"
else
  log=build-far2l/suite-build.log
  { cmake -S . -B build-far2l -DQUARIX_HOST=far2l -DCMAKE_BUILD_TYPE=Release &&
    cmake --build build-far2l -j 2; } >"$log" 2>&1 ||
    give_up "the far2l flavour did not build, see $log"
  echo "far2l: modules built ($((SECONDS - SUITE_START)) s)"
  plugins=build-far2l/Quarix
fi

hostdir=$(tests/far2l/host.sh) || give_up "far2l could not be built here (see the messages above)"
F2L_BIN=$hostdir/bin/far2l
[ -x "$F2L_BIN" ] || give_up "no far2l executable in $hostdir"

F2L_WORK=$CLONE/build-far2l/suite
rm -rf "$F2L_WORK"
mkdir -p "$F2L_WORK"
F2L_PROFILE=$F2L_WORK/profile
F2L_PLUGINS=$F2L_WORK/plugins
F2L_TREE=$F2L_WORK/tree
mkdir -p "$F2L_PLUGINS" "$F2L_TREE"
# The folder as scripts/install-far2l.sh installs it.
cp -r "$plugins" "$F2L_PLUGINS/Quarix"

# The suite's own tmux server: nothing of the user's sessions is touched.
export TMUX_TMPDIR=$F2L_WORK/tmux
mkdir -p "$TMUX_TMPDIR"
unset TMUX
trap 'f2l_stop >/dev/null 2>&1; tmux kill-server 2>/dev/null' EXIT

f2l_start || give_up "far2l did not start (see $F2L_WORK/far2l-stderr.log)"
for f in tests/far2l/checks_*.sh; do
  name=$(basename "$f" .sh)
  name=${name#checks_}
  echo "== $name"
  tmux has-session -t "$F2L_SESSION" 2>/dev/null || f2l_start ||
    { fail_check "$name: far2l start" "far2l did not start"; continue; }
  f2l_panels
  "run_${name}_checks"
done
f2l_stop
summary
[ "$F2L_FAILED" -eq 0 ]
