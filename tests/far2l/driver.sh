# Drives far2l (its TTY backend) in a tmux session of the suite's own tmux server and
# records checks. Source it; tests/far2l/run.sh does, then every tests/far2l/checks_*.sh.
#
# Settings (run.sh sets them; a checks file only reads them):
#   F2L_BIN      the far2l executable
#   F2L_WORK     the suite's scratch folder; failed screens go to $F2L_WORK/failed/
#   F2L_PROFILE  far2l's private profile (becomes FARSETTINGS: settings, plugin cache,
#                history and our settings file all live below $F2L_PROFILE/.config)
#   F2L_PLUGINS  the personal plugin folder far2l scans (holds Quarix/ with our modules)
#   F2L_TREE     the folder far2l starts in; checks make their files below it
#   F2L_WAIT     seconds a wait allows by default (10)
#   F2L_ARGS     further far2l arguments for the next starts (word-split), such as
#                -set:Language.Main=Russian
#
# far2l:
#   f2l_start [DIR]            start far2l in DIR (default $F2L_TREE) and wait for its panels;
#                              a first start's help window and clipboard question are answered
#   f2l_stop                   quit far2l with F10 (so it writes its settings and our plugins
#                              get ExitFAR), killing it only when it does not go
#   f2l_restart [DIR]          f2l_stop, then f2l_start
#   f2l_keys KEY...            tmux key names: Enter Escape F7 S-F7 C-PgDn Home Down Tab ...
#   f2l_type TEXT              literal text, UTF-8 included
#   f2l_screen                 the screen as text
#   f2l_wait TEXT [SECS]       true when the fixed TEXT shows on the screen in time
#   f2l_wait_gone TEXT [SECS]  true when TEXT is gone from the screen in time
#   f2l_settle [TENTHS]        wait until the screen has not changed for TENTHS/10 s (default 3)
#   f2l_panels                 back to the panels: Escape until the key bar shows F10 "Quit"
#   f2l_command TEXT           run TEXT from the command line (the panels are shown first)
#   f2l_cd DIR                 the active panel shows DIR
#   f2l_menu_pick TITLE ITEM [KEY]  in the open menu titled TITLE choose the line holding ITEM
#                              (with Enter, or KEY such as S-F9)
#   f2l_dialog_field LABEL TEXT  the edit field below LABEL gets TEXT
#   f2l_check_box LABEL on|off   the check box or radio button LABEL is set
#
# Checks (each prints one line; the counts make the summary):
#   pass_check NAME / fail_check NAME WHY    (a failure keeps the screen in $F2L_WORK/failed)
#   expect NAME COMMAND...                   passes when COMMAND succeeds
#   expect_screen NAME TEXT [SECS]           passes when TEXT shows up in time
#   expect_equal NAME EXPECTED ACTUAL
#   expect_file_bytes NAME FILE FORMAT       the file holds exactly printf FORMAT's bytes
#   has REGEX TEXT / lacks REGEX TEXT        for expect, on a text taken from the screen
#
# A checks file tests/far2l/checks_NAME.sh defines run_NAME_checks; run.sh calls it with
# far2l showing its panels in $F2L_TREE, and expects the panels back when it returns.

F2L_SESSION=${F2L_SESSION:-quarix-far2l}
F2L_WAIT=${F2L_WAIT:-10}
# The panels' key bar, in English or Russian: its F10 is Quit.
F2L_KEYBAR='10(Quit|Выход)'
F2L_PASSED=0
F2L_FAILED=0

f2l_keys() { tmux send-keys -t "$F2L_SESSION" "$@"; }
f2l_type() { tmux send-keys -t "$F2L_SESSION" -l -- "$1"; }
f2l_screen() { tmux capture-pane -p -t "$F2L_SESSION" 2>/dev/null; }

f2l_wait() {
  local i
  for ((i = 0; i < ${2:-$F2L_WAIT} * 10; i++)); do
    f2l_screen | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  return 1
}

f2l_wait_gone() {
  local i
  for ((i = 0; i < ${2:-$F2L_WAIT} * 10; i++)); do
    f2l_screen | grep -qF -- "$1" || return 0
    sleep 0.1
  done
  return 1
}

f2l_settle() {
  local last="" now i still=0
  for ((i = 0; i < 100; i++)); do
    now=$(f2l_screen)
    if [ "$now" = "$last" ]; then
      still=$((still + 1))
      [ "$still" -ge "${1:-3}" ] && return 0
    else
      still=0 last=$now
    fi
    sleep 0.1
  done
}

f2l_start() {
  local dir=${1:-$F2L_TREE} cmd
  mkdir -p "$F2L_PROFILE"
  # --mortal: a killed session ends far2l instead of leaving it in the background, where
  # the next far2l on this profile would offer to revive it.
  printf -v cmd '%q ' env FARSETTINGS="$F2L_PROFILE" FAR2L_STDERR="$F2L_WORK/far2l-stderr.log" \
    LANG=C.UTF-8 "$F2L_BIN" --tty --mortal "-set:System.PersonalPluginsPath=$F2L_PLUGINS" \
    ${F2L_ARGS:-} -cd "$dir"
  tmux new-session -d -s "$F2L_SESSION" -x 140 -y 40 "$cmd" || return 1
  # A fresh profile first shows far2l's help, then a clipboard question; either may come
  # a moment after the panels.
  local i screen calm=0
  for ((i = 0; i < 60; i++)); do
    screen=$(f2l_screen)
    if grep -qF "Help - FAR2L" <<<"$screen"; then f2l_keys Escape; calm=0
    elif grep -qF "OSC52" <<<"$screen"; then f2l_keys Right Enter; calm=0
    elif tail -1 <<<"$screen" | grep -qE "$F2L_KEYBAR"; then
      calm=$((calm + 1))
      [ "$calm" -ge 4 ] && return 0
    fi
    sleep 0.25
  done
  echo "f2l_start: far2l showed no panels" >&2
  return 1
}

