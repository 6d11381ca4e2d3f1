// The results list behind the results panel: full paths of the files found, in walk order.
#pragma once

#include <cstdint>

#include "far/plugin.h"
#include "platform/platform.h"

struct ResultsList {
  PluginPanelItem* items = nullptr;
  int count = 0;
  int capacity = 0;  // the array grows geometrically; count is what the host sees
  // Files found whose full path does not fit the host's panel record: left out, never
  // cut (a cut name would show, and be opened as, another file). Only far2l's 255-byte
  // record is shorter than the walker's paths; the native Far 3 entries carry long paths
  // beside their record (flavour::AttachLongName).
  int leftOut = 0;
  // Names in the walked folders that the platform could not hand out under their own
  // name (see platform::CountNamesLeftOut): never searched, counted for the title.
  std::uint64_t namesLeftOut = 0;
};

// The one list of the loaded plugin, lent to the host while a results panel shows it.
extern ResultsList Results;

// Appends one entry: the listing record (full path in cFileName) with the other fields 0.
// A full path too long for the panel record, where no entry can carry it beside the
// record, is counted in leftOut instead.
void AddResult(ResultsList* list, const platform::FileRecord* record);
// Takes out the entry at index; the entries after it move up one place.
void RemoveResult(ResultsList* list, int index);
// Releases the array; the list is empty afterwards.
void ClearResults(ResultsList* list);
