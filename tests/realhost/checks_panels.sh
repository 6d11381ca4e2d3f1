# Trawlix from the panels: its menu entries, the search dialog and its scopes, the
# pattern error, the configuration dialog.

open_plugin_menu() {
  back_to_panels
  host_keys F11
  host_wait "Plugin commands" "$RH_WAIT" && host_settle 5
}

open_search_dialog() {
  open_plugin_menu && host_menu_pick "Plugin commands" "Trawlix" && host_wait "File masks:" "$RH_WAIT" && host_settle 5
}

open_replace_dialog() {
  open_plugin_menu && host_menu_pick "Plugin commands" "Replace" && host_wait "Replace with:" "$RH_WAIT" && host_settle 5
}

open_config_dialog() {
  back_to_panels
  host_keys M-S-F9
  host_wait "Plugins configuration" "$RH_WAIT" &&
    host_menu_pick "Plugins configuration" "Trawlix" && host_wait "Lines in a window:" "$RH_WAIT" && host_settle 5
}

# go_to_folder PATH: the active panel shows the folder PATH (a D:\ path).
go_to_folder() {
  back_to_panels
  host_type "cd $1"
  host_keys Enter
  host_wait "${1##*\\}" "$RH_WAIT"
  host_settle 10
}

# leave_results_panel: close the results panel through its ".." entry.
leave_results_panel() {
  host_keys Home Enter
  host_wait_gone "Found files" "$RH_WAIT"
  host_settle 10
}

check_plugin_menus() {
  open_plugin_menu
  local items
  items=$(host_menu_items "Plugin commands")
  expect "plugins menu: the file search entry" has "Trawlix" "$items"
  expect "plugins menu: the file replace entry" has "Replace" "$items"
  expect "plugins menu: no editor entry on the panels" lacks "Repeat the last search" "$items"
  host_keys Escape
  back_to_panels
  host_keys M-S-F9
  host_wait "Plugins configuration" "$RH_WAIT"
  expect "configuration menu: the Trawlix entry" has "Trawlix" "$(host_menu_items "Plugins configuration")"
  host_keys Escape
}

check_search_dialog_help() {
  open_search_dialog
  expect_help "help: search dialog" FileSearchDlg
  host_keys Escape
}

check_replace_dialog_help() {
  open_replace_dialog
  expect_help "help: replace dialog" FileReplaceDlg
  host_keys Escape
}

check_pattern_error() {
  open_search_dialog
  fill_field "Search for:" 'a(b'
  pick_radio "Regular expression"
  host_keys Enter
  expect_screen "search dialog: a bad pattern is refused with the pattern error" "RegExp error"
  expect "search dialog: the error shows the pattern" has "a\\(b" "$(host_screen)"
  expect_help "help: pattern error" RegExpError
  host_keys Enter
  expect_screen "search dialog: back after the pattern error, the pattern kept" "a(b"
  host_keys Escape
}

check_config_dialog() {
  open_config_dialog
  expect_help "help: configuration dialog" QXCfg
  fill_field_beside "Lines in a window:" 0
  host_keys Enter
  expect_screen "configuration: 0 lines refused" "The number is not valid or out of range"
  expect_help "help: invalid number message" QXInvalidNumber
  host_keys Enter
  expect_screen "configuration: the dialog again after the refusal" "Lines in a window:"
  fill_field_beside "Read whole files up to:" 131072
  fill_field_beside "Lines in a window:" 7
  host_keys Enter
  expect_screen "configuration: a limit above 131071 refused" "The number is not valid or out of range"
  host_keys Enter
  fill_field_beside "Read whole files up to:" 2048
  host_keys Enter
  expect "configuration: valid numbers accepted" host_wait_gone "Lines in a window:" "$RH_WAIT"
  host_keys Escape
}

# search_in_scope SCOPE: search *.txt for "needle" as plain text in SCOPE (a radio label).
search_in_scope() {
  open_search_dialog
  fill_field "File masks:" '*.txt'
  fill_field "Search for:" needle
  pick_radio "Plain text"
  set_check "Files without the text" off
  pick_radio "$1"
  host_keys Enter
  host_wait "Found files" "$RH_WAIT"
  host_settle 10
}

check_scope_current_folder_only() {
  go_to_folder 'D:\tree\scope'
  search_in_scope "Current folder only"
  local shown; shown=$(host_screen)
  expect "scope current folder only: finds the folder's file" has "top.txt" "$shown"
  expect "scope current folder only: no file of a subfolder" lacks "deep.txt|deeper.txt|plain.txt" "$shown"
  leave_results_panel
}

check_scope_selected_folders() {
  go_to_folder 'D:\tree\scope'
  # sorted by name, folders first: "..", sub1, sub2, ...
  host_keys Home Down Insert
  search_in_scope "Selected folders"
  local shown; shown=$(host_screen)
  expect "scope selected folders: finds the file in the selected folder" has "deep.txt" "$shown"
  expect "scope selected folders: nothing outside it" lacks "deeper.txt|top.txt" "$shown"
  leave_results_panel
}

# Far 3 lists the names in UTF-16 while the 1.x plugins speak OEM 437: the files whose
# names it spells are found, the others counted in the results panel's title.
# The folder is searched as the selected one from its parent: the panels never show the
# CJK name, whose double-width characters would shift the terminal's rows.
check_names_outside_the_code_page() {
  go_to_folder 'D:\tree'
  # sorted by name, folders first: "..", answers, edit, names, ...
  host_keys Home Down Down Down Insert
  search_in_scope "Selected folders"
  local shown; shown=$(host_screen)
  expect "names: the file whose name OEM 437 spells is found" has "café.txt" "$shown"
  expect "names: the plain file is found" has "plain.txt" "$shown"
  expect "names: no look-alike of the others" lacks "日本|Жук|\\?\\?" "$shown"
  expect "names: the title counts the two names left out" has "\\(2 names skipped" "$shown"
  leave_results_panel
}
