// Our host and the Windows hosts of the 1.x API (FAR 1.7x, FAR 2, Far 3's layer for old
// plugins): OEM text, the listing record as the panel record.
#include <cstring>

#include "flavour/flavour.h"

namespace flavour {

// The Windows hosts speak OEM; our quarix program speaks what its locale does and says so
// (see platform::IsUtf8TextAsked).
bool HostTextIsUtf8() { return platform::IsUtf8TextAsked(); }
// The name the build gives the module (see CMakeLists.txt).
const char* const kLinquoModuleName = QUARIX_LINQUO_MODULE;
const bool kLinquoTakesStartupRecord = true;
const bool kSettingsIgnoreRootKey = false;

bool ConvertToPanelRecord(const platform::FileRecord& record, PanelFindData* panel) {
  // The panel record is the listing record; only a name without its end is refused.
  if (strnlen(record.cFileName, sizeof(record.cFileName)) >= sizeof(panel->cFileName))
    return false;
  panel->dwFileAttributes = record.dwFileAttributes;
  panel->ftCreationTime = {record.ftCreationTime.dwLowDateTime, record.ftCreationTime.dwHighDateTime};
  panel->ftLastAccessTime = {record.ftLastAccessTime.dwLowDateTime,
                             record.ftLastAccessTime.dwHighDateTime};
  panel->ftLastWriteTime = {record.ftLastWriteTime.dwLowDateTime,
                            record.ftLastWriteTime.dwHighDateTime};
  panel->nFileSizeHigh = record.nFileSizeHigh;
  panel->nFileSizeLow = record.nFileSizeLow;
  panel->dwReserved0 = record.dwReserved0;
  panel->dwReserved1 = record.dwReserved1;
  std::memcpy(panel->cFileName, record.cFileName, sizeof(panel->cFileName));
  std::memcpy(panel->cAlternateFileName, record.cAlternateFileName,
              sizeof(panel->cAlternateFileName));
  return true;
}

void SetDialogItemSelected(FarDialogItem* item, std::intptr_t selected) {
  item->Selected = selected;
}

}  // namespace flavour
