#include <cstring>
#include <string>
#include <vector>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/dialog_fields.h"
#include "filesearch/dialogs.h"
#include "filesearch/search_modes.h"
#include "filesearch/search_run.h"
#include "filesearch/settings.h"

namespace {

// The items: the box, masks and text with their labels, a separator, the case box, one
// radio button per mode from the table of modes, the inverse box, a separator, the scopes
// and the two buttons. Rows below the modes move down with each mode.
constexpr int kFirstMode = 7;
constexpr int kInverseItem = kFirstMode + kSearchModeCount;
constexpr int kFirstScope = kInverseItem + 2;
constexpr int kScopes = 5;
constexpr int kSearchButton = kFirstScope + kScopes;
constexpr int kItems = kSearchButton + 2;
constexpr int kHeight = kItems + 3;

// A hand-edited mode or scope with no radio button is shown as the one it behaves like.
int PresetMode() {
  SearchMode mode;
  return FindSearchMode(Stored.FSearchAs, &mode) ? static_cast<int>(mode) : 1;
}
int PresetScope() { return Stored.FSearchIn >= 0 && Stored.FSearchIn < kScopes ? Stored.FSearchIn : 2; }

std::vector<DialogItemSpec> LayOutSearchDialog() {
  const auto row = [](int item) { return static_cast<std::uint8_t>(item + 1); };
  std::vector<DialogItemSpec> layout = {
      {DI_DOUBLEBOX, 3, 1, 72, static_cast<std::uint8_t>(kHeight - 2), 0, 0, 0, 0, kMsgPluginTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgMasks},
      {DI_EDIT, 5, 3, 70, 0, 1, HistoryName(kMaskHistory), DIF_HISTORY, 0,
       TextData(Stored.FMask.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0, kMsgSearchFor},
      {DI_EDIT, 5, 5, 70, 0, 0, HistoryName(kTextHistory), DIF_HISTORY, 0,
       TextData(Stored.FText.c_str())},
      {DI_TEXT, 5, 6, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_CHECKBOX, 5, 7, 0, 0, 0, static_cast<std::uintptr_t>(Stored.FCaseSensitive != 0), 0, 0,
       kMsgCaseSensitive},
  };
  for (const SearchModeNames& mode : kSearchModes) {
    const int item = static_cast<int>(layout.size());
    layout.push_back({DI_RADIOBUTTON, 5, row(item), 0, 0, 0, 0,
                      item == kFirstMode ? DWORD{DIF_GROUP} : DWORD{0}, 0,
                      static_cast<std::uintptr_t>(mode.label)});
  }
  layout.push_back({DI_CHECKBOX, 5, row(kInverseItem), 0, 0, 0,
                    static_cast<std::uintptr_t>(Stored.FSInverse != 0), 0, 0, kMsgInverse});
  layout.push_back(
      {DI_TEXT, 5, row(kInverseItem + 1), 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0});
  for (int scope = 0; scope < kScopes; ++scope)
    layout.push_back({DI_RADIOBUTTON, 5, row(kFirstScope + scope), 0, 0, 0, 0,
                      scope == 0 ? DWORD{DIF_GROUP} : DWORD{0}, 0,
                      static_cast<std::uintptr_t>(kMsgScopeAllDrives + scope)});
  const auto buttons = static_cast<std::uint8_t>(kHeight - 3);
  layout.push_back(
      {DI_BUTTON, 0, buttons, 0, 0, 0, 0, DIF_CENTERGROUP, 1, TextData(MessageText(kMsgOk))});
  layout.push_back({DI_BUTTON, 0, buttons, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel});
  return layout;
}

}  // namespace

int ShowSearchDialog(CompiledSearch* compiled) {
  const std::vector<DialogItemSpec> layout = LayOutSearchDialog();
  FarDialogItem items[kItems] = {};
  ExpandDialogItems(layout.data(), items, kItems);
  items[kFirstMode + PresetMode()].Selected = 1;
  items[kFirstScope + PresetScope()].Selected = 1;

  for (;;) {
    int closedBy =
        Info.Dialog(Info.ModuleNumber, -1, -1, 76, kHeight, "FileSearchDlg", items, kItems);
    if (closedBy != kSearchButton) return 0;
    Stored.FMask = TakeFieldText(items[2], Stored.FMask);
    Stored.FText = TakeFieldText(items[4], Stored.FText);
    Stored.FCaseSensitive = items[6].Selected ? 1 : 0;
    Stored.FSearchAs = SelectedIndex(items, kFirstMode, kSearchModeCount);
    Stored.FSInverse = items[kInverseItem].Selected ? 1 : 0;
    Stored.FSearchIn = SelectedIndex(items, kFirstScope, kScopes);
    if (CompileSearch(TakeSearchSettings(), compiled)) return 1;
    // The pattern error has been shown: the same items come back as the user left them.
  }
}
