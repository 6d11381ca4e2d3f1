# Trawlix in far2l: loading, the search dialog in every mode, the ff: prefix, the results
# panel (F7, ".."), replace across files, Escape during a long walk, a path too long for
# far2l's panel record, the settings kept over a restart, and a code page 1251 file read
# through the setting "Encodings".

# make_trawlix_tree: the files the checks search, below $F2L_TREE.
make_trawlix_tree() {
  local t=$F2L_TREE
  mkdir -p "$t/find/sub" "$t/replace" "$t/long" "$t/big" "$t/utf16" "$t/cp1251"
  printf 'alpha beta\ngamma\n' >"$t/find/a.txt"
  printf 'Дом стоит\n' >"$t/find/b.txt"
  printf 'alpha\nzeta beta\n' >"$t/find/c.txt"
  printf 'nothing here\n' >"$t/find/d.txt"
  printf 'ДОМ и сад\n' >"$t/find/sub/e.txt"
  # Not UTF-8 at all: still searched, never refused. (It starts with no byte order mark:
  # \377\376 first would make it UTF-16.)
  printf '\001\377\376 alpha \200\201\n' >"$t/find/sub/f.bin"
  # UTF-16 with a byte order mark, both byte orders, beside a plain file and one whose
  # bytes only look like the text's: found by their characters.
  printf 'hello мир\n' | iconv -f UTF-8 -t UTF-16 >"$t/utf16/le.txt"
  printf '\376\377' >"$t/utf16/be.txt"
  printf 'Hello МИР\n' | iconv -f UTF-8 -t UTF-16BE >>"$t/utf16/be.txt"
  printf 'hello\n' >"$t/utf16/plain.txt"
  printf 'h\000e\000l\000l\000o\000\n' >"$t/utf16/nobom.txt"
  # "Жук" in code page 1251, no byte order mark, beside the same word in UTF-8.
  printf '\306\363\352 in 1251\n' >"$t/cp1251/cp1251.txt"
  printf 'Жук in UTF-8\n' >"$t/cp1251/utf8.txt"
  printf 'кот и пёс, кот\n' >"$t/replace/r1.txt"
  printf 'собака\n' >"$t/replace/r2.txt"
  # A full path of 256 bytes: the walker takes it, far2l's panel record (254) cannot.
  local prefix="$t/long/" name
  name=$(printf 'd%.0s' $(seq 1 $((256 - ${#prefix} - 8))))
  mkdir -p "$t/long/$name"
  printf 'needle\n' >"$t/long/$name/hit.txt"
  printf 'needle\n' >"$t/long/short.txt"
  TRAWLIX_LONG_PATH=$t/long/$name/hit.txt
  # Many folders: the walk shows its progress for each, long enough to be stopped.
  python3 - "$t/big" <<'EOF'
import os, sys
root = sys.argv[1]
for i in range(6000):
    d = os.path.join(root, "f%02d" % (i % 60), "g%04d" % i)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "x.txt"), "w") as f:
        f.write("xyz\n")
EOF
}

# left_panel: the left half of the screen, where the results panel opens.
left_panel() {
  f2l_screen | python3 -c 'import sys
for line in sys.stdin.read().split("\n"): print(line[:70])'
}

# listed_count: the number of files the left panel's status line reports.
listed_count() {
  left_panel | grep -oE 'in [0-9]+ files?' | tail -1 | grep -oE '[0-9]+'
}

# expect_results NAME "FILE..." : the results panel lists exactly these files (full paths
# end so), no more.
expect_results() {
  local name=$1 want=($2) panel file ok=1 why=""
  if ! f2l_wait "Found files" 20; then fail_check "$name" "no results panel"; return; fi
  f2l_settle 4
  panel=$(left_panel)
  for file in "${want[@]}"; do
    grep -qE -- "/${file//./\\.}( |│|$)" <<<"$panel" || { ok=0; why="$why $file missing;"; }
  done
  local count
  count=$(listed_count)
  [ "${count:-0}" = "${#want[@]}" ] || { ok=0; why="$why ${count:-no} files listed, ${#want[@]} expected;"; }
  if [ $ok = 1 ]; then pass_check "$name"; else fail_check "$name" "$why"; fi
}

# leave_results: ".." closes the results panel and shows the folder again.
leave_results() {
  f2l_keys Home Enter
  f2l_wait_gone "Found files" 5
  f2l_settle 3
}

open_trawlix_dialog() {
  f2l_panels
  f2l_keys F11
  f2l_wait "Plugin commands" && f2l_settle 2 &&
    f2l_menu_pick "Plugin commands" "$1" && f2l_wait "File masks:" && f2l_settle 3
}

# dialog_search MODE TEXT [CASE] [SCOPE]: a search from the dialog.
dialog_search() {
  open_trawlix_dialog Trawlix || return 1
  f2l_dialog_field "File masks:" "*.*"
  f2l_dialog_field "Search for:" "$2"
  f2l_check_box "$1" on
  f2l_check_box "Case sensitive" "${3:-off}"
  f2l_check_box "Files without the text" off
  f2l_check_box "${4:-Current folder and subfolders}" on
  f2l_settle 2
  f2l_keys Enter
}

check_plugins_load() {
  local menu
  f2l_keys F11
  f2l_wait "Plugin commands"
  f2l_settle 2
  menu=$(f2l_screen)
  expect "menu: Trawlix's search entry" has "║ *Trawlix +║" "$menu"
  expect "menu: Trawlix's replace entry" has "║ *Replace +║" "$menu"
  f2l_keys Escape
}

# F1 in the search dialog opens our help file's topic (UTF-8, beside the module).
check_help() {
  open_trawlix_dialog Trawlix || { fail_check "help: search dialog" "no dialog"; return; }
  f2l_keys F1
  expect_screen "help: the search dialog's topic" "Trawlix: search in files"
  f2l_keys Escape
  f2l_settle 2
  f2l_keys Escape
}

check_dialog_modes() {
  f2l_cd "$F2L_TREE/find"
  dialog_search "Plain text" "alpha"
  expect_results "dialog: plain text (a binary file searched too)" "a.txt c.txt f.bin"
  leave_results
  expect_screen "results panel: '..' goes back to the folder" "$F2L_TREE/find"
  dialog_search "Regular expression" '^gam+a$'
  expect_results "dialog: regular expression, line by line" "a.txt"
  leave_results
  dialog_search "Multi-line regular expression" 'alpha\nzeta'
  expect_results "dialog: regular expression over the whole file" "c.txt"
  leave_results
  dialog_search "Regular expression over a window of lines" 'alpha\s+zeta'
  expect_results "dialog: regular expression over a window of lines" "c.txt"
  leave_results
  dialog_search "Words: plain texts" '+alpha -zeta'
  expect_results "dialog: words, plain texts" "a.txt f.bin"
  leave_results
  dialog_search "Words: regular expressions" '+al.ha -ze+ta'
  expect_results "dialog: words, regular expressions" "a.txt f.bin"
  leave_results
  dialog_search "Plain text" "стоит" on
  expect_results "dialog: Cyrillic plain text" "b.txt"
  leave_results
  dialog_search "Plain text" "дом"
  expect_results "dialog: caseless Cyrillic plain text" "b.txt e.txt"
  leave_results
  dialog_search "Regular expression" "^дом"
  expect_results "dialog: caseless Cyrillic regular expression" "b.txt e.txt"
  leave_results
  dialog_search "Words: plain texts" "+ДОМ -сад"
  expect_results "dialog: caseless Cyrillic words" "b.txt"
  leave_results
}

check_utf16() {
  f2l_cd "$F2L_TREE/utf16"
  dialog_search "Plain text" "мир"
  expect_results "dialog: UTF-16 files by their characters, caseless" "le.txt be.txt"
  leave_results
  dialog_search "Regular expression" '^hello\sм'
  expect_results "dialog: a pattern in UTF-16 files" "le.txt be.txt"
  leave_results
}

# set_encodings LIST: the setting "Encodings" typed into Trawlix's configuration dialog,
# opened with Shift+F9 on its entry of the plugin commands menu.
set_encodings() {
  local label="Encodings of files without a byte order mark:"
  f2l_panels
  f2l_keys F11
  f2l_wait "Plugin commands" && f2l_settle 2 && f2l_menu_pick "Plugin commands" "Trawlix" S-F9 &&
    f2l_wait "$label" && f2l_settle 2 || return 1
  f2l_dialog_field "$label" "$1"
  f2l_settle 1
  f2l_keys Enter
  f2l_wait_gone "$label" 5 || return 1
  # far2l shows the plugin commands menu again.
  f2l_settle 2
  f2l_keys Escape
  f2l_settle 2
}

# In the UTF-8 text model a file that is no valid UTF-8 is read through the code pages the
# setting names, and under "auto" as it is, where its bytes are no Cyrillic.
check_code_page_1251() {
  f2l_cd "$F2L_TREE/cp1251"
  dialog_search "Plain text" "Жук"
  expect_results "code page 1251: under auto only the UTF-8 file holds the word" "utf8.txt"
  leave_results
  set_encodings "1251" || { fail_check "code page 1251: the setting" "no settings dialog"; return; }
  dialog_search "Plain text" "Жук"
  expect_results "code page 1251: found by its word when the setting names 1251" \
    "utf8.txt cp1251.txt"
  leave_results
  set_encodings "auto" || fail_check "code page 1251: the setting back to auto" "no settings dialog"
}

# The stored mode is plain text, subfolders included, case ignored (the last dialog).
check_command_prefix() {
  f2l_cd "$F2L_TREE/find"
  f2l_command "ff:zeta"
  expect_results "ff: ASCII text" "c.txt"
  leave_results
  f2l_command "ff:стоит"
  expect_results "ff: Cyrillic text" "b.txt"
  leave_results
}

check_f7() {
  f2l_cd "$F2L_TREE/find"
  f2l_command "ff:alpha"
  f2l_wait "Found files" && f2l_settle 3
  # The entries sort by name: "..", then a.txt.
  f2l_keys Home Down
  f2l_settle 2
  f2l_keys F7
  f2l_settle 4
  local panel
  panel=$(left_panel)
  expect "F7: the entry under the cursor leaves the list" lacks "/a\.txt( |│)" "$panel"
  expect "F7: the other entries stay" has "/c\.txt( |│)" "$panel"
  expect_equal "F7: the count follows" 2 "$(listed_count)"
  expect "F7: the file itself stays on disk" test -f "$F2L_TREE/find/a.txt"
  leave_results
}

check_replace() {
  f2l_cd "$F2L_TREE/replace"
  open_trawlix_dialog Replace || { fail_check "replace: dialog" "no replace dialog"; return; }
  f2l_wait "Replace with:"
  f2l_dialog_field "File masks:" "*.txt"
  f2l_dialog_field "Search for:" "(кот)"
  f2l_dialog_field "Replace with:" '\U$1!'
  f2l_check_box "Regular expression" on
  f2l_check_box "Current folder only" on
  for box in "List changed files" "Confirm each file" "Confirm each match" "Keep a .old backup"; do
    f2l_check_box "$box" off
  done
  f2l_settle 2
  f2l_keys Enter
  f2l_wait_gone "Replace with:" 10
  f2l_settle 5
  expect_file_bytes "replace: \\U on Cyrillic groups, whole letters" "$F2L_TREE/replace/r1.txt" \
    'КОТ! и пёс, КОТ!\n'
  expect_file_bytes "replace: a file without a match is left alone" "$F2L_TREE/replace/r2.txt" \
    'собака\n'
}

check_escape() {
  f2l_cd "$F2L_TREE/big"
  dialog_search "Plain text" "xyz"
  if ! f2l_wait "Files tested" 10; then
    fail_check "Escape: the walk shows its progress" "no progress message"
    return
  fi
  f2l_keys Escape
  local start=$SECONDS
  if f2l_wait "Found files" 5; then
    pass_check "Escape: the walk stops at once"
    f2l_settle 3
    local count
    count=$(listed_count)
    expect "Escape: the files found so far are listed, not all 6000 (${count:-none})" \
      test "${count:-0}" -gt 0 -a "${count:-0}" -lt 6000
  else
    fail_check "Escape: the walk stops at once" "still walking $((SECONDS - start)) s after Escape"
    f2l_wait "Found files" 120
  fi
  leave_results
}

check_long_path() {
  f2l_cd "$F2L_TREE/long"
  dialog_search "Plain text" "needle"
  expect_results "long path: the file that fits is listed" "short.txt"
  expect "long path: the panel's title counts the one left out" \
    has "Found files \(1 more not listed: path too long\)" "$(left_panel)"
  expect "long path: no cut name is listed" lacks "ddd/hit" "$(left_panel)"
  leave_results
}

check_settings_kept() {
  f2l_cd "$F2L_TREE/find"
  dialog_search "Words: regular expressions" "kept-text" off "Current folder only"
  f2l_wait "Found files" 10 && f2l_settle 2
  leave_results
  f2l_restart "$F2L_TREE/find" || { fail_check "settings: far2l restart" "no restart"; return; }
  expect "settings: the store is in far2l's profile" \
    test -f "$F2L_PROFILE/.config/plugins/quarix/Quarix.reg"
  open_trawlix_dialog Trawlix
  local dialog
  dialog=$(f2l_screen)
  expect "settings: the search text survives a restart" has "kept-text" "$dialog"
  expect "settings: the mode survives a restart" has "\(•\) Words: regular expressions" "$dialog"
  expect "settings: the scope survives a restart" has "\(•\) Current folder only" "$dialog"
  f2l_keys Escape
}

# far2l reads language files as UTF-8 only: the Russian one, kept in CP866 for the other
# hosts, is converted by the build.
check_russian() {
  F2L_ARGS="-set:Language.Main=Russian -set:Language.Help=Russian" f2l_restart "$F2L_TREE" ||
    { fail_check "Russian: far2l restart" "no restart"; return; }
  # The menu's texts are not checked: far2l keeps a plugin's menu texts in its plugin
  # cache, so they change language only when the module changes.
  f2l_keys F11
  f2l_wait "Trawlix" && f2l_settle 2
  f2l_menu_pick "Команды внешних модулей" "Trawlix"
  expect_screen "Russian: the search dialog's labels" "Маски файлов:"
  expect "Russian: the search text's label" has "Искать:" "$(f2l_screen)"
  f2l_keys F1
  expect_screen "Russian: the help file's topic" "Trawlix: поиск в файлах"
  f2l_keys Escape
  f2l_settle 2
  f2l_keys Escape
  f2l_restart "$F2L_TREE"
}

run_trawlix_checks() {
  make_trawlix_tree
  check_plugins_load
  check_help
  check_dialog_modes
  check_utf16
  check_code_page_1251
  check_command_prefix
  check_f7
  check_replace
  check_long_path
  check_escape
  check_settings_kept
  check_russian
}