f2l_stop() {
  local pid i
  tmux has-session -t "$F2L_SESSION" 2>/dev/null || return 0
  pid=$(tmux display-message -p -t "$F2L_SESSION" '#{pane_pid}' 2>/dev/null)
  f2l_panels
  f2l_keys F10
  for ((i = 0; i < 50; i++)); do
    tmux has-session -t "$F2L_SESSION" 2>/dev/null || break
    f2l_screen | grep -qi "want to quit" && f2l_keys Enter
    sleep 0.2
  done
  tmux has-session -t "$F2L_SESSION" 2>/dev/null && tmux kill-session -t "$F2L_SESSION"
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    sleep 1
    kill -0 "$pid" 2>/dev/null && kill "$pid"
  fi
  return 0
}

f2l_restart() { f2l_stop && f2l_start "$@"; }

f2l_panels() {
  local i
  for ((i = 0; i < 8; i++)); do
    f2l_screen | tail -1 | grep -qE "$F2L_KEYBAR" && ! f2l_screen | grep -qF "Help - FAR2L" &&
      { f2l_settle 2; return 0; }
    f2l_keys Escape
    f2l_settle 2
  done
  return 1
}

f2l_command() {
  f2l_panels
  f2l_type "$1"
  f2l_keys Enter
}

f2l_cd() {
  f2l_command "cd $1"
  # The panel's title is the folder's path between blanks.
  f2l_wait " $1 " && f2l_settle 3
}

# f2l_row_of TEXT: the first screen row (from 0) holding TEXT.
f2l_row_of() {
  f2l_screen | grep -nF -- "$1" | head -1 | cut -d: -f1 | awk '{ print $1 - 1 }' | grep .
}

f2l_cursor_row() { tmux display-message -p -t "$F2L_SESSION" '#{cursor_y}'; }

# f2l_focus_row ROW: move the focus (the console cursor shows it) to the item on screen
# row ROW. Up and Down step through every item; Tab would skip a radio group's others.
f2l_focus_row() {
  local i row
  for ((i = 0; i < 40; i++)); do
    row=$(f2l_cursor_row)
    [ "$row" = "$1" ] && return 0
    if [ "$row" -lt "$1" ]; then f2l_keys Down; else f2l_keys Up; fi
    sleep 0.05
  done
  echo "f2l_focus_row: the focus never reached row $1" >&2
  return 1
}

f2l_menu_pick() {
  local title item top
  title=$(f2l_row_of "$1") || { echo "f2l_menu_pick: no menu '$1'" >&2; return 1; }
  item=$(f2l_screen | tail -n +"$((title + 2))" | grep -nF -- "$2" | head -1 | cut -d: -f1) ||
    true
  [ -n "$item" ] || { echo "f2l_menu_pick: no item '$2' in '$1'" >&2; return 1; }
  # Home puts the highlight on the first item, the line below the title.
  f2l_keys Home
  for ((top = 1; top < item; top++)); do f2l_keys Down; done
  f2l_keys "${3:-Enter}"
}

f2l_dialog_field() {
  local row
  row=$(f2l_row_of "$1") || { echo "f2l_dialog_field: no label '$1'" >&2; return 1; }
  f2l_focus_row $((row + 1)) || return 1
  f2l_keys C-y
  [ -z "$2" ] || f2l_type "$2"
  # far2l completes typed text from the field's history and selects the completion.
  f2l_keys DC
}

f2l_check_box() {
  local row line
  row=$(f2l_row_of "$1") || { echo "f2l_check_box: no item '$1'" >&2; return 1; }
  f2l_focus_row "$row" || return 1
  line=$(f2l_screen | sed -n "$((row + 1))p")
  case $2 in
    on) [[ $line == *"[x] $1"* || $line == *"(•) $1"* ]] || f2l_keys Space ;;
    off) [[ $line == *"[ ] $1"* ]] || f2l_keys Space ;;
  esac
}

pass_check() {
  F2L_PASSED=$((F2L_PASSED + 1))
  printf '  ok    %s\n' "$1"
}

fail_check() {
  local file
  F2L_FAILED=$((F2L_FAILED + 1))
  mkdir -p "$F2L_WORK/failed"
  file=$F2L_WORK/failed/$(printf '%s' "$1" | tr -c 'A-Za-z0-9._-' '_').txt
  f2l_screen >"$file"
  printf '  FAIL  %s: %s (screen: %s)\n' "$1" "$2" "$file"
}

expect() {
  local name=$1
  shift
  local what="$*"
  if "$@"; then pass_check "$name"; else fail_check "$name" "failed: ${what:0:100}"; fi
}

expect_screen() {
  if f2l_wait "$2" "${3:-$F2L_WAIT}"; then pass_check "$1"
  else fail_check "$1" "\"$2\" not on the screen after ${3:-$F2L_WAIT} s"; fi
}

expect_equal() {
  if [ "$2" = "$3" ]; then pass_check "$1"
  else fail_check "$1" "expected '$2', got '$3'"; fi
}

expect_file_bytes() {
  local want got
  want=$(printf "$3" | od -An -tx1 | tr -s ' \n' ' ')
  if [ -f "$2" ]; then got=$(od -An -tx1 "$2" | tr -s ' \n' ' '); else got="(no file)"; fi
  expect_equal "$1" "$want" "$got"
}

has() { grep -qE -- "$1" <<<"$2"; }
lacks() { ! grep -qE -- "$1" <<<"$2"; }
