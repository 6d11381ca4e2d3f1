# Linquo in the editor: its menu entries, the replace with each answer, the backward
# search within the selected block, the not-found message.

# open_editor PATH: the host's editor on the file PATH (a D:\ path).
open_editor() {
  back_to_panels
  host_keys S-F4
  host_wait "Edit" "$RH_WAIT"
  host_keys C-y
  host_type "$1"
  host_keys Enter
  host_wait "${1##*\\}" "$RH_WAIT"
  host_settle 10
}

# save_and_close_editor: F2, then leave the editor.
save_and_close_editor() {
  host_keys F2
  host_settle 5
  host_keys Escape
  host_settle 5
}

open_editor_menu() {
  host_keys F11
  host_wait "Plugin commands" "$RH_WAIT" && host_settle 5
}

# editor_position: "LINE COL" of the cursor (from 1), read from the editor's status line
# ("1/5 Col 7", or "Ln 1/5│Col 7" in Far 3).
editor_position() {
  host_screen | head -1 | python3 -c '
import re, sys
m = re.search(r"(\d+)/\d+\D*?(\d+)", sys.stdin.read())
print(m.group(1), m.group(2) if m else "")' 2>/dev/null
}

# answer_editor_questions ANSWERS...: answers Linquo's questions in turn (BUTTON 0-3,
# esc, or h0-h3: F1 first); each question is told apart from the one before by the
# cursor's place. Ends when no question is left; RH_ASKED counts the questions.
answer_editor_questions() {
  local a pos last="" n=0 end
  for a in "$@"; do
    end=$((SECONDS + RH_WAIT))
    while [ $SECONDS -lt $end ]; do
      host_wait "Replace the text" "$RH_WAIT" || { echo "  no question $((n + 1))" >&2; RH_ASKED=$n; return 1; }
      host_settle 5
      pos=$(editor_position)
      [ "$pos" != "$last" ] && break
      sleep 0.5
    done
    [ "$pos" != "$last" ] || { echo "  question $((n + 1)) never came" >&2; RH_ASKED=$n; return 1; }
    n=$((n + 1)) last=$pos
    case $a in
      esc) host_keys Escape ;;
      h*) expect_help "help: editor question" QXAskReplace; press_button "${a#h}" ;;
      *) press_button "$a" ;;
    esac
  done
  RH_ASKED=$n
  host_settle 5
}

# editor_replace SEARCH REPLACEMENT: Linquo's replace dialog, plain text, forward.
editor_replace() {
  open_editor_menu
  host_menu_pick "Plugin commands" "Replace"
  host_wait "Replace with:" "$RH_WAIT"
  host_settle 5
  fill_field "Search for:" "$1"
  fill_field "Replace with:" "$2"
  set_check "Regular expression" off
  set_check "Case sensitive" off
  set_check "Search backward" off
}

check_editor_menu() {
  open_editor 'D:\tree\edit\lines.txt'
  open_editor_menu
  local items; items=$(host_menu_items "Plugin commands")
  expect "editor menu: Linquo's search entry" has "Trawlix" "$items"
  expect "editor menu: Linquo's replace entry" has "Replace" "$items"
  expect "editor menu: Linquo's repeat entry" has "Repeat the last search" "$items"
  host_keys Escape
}

# stop_editor_replace ANSWER: a replace of "cat" from the first line, stopped at the first
# question with ANSWER (3: Cancel, esc: Escape); the run ends there, without a message.
stop_editor_replace() {
  host_keys C-Home
  editor_replace cat bird
  host_keys Enter
  answer_editor_questions "$1"
  host_settle 5
  expect "editor replace: $2 at the first question ends the run" \
    lacks "Cannot find the text|Replace the text" "$(host_screen)"
  expect_equal "editor replace: $2 was asked once" 1 "$RH_ASKED"
}

check_editor_replace() {
  local f=$RH_DRIVE_D/tree/edit/lines.txt
  # lines.txt: alpha cat / beta cat cat / gamma cat / delta cat
  host_keys C-Home
  editor_replace cat dog
  expect_help "help: editor replace dialog" ReplaceDlg
  host_keys Enter
  answer_editor_questions h0 2 0 1
  expect "editor replace: no message after All" lacks "Cannot find the text|Replace the text" "$(host_screen)"
  host_keys F2
  host_settle 5
  expect_file_bytes "editor replace: Replace, Skip, Replace, All" "$f" \
    'alpha dog\r\nbeta cat dog\r\ngamma dog\r\ndelta dog\r\n'
  stop_editor_replace 3 Cancel
  stop_editor_replace esc Escape
  host_keys C-Home
  editor_replace cat bird
  host_keys Enter
  answer_editor_questions 2
  expect_screen "editor replace: Skip to the end brings the not-found message" "Cannot find the text"
  expect_help "help: not-found message" QXCannotFind
  host_keys Enter
  host_keys F2
  host_settle 5
  expect_file_bytes "editor replace: Cancel, Escape and Skip change nothing" "$f" \
    'alpha dog\r\nbeta cat dog\r\ngamma dog\r\ndelta dog\r\n'
  save_and_close_editor
}

