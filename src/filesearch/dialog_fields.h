// Helpers shared by Trawlix's search and replace dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "far/plugin.h"

// History names kept by the host and shared by the dialogs of both plugins.
inline const char kMaskHistory[] = "Masks";
inline const char kTextHistory[] = "SearchText";
inline const char kReplaceHistory[] = "ReplaceText";

inline std::uintptr_t HistoryName(const char* name) {
  return reinterpret_cast<std::uintptr_t>(name);
}

// An edit field holds 511 characters, so a longer stored text is shown cut. Left as
// shown, the field keeps the whole stored text: confirming must not shorten it.
std::string TakeFieldText(const FarDialogItem& item, const std::string& stored);

// The index of the first selected radio button of a group of count, the last when none is.
int SelectedIndex(const FarDialogItem* items, int first, int count);
