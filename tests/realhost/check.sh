# The record of checks: each check names itself, passes or fails; a failure keeps the
# screen as it was in $RH_WORK/failed/HOST-NAME.txt and says why.
RH_PASSED=0
RH_FAILED=0

# pass_check NAME
pass_check() {
  RH_PASSED=$((RH_PASSED + 1))
  printf '  ok    %s\n' "$1"
}

# fail_check NAME WHY
fail_check() {
  local file
  RH_FAILED=$((RH_FAILED + 1))
  file=$RH_WORK/failed/$RH_HOST-$(printf '%s' "$1" | tr -c 'A-Za-z0-9._-' '_').txt
  mkdir -p "$RH_WORK/failed"
  host_screen >"$file"
  printf '  FAIL  %s: %s (screen: %s)\n' "$1" "$2" "$file"
}

# expect NAME COMMAND...: passes when COMMAND succeeds.
expect() {
  local name=$1; shift
  local what="$*"
  if "$@"; then pass_check "$name"; else fail_check "$name" "failed: ${what:0:100}"; fi
}

# expect_screen NAME TEXT [SECONDS]: passes when TEXT shows up on the screen in time.
expect_screen() {
  if host_wait "$2" "${3:-$RH_WAIT}"; then pass_check "$1"
  else fail_check "$1" "\"$2\" not on the screen after ${3:-$RH_WAIT} s"; fi
}

# expect_equal NAME EXPECTED ACTUAL
expect_equal() {
  if [ "$2" = "$3" ]; then pass_check "$1"
  else fail_check "$1" "expected '$2', got '$3'"; fi
}

# expect_file_bytes NAME FILE EXPECTED: the file's content is exactly EXPECTED (a printf format).
expect_file_bytes() {
  local want got
  want=$(printf "$3" | od -An -c | tr -s ' \n' ' ')
  if [ -f "$2" ]; then got=$(od -An -c "$2" | tr -s ' \n' ' '); else got="(no file)"; fi
  expect_equal "$1" "$want" "$got"
}

# has REGEX TEXT / lacks REGEX TEXT: for expect, on a text taken from the screen.
has() { grep -qE -- "$1" <<<"$2"; }
lacks() { ! grep -qE -- "$1" <<<"$2"; }
