# The settings that the plugins leave below the host's plugin key (read after the host
# has quit, from the prefix's registry file).

# reg_value NAME: the value NAME of our key as user.reg writes it ("text" or dword:...).
reg_value() {
  host_reg_section "$RH_REG_KEY" | sed -n "s/^\"$1\"=//p"
}

check_registry() {
  local key; key=$(host_reg_section "$RH_REG_KEY")
  expect "registry: the key $RH_REG_KEY exists" has "^\[" "$key"
  local name
  for name in FText FMask FSearchIn FSearchAs FCaseSensitive FSInverse \
              DotAsteriskMatchesNoExtension MaskDelimiter MaskNegation ReadAtOnceLimit \
              SeveralLines FRReplace FRSaveOriginal FROpenModified FRConfirmFile FRConfirmLine \
              EText ERegExp ECaseSensitive ERReplace; do
    expect "registry: $name written" has "^\"$name\"=" "$key"
  done
  # the last commands of the session: the file replace, the configuration, Linquo
  expect_equal "registry: FRReplace from the replace dialog" '"dog"' "$(reg_value FRReplace)"
  expect_equal "registry: FText from the replace dialog" '"cat\\d"' "$(reg_value FText)"
  expect_equal "registry: FSearchIn, current folder only" dword:00000003 "$(reg_value FSearchIn)"
  expect_equal "registry: FRSaveOriginal on" dword:00000001 "$(reg_value FRSaveOriginal)"
  expect_equal "registry: SeveralLines from the configuration" dword:00000007 "$(reg_value SeveralLines)"
  expect_equal "registry: ReadAtOnceLimit from the configuration" dword:00000800 "$(reg_value ReadAtOnceLimit)"
  expect_equal "registry: EText from Linquo's last search" '"cat"' "$(reg_value EText)"
  expect_equal "registry: ERReplace from Linquo's last replace" '"bird"' "$(reg_value ERReplace)"
}

# forget_host_settings: remove the host's own registry keys (its settings, histories,
# language and ours; Far 3 keeps its own in its profile folder) from the prefix, so that
# every run starts from the same state.
forget_host_settings() {
  local reg=${WINEPREFIX:-$RH_WORK/prefix}/user.reg
  [ "$RH_HOST" != far175 ] && far3_reset_profile
  [ -f "$reg" ] || return 0
  python3 - "$reg" "$RH_REG_ROOT" <<'PY'
import sys
path, root = sys.argv[1], sys.argv[2].replace("\\\\", "\\").lower()
want = "[" + root.replace("\\", "\\\\")
out, keep = [], True
for line in open(path, encoding="utf-8", errors="surrogateescape"):
    if line.startswith("["):
        k = line.split("]")[0].lower()
        keep = not (k == want or k.startswith(want + "\\\\"))
    if keep:
        out.append(line)
open(path, "w", encoding="utf-8", errors="surrogateescape").writelines(out)
PY
}
