# One set of host_* functions over the tools of either real host: use_host far175 binds
# them to farlib.sh (FAR 1.75 under Wine, through qemu-i386 where 32-bit programs cannot
# run), use_host far3 to far3lib.sh (Far 3 x64 under 64-bit Wine). The checks only call
# host_*, so each is written once for both hosts.

# use_host NAME WORK HOSTDIR: load the host's tools, work below WORK, Far.exe from HOSTDIR.
# far3native is Far 3 with the native modules: Far 3's tools; far3native-x86 the same with
# the 32-bit Far 3, which the 32-bit Wine loader runs in the same 64-bit prefix.
use_host() {
  local name=$1 work=$2 verb fn
  RH_HOST=$name
  RH_HOSTDIR=$3
  # The native modules of Far 3's own API, of either architecture.
  RH_NATIVE=0
  [[ $name == far3native* ]] && RH_NATIVE=1
  case $name in
    far175)
      export FAR175_WORK=$work
      . "$RH_SHARED/far175/farlib.sh"
      fn=far
      RH_SESSION=$FAR175_SESSION
      RH_DRIVE_D=$FAR175_WORK/drive_d
      RH_REG_ROOT='Software\\Far'
      RH_START_ARGS=()
      RH_WAIT=60 ;;
    far3|far3native|far3native-x86)
      # The suites of Far 3 share one Wine prefix: it takes minutes to make.
      export FAR3_WORK=$work FAR3_CAPTURES=""
      export FAR3_PREFIX=${FAR3_PREFIX:-$(dirname "$work")/far3-prefix}
      export FAR3_WINE=${FAR3_WINE64:-}
      . "$RH_SHARED/far3/far3lib.sh"
      fn=far3
      RH_SESSION=$FAR3_SESSION
      RH_DRIVE_D=$FAR3_WORK/drive_d
      RH_REG_ROOT='Software\\Far Manager'
      # Far 3 drops a list of history matches over a dialog while text is typed into an
      # edit field, hiding the labels below it; the list is turned off.
      RH_START_ARGS=(-set:Dialog.AutoComplete=false)
      RH_WAIT=30 ;;
    *) echo "unknown host '$name' (far175, far3, far3native or far3native-x86)" >&2; return 2 ;;
  esac
  RH_REG_KEY="$RH_REG_ROOT\\\\Plugins\\\\Quarix"
  for verb in prefix install screen keys type wait wait_gone settle menu_items menu_pick \
              alive quit stop reg_section colored_text; do
    eval "host_$verb() { ${fn}_$verb \"\$@\"; }"
  done
  eval "host_launch() { ${fn}_start \"\$@\"; }"
  if [ "$name" = far3native-x86 ]; then
    # The 64-bit loader makes the prefix; the 32-bit one runs the 32-bit Far in it.
    host_launch() {
      local loader=$FAR3_WINE rc
      FAR3_WINE=${FAR3_WINE32:-/usr/lib/wine/wine}
      far3_start "$@"; rc=$?
      FAR3_WINE=$loader
      return $rc
    }
  fi
}

# start_host: start the host on D:\tree; a start that hangs is tried once more.
start_host() {
  local try
  for try in 1 2; do
    host_launch "${RH_START_ARGS[@]}" 'D:\tree' && return 0
    echo "  the host did not start (try $try), see $RH_WORK/wine.log" >&2
    host_stop
  done
  return 1
}

# quit_host: leave the host the normal way (so that it saves its settings and calls the
# plugins' ExitFAR); a host that will not quit is stopped.
quit_host() {
  back_to_panels
  host_quit || { echo "  the host did not quit; stopped" >&2; host_stop; return 1; }
}

# on_panels: the panels show (their frame on the first row, a key bar on the last), in
# either language.
on_panels() {
  local shown; shown=$(host_screen)
  [[ $(head -1 <<<"$shown") == ╔* ]] && [[ $(tail -1 <<<"$shown") == 1* ]]
}

# open_options_menu: the host's Options menu, from its menu bar.
open_options_menu() {
  back_to_panels
  host_keys F9
  host_settle 3
  host_type o
  host_settle 3
}

# pick_untitled_item TEXT: choose TEXT in the menu box without a title that lists it.
pick_untitled_item() {
  local idx i
  idx=$(host_screen | python3 -c '
import sys
item, rows = sys.argv[1], sys.stdin.read().split("\n")
for i, r in enumerate(rows):
    if item in r and "\u2551" in r:
        col = r.index(item)
        n = 1
        for j in range(i - 1, -1, -1):
            if "\u2554" in rows[j][:col]: print(n); sys.exit(0)
            if "\u255f" not in rows[j][:col]: n += 1
sys.exit(1)' "$1") || { echo "pick_untitled_item: no '$1'" >&2; return 1; }
  host_keys Home
  for ((i = 1; i < idx; i++)); do host_keys Down; done
  host_keys Enter
}

# switch_language NAME: the host's main and help language, through Options, Languages
# (the English menus: this is done from English only).
switch_language() {
  open_options_menu
  pick_untitled_item "Languages"
  host_wait "Main language" "$RH_WAIT" && host_settle 3
  pick_menu_item "$1"
  host_settle 3
  pick_menu_item "$1"
  host_settle 5
}

# leave_host: F10 and the first button of the host's question, whatever its language;
# then the session is ended.
leave_host() {
  local end=$((SECONDS + 60))
  host_keys F10
  host_settle 5
  host_keys Enter
  while host_alive && [ $SECONDS -lt $end ]; do sleep 1; done
  host_stop
}

# back_to_panels: press Escape until it changes nothing and the panels' key bar shows
# (closes dialogs, menus, help and an unchanged editor).
back_to_panels() {
  local i before
  for i in 1 2 3 4 5 6; do
    before=$(host_screen)
    host_keys Escape
    host_settle 5
    [ "$before" = "$(host_screen)" ] && on_panels && return 0
  done
  on_panels
}
