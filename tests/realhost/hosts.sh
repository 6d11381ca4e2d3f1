# One set of host_* functions over the tools of either real host: use_host far175 binds
# them to farlib.sh (FAR 1.75 under Wine, through qemu-i386 where 32-bit programs cannot
# run), use_host far3 to far3lib.sh (Far 3 x64 under 64-bit Wine). The checks only call
# host_*, so each is written once for both hosts.

# use_host NAME WORK HOSTDIR: load the host's tools, work below WORK, Far.exe from HOSTDIR.
use_host() {
  local name=$1 work=$2 verb fn
  RH_HOST=$name
  RH_HOSTDIR=$3
  case $name in
    far175)
      export FAR175_WORK=$work
      . "$RH_SHARED/far175/farlib.sh"
      fn=far
      RH_SESSION=$FAR175_SESSION
      RH_DRIVE_D=$FAR175_WORK/drive_d
      RH_REG_ROOT='Software\\Far'
      RH_WAIT=60 ;;
    far3)
      export FAR3_WORK=$work FAR3_CAPTURES=""
      . "$RH_SHARED/far3/far3lib.sh"
      fn=far3
      RH_SESSION=$FAR3_SESSION
      RH_DRIVE_D=$FAR3_WORK/drive_d
      RH_REG_ROOT='Software\\Far Manager'
      RH_WAIT=30 ;;
    *) echo "unknown host '$name' (far175 or far3)" >&2; return 2 ;;
  esac
  RH_REG_KEY="$RH_REG_ROOT\\\\Plugins\\\\Quarix"
  for verb in prefix install screen keys type wait wait_gone settle menu_items menu_pick \
              alive quit stop reg_section colored_text; do
    eval "host_$verb() { ${fn}_$verb \"\$@\"; }"
  done
  eval "host_launch() { ${fn}_start \"\$@\"; }"
}

# start_host: start the host on D:\tree; a start that hangs is tried once more.
start_host() {
  local try
  for try in 1 2; do
    host_launch 'D:\tree' && return 0
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

# on_panels: the panels' key bar is showing and no dialog, menu or editor covers it.
on_panels() {
  host_screen | tail -1 | grep -q '1Help.*2UserMn'
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

# set_host_language NAME: the host's interface and help language (English, Russian),
# set while it is not running: FAR 1.75 reads it from its registry key; Far 3 from its
# profile, which a fresh profile takes from DefaultLanguage in Far.exe.ini.
set_host_language() {
  local reg=${WINEPREFIX:-$RH_WORK/prefix}/user.reg
  if [ "$RH_HOST" = far3 ]; then
    far3_reset_profile
    printf '[General]\r\nDefaultLanguage=%s\r\n' "$1" >"$RH_DRIVE_D/far/Far.exe.ini"
    return
  fi
  python3 - "$reg" "$RH_REG_ROOT" "$1" <<'PY'
import sys, time
path, root, lang = sys.argv[1], sys.argv[2].replace("\\\\", "\\"), sys.argv[3]
key = "[" + (root + "\\Language").replace("\\", "\\\\") + "]"
text = open(path, encoding="utf-8", errors="surrogateescape").read().split("\n")
out, skip = [], False
for line in text:
    if line.startswith("["):
        skip = line.split("]")[0] + "]" == key
    if not skip:
        out.append(line)
out += [f"{key} {int(time.time())}", f'"Help"="{lang}"', f'"Main"="{lang}"', ""]
open(path, "w", encoding="utf-8", errors="surrogateescape").write("\n".join(out))
PY
}
