// Our host and the Windows hosts of the 1.x API (FAR 1.7x, FAR 2, Far 3's layer for old
// plugins): OEM text, the listing record as the panel record.
#include <cstring>

#include "flavour/flavour.h"

namespace flavour {

const bool kHostTextIsUtf8 = false;
// The name the build gives the module (see CMakeLists.txt).
const char* const kLinquoModuleName = QUARIX_LINQUO_MODULE;
const bool kLinquoTakesStartupRecord = true;
const bool kSettingsIgnoreRootKey = false;

bool ConvertToPanelRecord(const FarFindData& record, PanelFindData* panel) {
  // The panel record is the listing record; only a name without its end is refused.
  if (strnlen(record.cFileName, sizeof(record.cFileName)) >= sizeof(panel->cFileName))
    return false;
  std::memcpy(panel, &record, sizeof(*panel));
  return true;
}

void SetDialogItemSelected(FarDialogItem* item, std::intptr_t selected) {
  item->Selected = selected;
}

}  // namespace flavour
