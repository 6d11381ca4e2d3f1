# Linquo in far2l's editor, on a UTF-8 file of CJK, Cyrillic and accented Latin text with
# bytes that are not UTF-8: search, repeat, caseless search of Cyrillic, replace one, skip,
# replace all, a template's case escape, the saved file's exact bytes, and the hand-off of
# a Trawlix search.

# The file the checks edit, as printf writes it; its lines:
#   1 first line
#   2 abc дом 日本 é xyz
#   3 Жук and Café 日本語 ДОМ end
#   4 bytes \351 and \377\303 stay 日本     (three bytes that are not UTF-8)
#   5 last 日本
LINQUO_TEXT='first line\nabc \320\264\320\276\320\274 \346\227\245\346\234\254 \303\251 xyz\n\320\226\321\203\320\272 and Caf\303\251 \346\227\245\346\234\254\350\252\236 \320\224\320\236\320\234 end\nbytes \351 and \377\303 stay \346\227\245\346\234\254\nlast \346\227\245\346\234\254\n'

# linquo_position: "LINE COL" from the editor's status line (screen columns, from 1).
linquo_position() {
  f2l_screen | head -1 | sed -nE 's/.*Line +([0-9]+)\/[0-9]+ +Col +([0-9]+).*/\1 \2/p'
}

# linquo_in_editor: the editor's status line is on top.
linquo_in_editor() {
  local i
  for ((i = 0; i < F2L_WAIT * 10; i++)); do
    f2l_screen | head -1 | grep -qE "Line +[0-9]+/[0-9]+ +Col" && return 0
    sleep 0.1
  done
  return 1
}

# linquo_edit_current: F4 on the panel's entry under the cursor, cursor at the text's start.
linquo_edit_current() {
  f2l_settle 2
  f2l_keys F4
  linquo_in_editor || return 1
  f2l_settle 3
  f2l_keys C-Home
  f2l_settle 2
}

# linquo_open_in DIR: far2l started afresh in DIR (its command line's cd goes through a
# shell, which is not always there), the first file there in the editor, cursor at the
# text's start.
linquo_open_in() {
  f2l_restart "$1" || return 1
  f2l_keys Home
  f2l_settle 2
  f2l_keys Down
  linquo_edit_current
}

# linquo_menu ENTRY: choose one of Linquo's entries in the editor's plugins menu.
linquo_menu() {
  f2l_keys F11
  f2l_wait "Plugin commands" || return 1
  f2l_menu_pick "Plugin commands" "$1"
  f2l_settle 3
}

# linquo_search TEXT REGEX(on|off) CASE(on|off): the search dialog, filled and confirmed.
linquo_search() {
  linquo_menu "Trawlix" && f2l_wait "Search for:" || return 1
  f2l_dialog_field "Search for:" "$1" &&
    f2l_check_box "Regular expression" "$2" &&
    f2l_check_box "Case sensitive" "$3" &&
    f2l_check_box "Search backward" off || { f2l_keys Escape; return 1; }
  f2l_keys Enter
  f2l_settle 3
}

# linquo_replace TEXT WITH REGEX CASE: the replace dialog, filled and confirmed.
linquo_replace() {
  linquo_menu "Replace" && f2l_wait "Replace with:" || return 1
  f2l_dialog_field "Search for:" "$1" &&
    f2l_dialog_field "Replace with:" "$2" &&
    f2l_check_box "Regular expression" "$3" &&
    f2l_check_box "Case sensitive" "$4" &&
    f2l_check_box "Search backward" off || { f2l_keys Escape; return 1; }
  f2l_keys Enter
  f2l_settle 3
}

# linquo_answer BUTTON: answer the replace question (Replace, All, Skip or Cancel).
linquo_answer() {
  f2l_wait "Replace the text" || return 1
  case $1 in
    Replace) f2l_keys Enter ;;
    All) f2l_keys Right Enter ;;
    Skip) f2l_keys Right Right Enter ;;
    Cancel) f2l_keys Right Right Right Enter ;;
  esac
  f2l_settle 3
}

