# What only the native Far 3 modules can pass: editor lines in any script, saved back with
# every character Linquo did not replace as it was.

# make_native_files DIR: the same line in UTF-8 with and without a BOM, and a UTF-16LE one.
make_native_files() {
  mkdir -p "$1"
  printf 'first\r\nfoo 日本語 Жук ÿ 😀 foo\r\n' >"$1/utf8.txt"
  printf '\357\273\277first\r\nfoo 日本語 Жук ÿ 😀 foo\r\n' >"$1/utf8bom.txt"
  { printf '\377\376'; printf 'hello мир\r\n' | iconv -f UTF-8 -t UTF-16LE; } >"$1/utf16.txt"
}

# native_editor_replace FILE SEARCH REPLACEMENT: Linquo replaces every SEARCH in FILE (a
# name in D:\tree\native) with "All", and the file is saved.
native_editor_replace() {
  open_editor "D:\\tree\\native\\$1"
  host_keys C-Home
  editor_replace "$2" "$3"
  host_keys Enter
  answer_editor_questions 1
  host_keys F2
  host_settle 5
  host_keys Escape
  host_settle 5
}

check_native_editor_replace() {
  local dir=$RH_DRIVE_D/tree/native
  make_native_files "$dir"
  native_editor_replace utf8.txt foo bar
  expect_file_bytes "native editor replace: a UTF-8 line keeps its CJK, Cyrillic, ÿ and emoji" \
    "$dir/utf8.txt" 'first\r\nbar 日本語 Жук ÿ 😀 bar\r\n'
  native_editor_replace utf8bom.txt foo bar
  expect_file_bytes "native editor replace: the same with a byte order mark" \
    "$dir/utf8bom.txt" '\357\273\277first\r\nbar 日本語 Жук ÿ 😀 bar\r\n'
  native_editor_replace utf16.txt hello bye
  expect_equal "native editor replace: a UTF-16LE line keeps its Cyrillic" \
    "fffe62007900650020003c0438044004" "$(head -c 16 "$dir/utf16.txt" | od -An -tx1 | tr -d ' \n')"
}

# A typed Cyrillic word is found where it stands, after CJK characters of double width.
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
  expect_equal "native editor search: the typed Жук is selected" "Жук" "$(host_colored_text 3)"
  host_keys Escape
  host_settle 5
}

run_native_checks() {
  check_native_editor_replace
  check_native_editor_search
}
