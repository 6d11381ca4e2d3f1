// The panel and dialog records of the 1.x API, which the core works with in every flavour
// but far2l's (the Windows 1.x hosts, our host, and the native Far 3 modules behind their
// bridges).
#include <cstring>

#include "flavour/flavour.h"

namespace flavour {

bool ConvertToPanelRecord(const platform::FileRecord& record, PanelFindData* panel) {
  // The panel record is the listing record; a name that does not fit is left empty, and
  // the rest filled for an entry that carries its name beside the record.
  const bool fits = strnlen(record.cFileName, sizeof(record.cFileName)) < sizeof(panel->cFileName);
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
  if (fits)
    std::memcpy(panel->cFileName, record.cFileName, sizeof(panel->cFileName));
  else
    panel->cFileName[0] = '\0';
  std::memcpy(panel->cAlternateFileName, record.cAlternateFileName,
              sizeof(panel->cAlternateFileName));
  return fits;
}

void SetDialogItemSelected(FarDialogItem* item, std::intptr_t selected) {
  item->Selected = selected;
}

}  // namespace flavour