# linquo_field LABEL: the text of the dialog's edit field below LABEL.
linquo_field() {
  local row
  row=$(f2l_row_of "$1") || return 1
  f2l_screen | sed -n "$((row + 2))p" | sed -E 's/^[^║]*║ *//; s/ *(↓)?║.*$//'
}

# linquo_trawlix_search TEXT [MODE] [CASE]: Trawlix's search dialog from the panels, every
# file of the current folder (default: plain text, case sensitive).
linquo_trawlix_search() {
  f2l_panels
  f2l_keys F11
  f2l_wait "Plugin commands" && f2l_settle 2 &&
    f2l_menu_pick "Plugin commands" "Trawlix" && f2l_wait "File masks:" && f2l_settle 3 ||
    return 1
  f2l_dialog_field "File masks:" "*.*" &&
    f2l_dialog_field "Search for:" "$1" &&
    f2l_check_box "${2:-Plain text}" on &&
    f2l_check_box "Case sensitive" "${3:-on}" &&
    f2l_check_box "Files without the text" off &&
    f2l_check_box "Current folder only" on || return 1
  f2l_settle 2
  f2l_keys Enter
}

# linquo_save_and_close: F2, then back to the panels.
linquo_save_and_close() {
  f2l_keys F2
  f2l_settle 3
  f2l_keys F10
  f2l_settle 3
  f2l_panels
}

