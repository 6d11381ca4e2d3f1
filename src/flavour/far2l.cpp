// far2l, the Linux port of FAR 2, loading the multibyte-API Trawlix: UTF-8 text, a panel
// record of its own, and a wide-API Linquo.
#include <cstring>

#include "flavour/flavour.h"

namespace flavour {

bool HostTextIsUtf8() { return true; }
// far2l hands multibyte-API plugins editor lines in a single-byte code page: Linquo is a
// wide-API module there.
const char* const kLinquoModuleName = "Linquo.far-plug-wide";
// Our multibyte startup record would be misread by the wide module: it keeps the record
// far2l gave it, reads the settings file as it loads, and ReloadEText alone brings the
// search over.
const bool kLinquoTakesStartupRecord = false;
// far2l gives multibyte-API plugins an empty root key and wide-API ones
// "Software/Far2/Plugins" (a "/" path that would not even open).
const bool kSettingsIgnoreRootKey = true;

bool ConvertToPanelRecord(const platform::FileRecord& record, PanelFindData* panel) {
  std::size_t length = strnlen(record.cFileName, sizeof(record.cFileName));
  if (length >= sizeof(panel->cFileName)) return false;
  std::memset(panel, 0, sizeof(*panel));
  panel->ftCreationTime = {record.ftCreationTime.dwLowDateTime, record.ftCreationTime.dwHighDateTime};
  panel->ftLastAccessTime = {record.ftLastAccessTime.dwLowDateTime,
                             record.ftLastAccessTime.dwHighDateTime};
  panel->ftLastWriteTime = {record.ftLastWriteTime.dwLowDateTime,
                            record.ftLastWriteTime.dwHighDateTime};
  panel->nFileSize = static_cast<std::uint64_t>(record.nFileSizeHigh) << 32 | record.nFileSizeLow;
  panel->nPhysicalSize = panel->nFileSize;
  panel->dwFileAttributes = record.dwFileAttributes;
  panel->dwUnixMode = record.dwReserved0;  // the listing's Unix mode
  std::memcpy(panel->cFileName, record.cFileName, length + 1);
  return true;
}

void SetDialogItemSelected(FarDialogItem* item, std::intptr_t selected) {
  // There Selected is an int beside the history name's pointer: the whole union is set.
  item->Reserved = selected;
}

}  // namespace flavour
