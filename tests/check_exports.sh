#!/usr/bin/env bash
# Fails when a module exports any symbol besides its entry points.
set -u
status=0
check() {
  local module=$1; shift
  local allowed=" $* "
  local names
  names=$(nm -D --defined-only "$module" | awk '{print $NF}')
  if [ -z "$names" ]; then echo "$module exports nothing"; status=1; return; fi
  for name in $names; do
    case "$allowed" in
      *" $name "*) ;;
      *) echo "$module exports $name, which is not an entry point"; status=1 ;;
    esac
  done
  for name in "$@"; do
    grep -qx "$name" <<<"$names" || { echo "$module lacks the entry point $name"; status=1; }
  done
}
check "$1" SetStartupInfo GetPluginInfo OpenPlugin ExitFAR Configure GetOpenPluginInfo \
  GetFindData SetDirectory ProcessKey ClosePlugin
check "$2" SetStartupInfo GetPluginInfo OpenPlugin ExitFAR ReloadEText
exit $status