run_linquo_checks() {
  local dir=$F2L_TREE/linquo file=$F2L_TREE/linquo/utf8.txt screen
  mkdir -p "$dir"
  printf "$LINQUO_TEXT" >"$file"
  if ! linquo_open_in "$dir"; then
    fail_check "linquo: the UTF-8 file opens in the editor" "no editor"
    return
  fi
  linquo_menu "Trawlix"
  expect_screen "linquo: the search entry opens its dialog" "Search for:"
  f2l_keys Escape
  f2l_settle 2

  # The cursor's screen column counts CJK characters twice.
  linquo_search "日本" on off
  expect_equal "linquo: a CJK pattern is found, the cursor after it" "2 13" "$(linquo_position)"
  linquo_menu "Repeat"
  expect_equal "linquo: repeat finds the next one, after Cyrillic and é" "3 18" "$(linquo_position)"
  linquo_menu "Repeat"
  expect_equal "linquo: repeat passes bytes that are not UTF-8" "4" "$(linquo_position | cut -d' ' -f1)"
  linquo_menu "Repeat"
  expect_equal "linquo: and reaches the last line" "5 10" "$(linquo_position)"
  linquo_menu "Repeat"
  expect_screen "linquo: past the last one it cannot find the text" "Cannot find the text"
  screen=$(f2l_screen)
  expect "linquo: the warning shows the CJK text whole" has "║ +日本 +║" "$screen"
  f2l_keys Enter
  f2l_settle 2

  f2l_keys C-Home
  linquo_search "ДОМ" off off
  expect_equal "linquo: plain caseless text finds Cyrillic in another case" "2 8" "$(linquo_position)"
  linquo_menu "Repeat"
  expect_equal "linquo: and then the same case" "3 24" "$(linquo_position)"
  f2l_keys C-Home
  linquo_search "é" off on
  expect_equal "linquo: an accented letter is one character" "2 15" "$(linquo_position)"

  # Replace the first 日本, skip the second, then all the rest.
  f2l_keys C-Home
  linquo_replace "日本" "<\$0>" on off
  linquo_answer Replace
  expect "linquo: the replacement shows in the line" has "^abc дом <日本> é xyz" "$(f2l_screen)"
  linquo_answer Skip
  linquo_answer All
  screen=$(f2l_screen)
  expect "linquo: replace-all reached the line with bytes that are not UTF-8" has \
    "^bytes .*stay <日本>" "$screen"
  expect "linquo: the skipped one stayed" has "^Жук and Café 日本語" "$screen"
  expect "linquo: replace-all ends without a question" lacks "Replace the text" "$screen"

  # The template's case escape turns whole Cyrillic and accented letters to upper case.
  f2l_keys C-Home
  linquo_replace "(жук) and (café)" "\\U\$1 \$2" on off
  linquo_answer Replace
  # An interactive run that reaches the end says so, also after a replacement.
  expect_screen "linquo: the run ends with the not-found warning" "Cannot find the text"
  f2l_keys Enter
  f2l_settle 2
  linquo_save_and_close
  expect_file_bytes "linquo: the saved file holds exactly the changed text, every other byte kept" \
    "$file" 'first line\nabc \320\264\320\276\320\274 <\346\227\245\346\234\254> \303\251 xyz\n\320\226\320\243\320\232 CAF\303\211 \346\227\245\346\234\254\350\252\236 \320\224\320\236\320\234 end\nbytes \351 and \377\303 stay <\346\227\245\346\234\254>\nlast <\346\227\245\346\234\254>\n'

  # The hand-off, in a far2l started afresh (Linquo not loaded until it is used): a
  # Trawlix search (plain text, case sensitive), then Linquo in a file opened from the
  # results panel searches for the same text, in the same mode and case.
  local other=$F2L_TREE/linquo-handoff
  mkdir -p "$other"
  printf '\321\221\320\273\320\272\320\260. x\n\320\201\320\273\320\272\320\260X\n\320\201\320\273\320\272\320\260. y\n' >"$other/h.txt"
  f2l_restart "$other"
  linquo_trawlix_search "Ёлка."
  if ! f2l_wait "Found files" 20; then
    fail_check "linquo: a Trawlix search lists the file" "no results panel"
    f2l_restart "$F2L_TREE"
    return
  fi
  f2l_settle 3
  f2l_keys Home
  f2l_settle 2
  f2l_keys Down
  if ! linquo_edit_current; then
    fail_check "linquo: a found file opens in the editor" "no editor"
    f2l_restart "$F2L_TREE"
    return
  fi
  linquo_menu "Trawlix"
  f2l_wait "Search for:"
  expect_equal "linquo: after a Trawlix search its dialog holds Trawlix's text" "Ёлка." \
    "$(linquo_field "Search for:")"
  screen=$(f2l_screen)
  expect "linquo: and Trawlix's plain-text mode" has "\[ \] Regular expression" "$screen"
  expect "linquo: and Trawlix's case setting" has "\[x\] Case sensitive" "$screen"
  # Plain and in its case: neither "ёлка." nor "ЁлкаX" matches.
  f2l_keys Enter
  f2l_settle 3
  expect_equal "linquo: the search then finds what Trawlix found" "3 6" "$(linquo_position)"

  # Once more with Linquo loaded: a caseless pattern now, which only "ЁлкаX" matches
  # (plain or case-sensitive it matches nothing); the repeat takes it up without a dialog.
  f2l_keys F10
  f2l_settle 3
  f2l_keys Home Enter  # ".." leaves the results panel
  f2l_wait_gone "Found files" 5
  linquo_trawlix_search "Ёлка[x]" "Regular expression" off
  if f2l_wait "Found files" 20; then
    f2l_settle 3
    f2l_keys Home
    f2l_settle 2
    f2l_keys Down
    if linquo_edit_current; then
      linquo_menu "Repeat"
      expect_equal "linquo: a loaded Linquo takes a later search's text, mode and case" "2 6" \
        "$(linquo_position)"
    else
      fail_check "linquo: a loaded Linquo takes a later search's text, mode and case" "no editor"
    fi
  else
    fail_check "linquo: a loaded Linquo takes a later search's text, mode and case" \
      "no results panel"
  fi
  f2l_restart "$F2L_TREE"
}
