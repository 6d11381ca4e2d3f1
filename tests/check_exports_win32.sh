#!/usr/bin/env bash
# Fails when a DLL exports anything besides its entry points, exports a decorated name
# (_Name@4 and the like), lacks an entry point, or needs a DLL that Windows lacks.
#   check_exports_win32.sh [--api far1x|far3] Trawlix.dll Linquo.dll
# far1x (the default): the 1.x API's entry points; far3: Far 3's own (a module exporting
# any 1.x name would be loaded by Far 3 as an old plugin).
set -u
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
status=0
check() {
  local module=$1; shift
  local allowed=" $* "
  local dump names imports
  if ! dump=$("$objdump" -p "$module"); then echo "$module: cannot be read"; status=1; return; fi
  # The export table's name list: "[   n] Name" lines after its heading.
  names=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
               on && /^[[:space:]]*$/ {on = 0}
               on {sub(/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]*/, ""); print}' <<<"$dump")
  if [ -z "$names" ]; then echo "$module exports nothing"; status=1; return; fi
  while IFS= read -r name; do
    case "$name" in
      *@*|_*|*' '*) echo "$module exports the decorated name '$name'"; status=1; continue ;;
    esac
    case "$allowed" in
      *" $name "*) ;;
      *) echo "$module exports $name, which is not an entry point"; status=1 ;;
    esac
  done <<<"$names"
  for name in "$@"; do
    grep -qx "$name" <<<"$names" || { echo "$module lacks the entry point $name"; status=1; }
  done
  imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump")
  while IFS= read -r dll; do
    [ -n "$dll" ] || continue
    case "${dll,,}" in
      kernel32.dll|user32.dll|advapi32.dll|msvcrt.dll) ;;
      *) echo "$module needs $dll, which is not part of Windows"; status=1 ;;
    esac
  done <<<"$imports"
}
api=far1x
if [ "${1:-}" = --api ]; then api=${2:-}; shift 2; fi
[ $# -eq 2 ] || { echo "usage: $0 [--api far1x|far3] Trawlix.dll Linquo.dll"; exit 2; }
case $api in
  far1x)
    check "$1" SetStartupInfo GetPluginInfo OpenPlugin ExitFAR Configure GetOpenPluginInfo \
      GetFindData SetDirectory ProcessKey ClosePlugin
    check "$2" SetStartupInfo GetPluginInfo OpenPlugin ExitFAR ReloadEText ;;
  far3)
    check "$1" GetGlobalInfoW SetStartupInfoW GetPluginInfoW OpenW ExitFARW ConfigureW \
      GetOpenPanelInfoW GetFindDataW FreeFindDataW SetDirectoryW ProcessPanelInputW ClosePanelW
    check "$2" GetGlobalInfoW SetStartupInfoW GetPluginInfoW OpenW ExitFARW ReloadEText ;;
  *) echo "usage: $0 [--api far1x|far3] Trawlix.dll Linquo.dll"; exit 2 ;;
esac
[ $status -eq 0 ] && echo "exports and imports of $1 and $2: entry points only, Windows DLLs only"
exit $status
