# The test tree on drive D: (D:\tree), made afresh before each session of checks.

# write_file PATH FORMAT: the file's bytes, given as a printf format.
write_file() {
  mkdir -p "$(dirname "$1")"
  printf "$2" >"$1"
}

make_tree() {
  local t=$RH_DRIVE_D/tree
  rm -rf "$t"
  # scopes: a match in the folder itself and one in each subfolder
  write_file "$t/scope/top.txt" 'needle at the top\r\n'
  write_file "$t/scope/plain.txt" 'nothing here\r\n'
  write_file "$t/scope/sub1/deep.txt" 'needle one level down\r\n'
  write_file "$t/scope/sub2/deeper.txt" 'a needle in sub2\r\n'
  # replace: the answers to the file and the match questions, file by file
  write_file "$t/answers/keep.txt" 'cat1 and cat2\r\n'
  write_file "$t/answers/esc.txt" 'cat1\r\n'
  write_file "$t/answers/mixed.txt" 'cat1 one\r\ncat2 two\r\ncat3 three\r\n'
  write_file "$t/answers/all.txt" 'cat1\ncat2\ncat3\n'
  write_file "$t/answers/none.txt" 'no animal here\r\n'
  write_file "$t/stop/first.txt" 'cat1\r\n'
  write_file "$t/stop/second.txt" 'cat1\r\n'
  # the editor
  write_file "$t/edit/lines.txt" 'alpha cat\r\nbeta cat cat\r\ngamma cat\r\ndelta cat\r\n'
  write_file "$t/edit/block.txt" 'cat one cat two\r\ncat three cat four\r\ncat five\r\n'
  # in code page 1252, for the editor's ANSI table (é is E9 there, 82 in OEM 437)
  write_file "$t/edit/ansi.txt" 'le caf\xe9 noir\r\nun caf\xe9\r\n'
  make_names_tree
}

# names the OEM code page 437 of Wine's default locale spells (café) or not (日本, Жук)
make_names_tree() {
  local t=$RH_DRIVE_D/tree/names f
  for f in 日本 Жук café plain; do write_file "$t/$f.txt" 'a needle here\r\n'; done
}
