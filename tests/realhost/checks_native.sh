# What only the native Far 3 modules can pass: editor lines in any script, saved back with
# every character Linquo did not replace as it was.

# The console under test (Wine's, drawn in tmux) gives a CJK character one cell where the
# terminal gives it two: a row showing one scrolls the screen. So the CJK characters stand
# at the start of lines the editor never shows from their start: line 60 and 61, whose
# matches lie 130 columns to the right, beyond a screen's width.
native_lines() {
  local pad; pad=$(printf '%130s' '')
  for i in $(seq 1 59); do printf 'line %s\r\n' "$i"; done
  printf '日本語 ÿ 😀%sЖук ÿ 😀 %s\r\n' "$pad" "$1"
  printf '日本語%s%s\r\n' "$pad" "$1"
}

# make_native_files DIR: the same lines in UTF-8 with and without a byte order mark and in
# UTF-16LE with one.
make_native_files() {
  mkdir -p "$1"
  native_lines foo >"$1/utf8.txt"
  { printf '\357\273\277'; native_lines foo; } >"$1/utf8bom.txt"
  { printf '\377\376'; native_lines foo | iconv -f UTF-8 -t UTF-16LE; } >"$1/utf16.txt"
}

# native_editor_replace FILE: Linquo replaces "foo" with "bar" in FILE (a name in
# D:\tree\native), answering All, and the file is saved.
native_editor_replace() {
  open_editor "D:\\tree\\native\\$1"
  host_keys C-Home
  editor_replace foo bar
  host_keys Enter
  answer_editor_questions 1
  host_keys F2
  host_settle 5
  host_keys Escape
  host_settle 5
}

