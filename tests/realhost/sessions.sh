# The order of the checks in one host: one English session (most checks), the registry
# it leaves, one Russian session.

run_english_checks() {
  check_plugin_menus
  check_search_dialog_help
  check_replace_dialog_help
  check_pattern_error
  check_config_dialog
  check_scope_current_folder_only
  check_scope_selected_folders
  [ "$RH_HOST" != far3 ] || check_names_outside_the_code_page
  check_replace_answers
  check_replace_stop
  check_editor_menu
  check_editor_replace
  check_editor_backward_in_block
}

run_russian_checks() {
  check_russian_dialogs
}
