# Working the host's dialogs, messages and help through the screen: find a label, move
# the focus to it with Tab (the console cursor tells where the focus is), set it.

# cursor_row: the console cursor's row, from 0.
cursor_row() { tmux display-message -p -t "$RH_SESSION" '#{cursor_y}'; }

# row_of TEXT: the first screen row (from 0) that holds TEXT followed by two blanks or a
# frame, so that "Regular expression" does not find "Regular expression over ...".
row_of() {
  host_screen | python3 -c '
import sys
t = sys.argv[1]
for i, l in enumerate(sys.stdin.read().split("\n")):
    for end in ("  ", "\u2551", "\u2502", " \u2551", " \u2502"):
        if t + end in l or l.rstrip().endswith(t):
            print(i); sys.exit(0)
sys.exit(1)' "$1"
}

# focus_row ROW: Tab until the focus is on screen row ROW.
focus_row() {
  local i
  for i in $(seq 1 30); do
    [ "$(cursor_row)" = "$1" ] && return 0
    host_keys Tab
  done
  echo "focus_row: the focus never reached row $1" >&2
  return 1
}

# fill_field LABEL TEXT: the edit field below LABEL gets TEXT. The host completes typed
# text from the field's history and selects the completion: Delete drops it.
fill_field() {
  local row
  row=$(row_of "$1") || { echo "fill_field: no label '$1'" >&2; return 1; }
  focus_row $((row + 1)) || return 1
  host_keys C-y
  [ -z "$2" ] || host_type "$2"
  host_keys DC
}

# fill_field_beside LABEL TEXT: the edit field on LABEL's row gets TEXT.
fill_field_beside() {
  local row
  row=$(row_of "$1") || { echo "fill_field_beside: no label '$1'" >&2; return 1; }
  focus_row "$row" || return 1
  host_keys C-y
  [ -z "$2" ] || host_type "$2"
  host_keys DC
}

# set_check LABEL on|off: the check box LABEL is ticked (on) or not (off).
set_check() {
  local row line
  row=$(row_of "$1") || { echo "set_check: no check box '$1'" >&2; return 1; }
  focus_row "$row" || return 1
  line=$(host_screen | sed -n "$((row + 1))p")
  case $2 in
    on) [[ $line == *"[x] $1"* ]] || host_keys Space ;;
    off) [[ $line == *"[ ] $1"* ]] || host_keys Space ;;
  esac
}

# pick_radio LABEL: the radio button LABEL is chosen. Tab stops only at the chosen button
# of a group, so Tab into the group, then the arrows to the button, then Space.
pick_radio() {
  local row i cur
  row=$(row_of "$1") || { echo "pick_radio: no radio button '$1'" >&2; return 1; }
  for i in $(seq 1 30); do
    cur=$(cursor_row)
    same_radio_group "$cur" "$row" && break
    host_keys Tab
  done
  while [ "$cur" -lt "$row" ]; do host_keys Down; cur=$((cur + 1)); done
  while [ "$cur" -gt "$row" ]; do host_keys Up; cur=$((cur - 1)); done
  [ "$(cursor_row)" = "$row" ] || { echo "pick_radio: cannot reach '$1'" >&2; return 1; }
  host_keys Space
}

# same_radio_group ROW1 ROW2: every screen row from ROW1 to ROW2 is a radio button.
same_radio_group() {
  local a=$1 b=$2
  [ "$a" -le "$b" ] || { a=$2; b=$1; }
  host_screen | sed -n "$((a + 1)),$((b + 1))p" | grep -qvE '\((•| |\*)\) ' && return 1
  return 0
}

# press_button N: the Nth button (from 0) of the message on screen.
press_button() {
  local i
  for ((i = 0; i < $1; i++)); do host_keys Tab; done
  host_keys Enter
}

# help_title TOPIC: the title of @TOPIC in our English help file (empty when missing).
help_title() {
  [ -f "$CLONE/lng/QuarixEng.hlf" ] || return 0
  python3 -c '
import sys
topic, lines = "@" + sys.argv[1], open(sys.argv[2], encoding="cp866").read().split("\n")
for i, l in enumerate(lines):
    if l.strip() == topic:
        for l2 in lines[i + 1:i + 4]:
            if l2.startswith("$"):
                print(l2.lstrip("$").replace("#", "").strip()); sys.exit(0)
' "$1" "$CLONE/lng/QuarixEng.hlf"
}

# expect_help NAME TOPIC: F1 opens our help topic TOPIC, not the host's error; the help
# (or the error) is closed again and the screen is back as it was before F1, so that the
# next key goes to the dialog (Far 3 redraws it some time after the help closes).
expect_help() {
  local title before
  title=$(help_title "$2")
  before=$(host_screen)
  host_keys F1
  if [ -z "$title" ]; then
    sleep 3
    fail_check "$1" "no topic @$2 in lng/QuarixEng.hlf (or no such file)"
  elif wait_help_shown "$title" "$before" && ! host_screen | grep -q "help topic not found"; then
    pass_check "$1"
  else
    fail_check "$1" "help topic @$2 (\"$title\") not shown"
  fi
  host_keys Escape
  wait_screen_back "$before"
  host_settle 3
}

# wait_help_shown TITLE BEFORE: the screen has changed from BEFORE and shows TITLE (the
# title may already be on the screen before F1, as the pattern error's is).
wait_help_shown() {
  local end=$((SECONDS + RH_WAIT)) shown before
  before=$(without_clock <<<"$2")
  while [ $SECONDS -lt $end ]; do
    shown=$(host_screen | without_clock)
    [ "$shown" != "$before" ] && grep -qF -- "$1" <<<"$shown" && return 0
    sleep 0.5
  done
  return 1
}

# without_clock: the screen text read from stdin, without the time of day.
without_clock() { sed -E 's/[0-9]{1,2}:[0-9]{2}( [AP]M)?//g'; }

# wait_screen_back BEFORE: wait (up to RH_WAIT seconds) until the screen is BEFORE again
# (Far 3's clock in the top row aside).
wait_screen_back() {
  local end=$((SECONDS + RH_WAIT)) want
  want=$(without_clock <<<"$1")
  while [ $SECONDS -lt $end ]; do
    [ "$(host_screen | without_clock)" = "$want" ] && return 0
    sleep 0.5
  done
  echo "  the screen did not come back after the help" >&2
  return 1
}

# lng_text LANG N: message N of our language file (LANG Eng or Rus), as UTF-8, without
# the hot-key marks.
lng_text() {
  iconv -f cp866 -t utf-8 "$CLONE/lng/Quarix$1.lng" |
    grep '^"' | sed -n "$(($2 + 1))p" | sed 's/^"//; s/"[[:space:]]*$//; s/&//g'
}

# menu_title_of ITEM: the title of the menu box on the screen that lists ITEM.
menu_title_of() {
  host_screen | python3 -c '
import sys
item, rows = sys.argv[1], sys.stdin.read().split("\n")
for i, r in enumerate(rows):
    if item in r and "\u2551" in r:
        col = r.index(item)
        for j in range(i - 1, -1, -1):
            top = rows[j]
            left = top.rfind("\u2554", 0, col)
            if left >= 0:
                right = top.find("\u2557", left)
                print(top[left + 1:right].strip("\u2550 ")); sys.exit(0)
sys.exit(1)' "$1"
}

# pick_menu_item ITEM: choose ITEM in the menu on the screen, whatever its title.
pick_menu_item() {
  local title
  title=$(menu_title_of "$1") || { echo "pick_menu_item: no menu lists '$1'" >&2; return 1; }
  host_menu_pick "$title" "$1"
}
