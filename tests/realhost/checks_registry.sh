# The settings that the plugins leave below the host's plugin key (read after the host
# has quit, from the prefix's registry file).

# settings_section: our settings as user.reg writes a key: its header, then one line per
# value ("Name"="text" or "Name"=dword:...). The native Far 3 modules keep them in Far 3's
# database of Trawlix's GUID (in the profile's PluginsData); the others in our key.
settings_section() {
  if [ "$RH_NATIVE" != 1 ]; then host_reg_section "$RH_REG_KEY"; return; fi
  python3 - "$RH_DRIVE_D/profile/PluginsData" <<'PY'
import glob, os, sqlite3, sys
guid = "10252036-ec78-4987-9495-0dc5af48dceb"
for path in glob.glob(os.path.join(sys.argv[1], "*.db")):
    if guid not in os.path.basename(path).lower():
        continue
    db = sqlite3.connect(path)
    print("[" + guid + "]")
    for name, value in db.execute(
            "SELECT v.name, v.value FROM table_values v JOIN table_keys k ON v.key_id = k.id "
            "WHERE lower(k.name) = ?", (guid,)):
        if isinstance(value, int):
            print('"%s"=dword:%08x' % (name, value & 0xFFFFFFFF))
        else:
            text = value.decode("utf-16-le") if isinstance(value, bytes) else value
            print('"%s"="%s"' % (name, text.rstrip("\0").replace("\\", "\\\\")))
PY
}

# reg_value NAME: the value NAME of our settings as user.reg writes it ("text" or dword:...).
reg_value() {
  settings_section | sed -n "s/^\"$1\"=//p"
}

check_registry() {
  local key; key=$(settings_section)
  expect "registry: the settings of $RH_HOST exist" has "^\[" "$key"
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
