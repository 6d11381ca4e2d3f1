#!/usr/bin/env bash
# Installs what the build and the tests need and the machine lacks (Debian packages), and
# the packages named as arguments (what another script needs beyond them).
#   scripts/setup.sh [PACKAGE...]
set -euo pipefail
packages=(cmake g++ make pkg-config libpcre2-dev libgtest-dev googletest binutils ripgrep perl "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${missing[@]}"
fi