check_editor_backward_in_block() {
  # block.txt: "cat one cat two" / "cat three cat four" / "cat five"
  open_editor 'D:\tree\edit\block.txt'
  host_keys C-Home S-Down S-Down
  open_editor_menu
  host_menu_pick "Plugin commands" "Trawlix"
  host_wait "Only in the selected block" "$RH_WAIT"
  expect_help "help: editor search dialog" SearchDlg
  fill_field "Search for:" cat
  set_check "Regular expression" off
  set_check "Search backward" on
  set_check "Only in the selected block" on
  host_keys Enter
  host_settle 5
  expect_equal "editor search: backward in the block finds the last match before the cursor" \
    "2 11" "$(editor_position)"
  open_editor_menu
  host_menu_pick "Plugin commands" "Repeat the last search"
  expect_screen "editor search: the repeat finds nothing more in the block (the hit is the block)" \
    "Cannot find the text"
  host_keys Enter
  host_keys Escape
  host_settle 5
}

# store_linquo_texts SEARCH REPLACEMENT: Linquo's stored texts, written while the host is
# down, so that its dialogs show them when it starts. Text typed through the terminal
# loses what is not ASCII on its way into FAR 1.75; the stored one arrives whole. The
# registry holds the A functions' text as ANSI: U+201A is what OEM 437's "é" (82) reads as.
store_linquo_texts() {
  local key=${RH_REG_ROOT//\\\\/\\}\\Plugins\\Quarix wine name value
  case $RH_HOST in
    far175) far_env >/dev/null 2>&1; wine=$FAR175_WINE ;;
    far3) far3_env >/dev/null 2>&1; wine=$FAR3_WINE ;;
  esac
  for name in EText ERReplace; do
    [ $name = EText ] && value=$1 || value=$2
    timeout 120 "$wine" reg add "HKCU\\$key" /v $name /t REG_SZ /d "$value" /f \
      >>"$RH_WORK/wine.log" 2>&1 || return 1
  done
}

# The editor shows a file of code page 1252 in the ANSI table (Win, or ANSI in Far 3; F8
# switches): Linquo's text (OEM 437) must be converted to it to be found, and its
# replacement written in it. Starts with the host down, and leaves it so.
check_editor_ansi_table() {
  local f=$RH_DRIVE_D/tree/edit/ansi.txt e=$'caf\u201a' the=$'th\u201a'
  expect "editor ANSI table: Linquo's texts stored" store_linquo_texts "$e" "$the"
  start_host || { fail_check "editor ANSI table: host start" "the host did not start"; return; }
  open_editor 'D:\tree\edit\ansi.txt'
  has "Win|ANSI" "$(host_screen | head -1)" || { host_keys F8; host_settle 10; }
  expect "editor ANSI table: the file is shown in ANSI" has "Win|ANSI" "$(host_screen | head -1)"
  host_keys C-Home
  open_editor_menu
  host_menu_pick "Plugin commands" "Trawlix"
  host_wait "Search for:" "$RH_WAIT"
  host_settle 5
  expect "editor ANSI table: the dialog shows the stored café" has "café" "$(host_screen)"
  set_check "Regular expression" off
  set_check "Search backward" off
  host_keys Enter
  host_settle 5
  expect "editor ANSI table: café is found" lacks "Cannot find the text" "$(host_screen)"
  expect_equal "editor ANSI table: the cursor after the first café" "1 8" "$(editor_position)"
  ! has "Cannot find the text" "$(host_screen)" || host_keys Enter
  host_keys C-Home
  open_editor_menu
  host_menu_pick "Plugin commands" "Replace"
  host_wait "Replace with:" "$RH_WAIT"
  host_settle 5
  expect "editor ANSI table: the dialog shows the stored thé" has "thé" "$(host_screen)"
  host_keys Enter
  answer_editor_questions 1
  host_keys F2
  host_settle 5
  expect_file_bytes "editor ANSI table: the replace writes the table's bytes" "$f" \
    'le th\xe9 noir\r\nun th\xe9\r\n'
  save_and_close_editor
  quit_host
}
