#!/usr/bin/env bash
# Builds the far2l flavour of Trawlix and Linquo (build-far2l, Release) and installs the
# plugin folder Quarix/ (the modules with their language and help files) for far2l.
#
#   scripts/install-far2l.sh                 your personal plugin folder (default
#                                            ${XDG_DATA_HOME:-~/.local/share}/far2l/personal-plugins)
#   scripts/install-far2l.sh --dir DIR       DIR/Quarix, DIR being any personal plugin folder
#   scripts/install-far2l.sh --system [PREFIX]
#                                            far2l's own plugins, PREFIX/lib/far2l/Plugins/Quarix/plug
#                                            (PREFIX: where the far2l on PATH is installed)
#
# A personal plugin folder is one far2l is told about once: Options, "Plugins manager
# settings", "Path for personal plugins". far2l finds new plugins when it starts.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

mode=personal
target=""
case ${1:-} in
  "") ;;
  --dir) [ $# -eq 2 ] || usage; target=$2 ;;
  --system)
    mode=system
    if [ $# -ge 2 ]; then
      prefix=$2
    else
      far2l=$(command -v far2l) || { echo "no far2l on PATH: give its prefix" >&2; exit 1; }
      prefix=$(cd "$(dirname "$(readlink -f "$far2l")")/.." && pwd)
    fi
    [ -x "$prefix/bin/far2l" ] || [ -d "$prefix/lib/far2l" ] ||
      { echo "$prefix holds no far2l (no bin/far2l, no lib/far2l)" >&2; exit 1; }
    # far2l looks for its own plugins below lib/far2l/Plugins, one folder each.
    target=$prefix/lib/far2l/Plugins/Quarix/plug
    ;;
  -h|--help) usage ;;
  *) usage ;;
esac
if [ "$mode" = personal ]; then
  [ -n "$target" ] || target=${XDG_DATA_HOME:-$HOME/.local/share}/far2l/personal-plugins
  target=$target/Quarix
fi

# What the modules' build needs (no test tools), installed when missing.
missing=()
for p in cmake g++ make pkg-config libpcre2-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
cmake -S . -B build-far2l -DQUARIX_HOST=far2l -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-far2l -j "$(nproc)"

built=build-far2l/Quarix
[ -f "$built/Trawlix.far-plug-mb" ] || { echo "the build made no $built/Trawlix.far-plug-mb" >&2; exit 1; }
mkdir -p "$target"
# Each file goes in under a new name first and then replaces the old one in one step, so a
# far2l that has the old module loaded keeps running on it.
for file in "$built"/*; do
  name=$(basename "$file")
  install -m "$([[ $name == *.far-plug-* ]] && echo 755 || echo 644)" "$file" "$target/.$name.new"
  mv -f "$target/.$name.new" "$target/$name"
done
echo "installed into $target:"
ls -1 "$target" | sed 's/^/  /'
[ -f "$target/Linquo.far-plug-wide" ] ||
  echo "note: no Linquo.far-plug-wide was built: the editor plugin is missing" >&2
if [ "$mode" = personal ]; then
  cat <<EOF
far2l loads it once its personal plugin path is $(dirname "$target"):
  far2l, F9, Options, "Plugins manager settings", "Path for personal plugins"
and a restart of far2l.
EOF
fi
