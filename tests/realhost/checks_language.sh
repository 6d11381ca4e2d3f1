# The Russian language file: every dialog of ours shows its Russian texts, unbroken.
# The host runs in a Russian locale (OEM code page 866, the file's code page) with its
# interface language set to Russian; the native Far 3 modules, whose files are UTF-8, in
# the default locale (OEM code page 437), where a code page 866 file would be unreadable.

# expect_texts NAME LANG N...: messages N... of language LANG are all on the screen.
expect_texts() {
  local name=$1 lang=$2 n text missing="" shown
  shift 2
  shown=$(host_screen)
  for n in "$@"; do
    text=$(lng_text "$lang" "$n")
    [ -n "$text" ] && grep -qF -- "$text" <<<"$shown" || missing+=" $n (\"$text\")"
  done
  if [ -z "$missing" ]; then pass_check "$name"
  else fail_check "$name" "not shown: message$missing"; fi
}

# start_host_in_russian: Russian locale (compiled into the work folder, the machine's
# own locales are not touched), then the host's language switched to Russian.
start_host_in_russian() {
  local loc=$RH_WORK/../locale
  if [ "$RH_NATIVE" = 1 ]; then start_host && switch_language Russian; return; fi
  if [ ! -d "$loc/ru_RU.UTF-8" ]; then
    mkdir -p "$loc"
    localedef -i ru_RU -f UTF-8 "$loc/ru_RU.UTF-8" 2>/dev/null ||
      { echo "  localedef could not make ru_RU.UTF-8" >&2; return 1; }
  fi
  LOCPATH=$(cd "$loc" && pwd) LANG=ru_RU.UTF-8 start_host && switch_language Russian
}

check_russian_dialogs() {
  back_to_panels
  host_keys F11
  host_settle 10
  expect_texts "Russian: plugins menu" Rus 7 8
  pick_menu_item "$(lng_text Rus 7)"
  host_wait "$(lng_text Rus 9)" "$RH_WAIT"
  expect_texts "Russian: search dialog" Rus 7 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 0 1
  host_keys Escape
  back_to_panels
  host_keys F11
  host_settle 10
  pick_menu_item "$(lng_text Rus 8)"
  host_wait "$(lng_text Rus 42)" "$RH_WAIT"
  expect_texts "Russian: replace dialog" Rus 8 9 41 42 11 12 13 15 18 19 20 21 22 26 27 28 29 0 1
  host_keys Escape
  back_to_panels
  host_keys M-S-F9
  host_settle 10
  pick_menu_item "$(lng_text Rus 7)"
  host_wait "$(lng_text Rus 34)" "$RH_WAIT"
  expect_texts "Russian: configuration dialog" Rus 7 34 35 36 37 38 39 0 1
  fill_field_beside "$(lng_text Rus 34)" 0
  host_keys Enter
  host_wait "$(lng_text Rus 40)" "$RH_WAIT"
  expect_texts "Russian: invalid number message" Rus 40
  host_keys Enter Escape
  open_editor 'D:\tree\edit\block.txt'
  host_keys F11
  host_settle 10
  expect_texts "Russian: editor menu" Rus 7 8 45
  pick_menu_item "$(lng_text Rus 7)"
  host_wait "$(lng_text Rus 43)" "$RH_WAIT"
  expect_texts "Russian: editor search dialog" Rus 7 41 13 11 43 44 49 1
  host_keys Escape
  host_keys F11
  host_settle 10
  pick_menu_item "$(lng_text Rus 8)"
  host_wait "$(lng_text Rus 42)" "$RH_WAIT"
  expect_texts "Russian: editor replace dialog" Rus 8 41 42 13 11 43 50 1
  host_keys Escape
  host_settle 5
  host_keys Escape
}
