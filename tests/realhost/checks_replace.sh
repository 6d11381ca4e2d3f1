# Trawlix's replace command through its dialog: the file question and the match question
# answered with each button, the backups, the list of rewritten files, the files' bytes.

# question_on_screen: "file NAME" or "match NAME TEXT" for the question on the screen
# (NAME: the file's name, TEXT: the matched text), nothing when there is none.
question_on_screen() {
  host_screen | python3 -c '
import re, sys
rows = sys.stdin.read().split("\n")
def boxed(i, marker, row):
    col = rows[i].index(marker)
    left, right = rows[i].rfind("\u2551", 0, col), rows[i].find("\u2551", col)
    return row[left + 1:right].strip()
def name_after(i):
    for r in rows[i + 1:i + 3]:
        m = re.search(r"D:\\\S*?([^\\\s\u2551\u2502]+)(\s|\u2551|\u2502|$)", r)
        if m: return m.group(1)
    return "?"
for i, r in enumerate(rows):
    if "Replace in this file?" in r:
        print("file", name_after(i)); break
    if "Replace the text" in r:
        text = boxed(i, "Replace the text", rows[i + 1])
        j = next((k for k in range(i, min(i + 8, len(rows))) if "in the file" in rows[k]), i)
        print("match", name_after(j), text); break
'
}

# answer_questions ANSWERS...: answers each question of the running replace with the
# button of the first matching "WHAT=BUTTON" (WHAT: "file NAME", "match NAME TEXT" or
# "#N", the Nth question of the run; BUTTON: 0-3, esc, or h0-h3: F1 first, then the
# button); ends when the run is over. The questions asked are in RH_ASKED, one a line.
answer_questions() {
  local q last="" a button n=0 end=$((SECONDS + 5 * RH_WAIT))
  RH_ASKED=""
  while [ $SECONDS -lt $end ]; do
    q=$(question_on_screen)
    if [ -z "$q" ] || [ "$q" = "$last" ]; then
      if [ -z "$q" ] && host_screen | grep -qE "Found files|1Help.*2UserMn"; then
        host_settle 3; [ -z "$(question_on_screen)" ] && return 0
      fi
      sleep 0.5; continue
    fi
    RH_ASKED+="$q"$'\n'
    n=$((n + 1)) button=""
    for a in "$@"; do
      [ "${a%=*}" = "$q" ] || [ "${a%=*}" = "#$n" ] && { button=${a##*=}; break; }
    done
    [ -n "$button" ] || { echo "  unexpected question: $q" >&2; button=esc; }
    case $button in
      esc) host_keys Escape ;;
      h*) expect_help "help: ${q%% *} question" "$(help_topic_of "$q")"; press_button "${button#h}" ;;
      *) press_button "$button" ;;
    esac
    last=$q
  done
  echo "  the replace run did not end" >&2
  return 1
}

# help_topic_of QUESTION: the help topic of a replace question.
help_topic_of() { case $1 in file*) echo FRConfirmFile ;; *) echo FRAskReplace ;; esac; }

# run_replace FOLDER: the replace dialog in D:\tree\FOLDER: *.txt, pattern "cat\d" to
# "dog", line by line, current folder only, with the list, both questions and backups.
run_replace() {
  go_to_folder "D:\\tree\\$1"
  open_replace_dialog
  fill_field "File masks:" '*.txt'
  fill_field "Search for:" 'cat\d'
  fill_field "Replace with:" dog
  set_check "Case sensitive" off
  pick_radio "Regular expression"
  pick_radio "Current folder only"
  set_check "List changed files" on
  set_check "Confirm each file" on
  set_check "Confirm each match" on
  set_check "Keep a .old backup" on
  host_keys Enter
}

check_replace_answers() {
  local d=$RH_DRIVE_D/tree/answers
  run_replace answers
  answer_questions "file keep.txt=2" "file esc.txt=esc" "file mixed.txt=h0" "file all.txt=0" \
    "match mixed.txt cat1=0" "match mixed.txt cat2=2" "match mixed.txt cat3=h0" \
    "match all.txt cat1=1"
  expect_file_bytes "replace: Skip at the file question leaves the file" "$d/keep.txt" 'cat1 and cat2\r\n'
  expect_file_bytes "replace: Escape at the file question leaves the file" "$d/esc.txt" 'cat1\r\n'
  expect_file_bytes "replace: Replace and Skip at the match questions" "$d/mixed.txt" 'dog one\r\ncat2 two\r\ndog three\r\n'
  expect_file_bytes "replace: All at the match question replaces the rest" "$d/all.txt" 'dog\ndog\ndog\n'
  expect_file_bytes "replace: the backup holds the old bytes" "$d/mixed.txt.old" 'cat1 one\r\ncat2 two\r\ncat3 three\r\n'
  expect_file_bytes "replace: a second backup" "$d/all.txt.old" 'cat1\ncat2\ncat3\n'
  expect "replace: no backup of a skipped file" test ! -e "$d/keep.txt.old"
  expect "replace: no question about a file without a match" lacks "none.txt" "$RH_ASKED"
  expect "replace: one question per match after All" lacks "match all.txt cat2" "$RH_ASKED"
  local shown; shown=$(host_screen)
  expect "replace: the rewritten files listed" has "mixed.txt" "$shown"
  expect "replace: and only those" lacks "keep.txt|esc.txt|none.txt" "$shown"
  leave_results_panel
}

check_replace_stop() {
  local d=$RH_DRIVE_D/tree/stop first second
  run_replace stop
  answer_questions "file first.txt=3" "file second.txt=3"
  expect_equal "replace: Cancel at the file question ends the run" 1 "$(grep -c . <<<"$RH_ASKED")"
  expect_file_bytes "replace: Cancel leaves the first file" "$d/first.txt" 'cat1\r\n'
  expect_file_bytes "replace: Cancel leaves the second file" "$d/second.txt" 'cat1\r\n'
  leave_results_panel
  run_replace stop
  answer_questions "#1=1" "#2=0" "#3=3"
  first=$(sed -n '1s/^file //p' <<<"$RH_ASKED")
  second=first.txt; [ "$first" = first.txt ] && second=second.txt
  expect "replace: after All at the file question the next file is asked about its match only" \
    has "^match $second cat1" "$RH_ASKED"
  expect_equal "replace: one file question after All" 1 "$(grep -c '^file' <<<"$RH_ASKED")"
  expect_file_bytes "replace: the file answered All, then Replace" "$d/$first" 'dog\r\n'
  expect_file_bytes "replace: Cancel at the match question keeps the match" "$d/$second" 'cat1\r\n'
  leave_results_panel
}
