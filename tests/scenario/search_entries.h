// The file search dialog answered as a user would: the entries typed into its fields,
// by the item layout that search_dialog_test checks.
#pragma once

#include <cstring>
#include <optional>
#include <string>

#include "far/plugin.h"

namespace scenario {

constexpr int kMaskField = 2;
constexpr int kTextField = 4;
constexpr int kCaseBox = 6;
constexpr int kFirstModeButton = 7;
constexpr int kInverseBox = 13;
constexpr int kFirstScopeButton = 15;
constexpr int kSearchButton = 20;
constexpr int kCancelButton = 21;

// A field left unset keeps what the dialog shows.
struct SearchEntries {
  std::optional<std::string> mask = std::nullopt, text = std::nullopt;
  std::optional<int> mode = std::nullopt, scope = std::nullopt;
  std::optional<bool> caseSensitive = std::nullopt, inverse = std::nullopt;
};

inline void TypeText(FarDialogItem& item, const std::string& text) {
  std::size_t length = std::min(text.size(), sizeof(item.Data) - 1);
  std::memcpy(item.Data, text.data(), length);
  item.Data[length] = '\0';
}

inline void EnterSearch(FarDialogItem* items, const SearchEntries& entries) {
  if (entries.mask) TypeText(items[kMaskField], *entries.mask);
  if (entries.text) TypeText(items[kTextField], *entries.text);
  if (entries.caseSensitive) items[kCaseBox].Selected = *entries.caseSensitive;
  if (entries.inverse) items[kInverseBox].Selected = *entries.inverse;
  if (entries.mode)
    for (int k = 0; k < 6; ++k) items[kFirstModeButton + k].Selected = k == *entries.mode;
  if (entries.scope)
    for (int k = 0; k < 5; ++k) items[kFirstScopeButton + k].Selected = k == *entries.scope;
}

// The selected button of a radio group, or -1 when none or more than one is.
inline int SelectedButton(const FarDialogItem* items, int first, int count) {
  int selected = -1;
  for (int k = 0; k < count; ++k) {
    if (!items[first + k].Selected) continue;
    if (selected >= 0) return -1;
    selected = k;
  }
  return selected;
}

}  // namespace scenario
