#!/usr/bin/env bash
# Lists a generated tree of UTF-8, UTF-16LE and UTF-16BE files, with and without byte order
# marks, with quarix (UTF-8 text model) and with `rg -l --crlf` (CR LF ends a line, as in
# quarix; the tree holds no lone CR), which decodes files with a UTF-16
# mark too, for each question both can ask, and fails when a list differs.
#
# usage: tests/peer/rg_encodings.sh [BUILD_DIR]     (default build/debug)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/debug}
quarix=$(realpath "$build/bin/quarix")
command -v rg >/dev/null || { echo "ripgrep is missing (scripts/setup.sh ripgrep)" >&2; exit 2; }
work=$(realpath "$(mktemp -d)")
trap "rm -rf \"$work\"" EXIT
export QUARIX_REGISTRY=$work/registry QUARIX_TEXT=utf-8 LC_ALL=C.UTF-8
tree=$work/tree

python3 - "$tree" <<'PY'
import os, random, sys
root = sys.argv[1]
lines = ["hello world", "Hello Мир", "жук и ЖУК", "naïve café", "tab\tend", "x" * 70,
         "a\u20acb", "emoji \U0001F600 here", "", "last line"]
encodings = {
    "utf8": lambda t: t.encode("utf-8"),
    "utf8-bom": lambda t: b"\xef\xbb\xbf" + t.encode("utf-8"),
    "utf16le-bom": lambda t: b"\xff\xfe" + t.encode("utf-16-le"),
    "utf16be-bom": lambda t: b"\xfe\xff" + t.encode("utf-16-be"),
    "utf16le": lambda t: t.encode("utf-16-le"),
    "utf16be": lambda t: t.encode("utf-16-be"),
}
random.seed(31)
for n in range(120):
    chosen = random.sample(lines, random.randint(1, 4))
    end = random.choice(["\n", "\r\n"])
    text = end.join(chosen) + random.choice(["", end])
    name = random.choice(list(encodings))
    folder = os.path.join(root, "d%d" % (n % 7))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%03d-%s.txt" % (n, name)), "wb") as f:
        f.write(encodings[name](text))
PY

failed=0 checked=0
# quarix's options and rg's for one question.
check() {
  local qopts=$1 ropts=$2
  # shellcheck disable=SC2086
  "$quarix" search "$tree" --scope tree --mask "*" --no-inverse $qopts -0 2>/dev/null |
    tr '\0' '\n' | sort >"$work/q" || true
  # shellcheck disable=SC2086
  rg -l -uuu -j1 --crlf $ropts "$tree" 2>/dev/null | tr -d "\r" | sort >"$work/r" || true
  checked=$((checked + 1))
  if ! cmp -s "$work/q" "$work/r"; then
    failed=$((failed + 1))
    echo "DIFFERENT: quarix $qopts / rg $ropts"
    diff "$work/q" "$work/r" | head -5 || true
  fi
}
for text in hello Hello Мир жук ЖУК naïve "a€b" "\U0001F600" "last"; do
  printf -v shown '%b' "$text"
  check "--mode plain --case --text $shown" "-F -s -e $shown"
  check "--mode plain --no-case --text $shown" "-F -i -e $shown"
done
# No question about empty lines: rg takes NUL bytes for line ends in what it deems binary
# (UTF-16 without a mark), which quarix does not.
for pattern in '^hello' 'world$' '^last$' 'ж\w+' 'М.р' '^\S+\tend' 'x{70}' '\bcafé\b'; do
  check "--mode regex --case --text $pattern" "-s -e $pattern"
  check "--mode regex --no-case --text $pattern" "-i -e $pattern"
  check "--mode regex --case --inverse --text $pattern" "-s --files-without-match -e $pattern"
done
echo "rg peer check: $checked questions, $failed different"
[ "$failed" -eq 0 ]
