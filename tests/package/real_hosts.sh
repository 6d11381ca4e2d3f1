#!/usr/bin/env bash
# The release files in the real hosts: makes them (scripts/package.sh), installs the Debian
# package with dpkg into a fresh root and runs the far2l suite on the plugin folder it
# installed, then runs the real FAR suites (FAR 1.75, Far 3 with the 1.x modules and with
# the native ones) on the plugin folders of the unpacked zips. Ends with each suite's
# summary; fails when one fails.
#   tests/package/real_hosts.sh [far175|far3|far3native|all]     (the FAR hosts; default all)
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$PWD/build-package/real-hosts
rm -rf "$work"
mkdir -p "$work"
scripts/package.sh --out "$work/dist" >"$work/package.log" 2>&1 ||
  { tail -20 "$work/package.log"; echo "scripts/package.sh failed (log in $work/package.log)"; exit 1; }
deb=$(ls "$work"/dist/*.deb | head -1)
root=$work/root
mkdir -p "$root"
# dpkg installs into the fresh root as it would into the system, its database included.
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; echo "dpkg could not install $deb"; exit 1; }
status=0
QUARIX_FAR2L_PLUGINS=$root/usr/lib/far2l/Plugins/quarix/plug tests/far2l/run.sh || status=1
QUARIX_REALHOST_ZIPS=$work/dist scripts/test-realhost.sh "${1:-all}" || status=1
exit $status