check_native_editor_replace() {
  local dir=$RH_DRIVE_D/tree/native want
  make_native_files "$dir"
  native_editor_replace utf8.txt
  want=$(native_lines bar | od -An -v -tx1 | tr -d ' \n')
  expect_equal "native editor replace: UTF-8 lines keep their CJK, Cyrillic, ÿ and emoji" \
    "$want" "$(od -An -v -tx1 "$dir/utf8.txt" | tr -d ' \n')"
  native_editor_replace utf8bom.txt
  expect_equal "native editor replace: the same with a byte order mark" \
    "efbbbf$want" "$(od -An -v -tx1 "$dir/utf8bom.txt" | tr -d ' \n')"
  native_editor_replace utf16.txt
  want=$(native_lines bar | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')
  expect_equal "native editor replace: the same in UTF-16LE" \
    "fffe$want" "$(od -An -v -tx1 "$dir/utf16.txt" | tr -d ' \n')"
}

# selected_text: the text shown as the editor's selected block, on whichever row it is.
selected_text() {
  local row
  for row in $(seq 2 34); do host_colored_text "$row"; done | tr -d '\n'
}

# A typed Cyrillic word is found where it stands, after CJK characters, an emoji (two
# UTF-16 units) and 130 spaces.
check_native_editor_search() {
  open_editor 'D:\tree\native\utf8.txt'
  host_keys C-Home
  open_editor_menu
  host_menu_pick "Plugin commands" "Trawlix"
  host_wait "Search for:" "$RH_WAIT"
  host_settle 5
  fill_field "Search for:" "Жук"
  set_check "Regular expression" off
  set_check "Search backward" off
  host_keys Enter
  host_settle 5
  expect_equal "native editor search: the typed Жук is selected" "Жук" "$(selected_text)"
  host_keys Escape
  host_settle 5
}

# The settings' check first: it reads what the first start found.
run_native_checks() {
  check_native_settings_migrated
  check_native_editor_replace
  check_native_editor_search
  check_native_names
  check_native_long_path
}

# plant_old_settings: the key where the 1.x modules kept their settings in Far 3 gets a
# mask and a text (in the OEM code page: "café" is caf\x82 in code page 437; Wine keeps
# what RegSetValueExA wrote as the ANSI reading of those bytes, U+201A for \x82), as a
# user of the 1.x modules would have them. Wine must not be running.
OLD_KEY_LINES='"FMask"="*.planted"
"FText"=hex(1):63,00,61,00,66,00,1a,20,00,00'
plant_old_settings() {
  local reg=${WINEPREFIX:-$RH_WORK/prefix}/user.reg
  [ -f "$reg" ] || return 1
  printf '\n[%s] 1700000000\n%s\n' "$RH_REG_KEY" "$OLD_KEY_LINES" >>"$reg"
}

# On the first start the native modules read what the old key holds.
check_native_settings_migrated() {
  open_search_dialog
  expect_screen "native settings: the mask of the old key read on the first start" "*.planted"
  expect_screen "native settings: the old key's OEM text decoded" "café"
  back_to_panels
}

# After the session: the old key is left as it was (Wine may write its values in another
# form when it saves the registry), the store has taken its place.
check_old_key_kept() {
  local key; key=$(host_reg_section "$RH_REG_KEY")
  expect_equal "native settings: the old key keeps its two values" "FMask FText" \
    "$(sed -n 's/^"\([^"]*\)"=.*/\1/p' <<<"$key" | sort | tr '\n' ' ' | sed 's/ $//')"
  expect_equal "native settings: the old key's mask unchanged" '"*.planted"' \
    "$(sed -n 's/^"FMask"=//p' <<<"$key")"
  expect "native settings: the old key's text unchanged" has '^"FText"=.*(1a,20|x201a)' "$key"
}

# Names in any script: Far 3 hands the native modules every name in UTF-16 and they keep it
# whole. Cyrillic and accented names are listed and opened from the results panel; names
# of CJK characters and an emoji (which this console cannot show in their width, see
# above) lie in a subfolder no panel lists, and are searched and rewritten under their
# own names, their files compared.
make_native_names() {
  local shown=$RH_DRIVE_D/tree/native-names f
  mkdir -p "$shown/wide"
  for f in Жук café plain; do printf 'a needle here\r\n' >"$shown/$f.txt"; done
  for f in 日本 😀 plain; do printf 'a needle here\r\n' >"$shown/wide/$f.txt"; done
}

check_native_names() {
  make_native_names
  go_to_folder 'D:\tree\native-names'
  search_in_scope "Current folder only"
  local shown; shown=$(host_screen)
  expect "native names: the Cyrillic name is listed" has "Жук\\.txt" "$shown"
  expect "native names: the accented name is listed" has "café\\.txt" "$shown"
  expect "native names: the plain name is listed" has "plain\\.txt" "$shown"
  expect "native names: no name counted as left out" lacks "names skipped" "$shown"
  open_result "Жук.txt"
  expect "native names: the Cyrillic file opens from the results panel" \
    has "a needle here" "$(host_screen)"
  host_keys Escape
  host_settle 5
  leave_results_panel
  check_native_prefix
  replace_in_folder needle found "Current folder and subfolders"
  local f
  for f in 日本 😀 plain; do
    expect_file_bytes "native names: $f.txt rewritten under its own name" \
      "$RH_DRIVE_D/tree/native-names/wide/$f.txt" 'a found here\r\n'
  done
  expect_file_bytes "native names: Жук.txt rewritten under its own name" \
    "$RH_DRIVE_D/tree/native-names/Жук.txt" 'a found here\r\n'
  go_to_folder 'D:\tree'
}

# open_result NAME: the editor (F4) on the results panel's entry NAME, the fourth after "..":
# the entries are sorted by their paths, and Cyrillic sorts after Latin.
open_result() {
  host_keys Home Down Down Down
  host_settle 3
  expect "native names: the cursor on $1" has "$1" "$(host_screen | tail -4)"
  host_keys F4
  host_wait "$1" "$RH_WAIT"
  host_settle 5
}

# replace_in_folder SEARCH REPLACEMENT SCOPE: the replace dialog in the active panel's
# folder, *.txt, plain text, without questions, list or backups.
replace_in_folder() {
  open_replace_dialog
  fill_field "File masks:" '*.txt'
  fill_field "Search for:" "$1"
  fill_field "Replace with:" "$2"
  pick_radio "Plain text"
  pick_radio "$3"
  set_check "List changed files" off
  set_check "Confirm each file" off
  set_check "Confirm each match" off
  set_check "Keep a .old backup" off
  host_keys Enter
  host_settle 10
}

# The command-line prefix: ff:TEXT searches with the stored settings (those of the search
# just made in this folder) and shows the panel.
check_native_prefix() {
  host_type "ff:needle"
  host_keys Enter
  host_wait "Found files" "$RH_WAIT"
  host_settle 10
  local shown; shown=$(host_screen)
  expect "native prefix: ff: lists the Cyrillic name" has "Жук\\.txt" "$shown"
  expect "native prefix: and the plain one" has "plain\\.txt" "$shown"
  leave_results_panel
}

# A path past Windows' 260 characters: five folders of 60 characters below
# D:\tree\long-paths put beyond260.txt 342 characters deep. It is listed beside a file
# near the top, taken out of the list by F7, and rewritten by a replace.
check_native_long_path() {
  local top=$RH_DRIVE_D/tree/long-paths deep part i
  part=$(printf 'folder-of-sixty-characters-%033d' 0)
  deep=$top
  for i in 1 2 3 4 5; do deep=$deep/$part$i; done
  mkdir -p "$deep"
  printf 'a needle here\r\n' >"$deep/beyond260.txt"
  printf 'a needle here\r\n' >"$top/near.txt"
  go_to_folder 'D:\tree\long-paths'
  search_in_scope "Current folder and subfolders"
  local shown; shown=$(host_screen)
  expect "native long path: the file 342 characters deep is listed" has "beyond260\\.txt" "$shown"
  expect "native long path: beside the near one" has "near\\.txt" "$shown"
  # F7 on the deep entry (the first after "..": the entries are sorted by their paths) takes
  # it out: the panel hands the whole path back, which names the entry.
  host_keys Home Down
  host_settle 3
  host_keys F7
  host_settle 5
  shown=$(host_screen)
  expect "native long path: F7 takes the deep entry out" lacks "beyond260\\.txt" "$shown"
  expect "native long path: and keeps the near one" has "near\\.txt" "$shown"
  leave_results_panel
  replace_in_folder needle found "Current folder and subfolders"
  expect_file_bytes "native long path: the deep file rewritten" "$deep/beyond260.txt" 'a found here\r\n'
  expect_file_bytes "native long path: the near file rewritten" "$top/near.txt" 'a found here\r\n'
  go_to_folder 'D:\tree'
}
