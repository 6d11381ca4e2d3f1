#include <cstring>
#include <string>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/dialog_fields.h"
#include "filesearch/dialogs.h"
#include "filesearch/search_text.h"
#include "filesearch/settings.h"

namespace {

constexpr int kItems = 22;
constexpr int kFirstMode = 7;
constexpr int kFirstScope = 15;
constexpr int kModes = 6;
constexpr int kScopes = 5;
constexpr int kSearchButton = 20;

// A hand-edited mode or scope with no radio button is shown as the one it behaves like.
int PresetMode() { return FSearchAs >= 0 && FSearchAs < kModes ? FSearchAs : 1; }
int PresetScope() { return FSearchIn >= 0 && FSearchIn < kScopes ? FSearchIn : 2; }

}  // namespace

int ShowSearchDialog() {
  const DialogItemSpec layout[kItems] = {
      {DI_DOUBLEBOX, 3, 1, 72, 23, 0, 0, 0, 0, kMsgPluginTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgMasks},
      {DI_EDIT, 5, 3, 70, 0, 1, HistoryName(kMaskHistory), DIF_HISTORY, 0, TextData(FMask.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0, kMsgSearchFor},
      {DI_EDIT, 5, 5, 70, 0, 0, HistoryName(kTextHistory), DIF_HISTORY, 0, TextData(FText.c_str())},
      {DI_TEXT, 5, 6, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_CHECKBOX, 5, 7, 0, 0, 0, static_cast<std::uintptr_t>(FCaseSensitive != 0), 0, 0,
       kMsgCaseSensitive},
      {DI_RADIOBUTTON, 5, 8, 0, 0, 0, 0, DIF_GROUP, 0, kMsgModePlain},
      {DI_RADIOBUTTON, 5, 9, 0, 0, 0, 0, 0, 0, kMsgModeRegex},
      {DI_RADIOBUTTON, 5, 10, 0, 0, 0, 0, 0, 0, kMsgModeRegexMultiLine},
      {DI_RADIOBUTTON, 5, 11, 0, 0, 0, 0, 0, 0, kMsgModeRegexWindow},
      {DI_RADIOBUTTON, 5, 12, 0, 0, 0, 0, 0, 0, kMsgModeWords},
      {DI_RADIOBUTTON, 5, 13, 0, 0, 0, 0, 0, 0, kMsgModeRegexWords},
      {DI_CHECKBOX, 5, 14, 0, 0, 0, static_cast<std::uintptr_t>(FSInverse != 0), 0, 0, kMsgInverse},
      {DI_TEXT, 5, 15, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_RADIOBUTTON, 5, 16, 0, 0, 0, 0, DIF_GROUP, 0, kMsgScopeAllDrives},
      {DI_RADIOBUTTON, 5, 17, 0, 0, 0, 0, 0, 0, kMsgScopeCurrentDrive},
      {DI_RADIOBUTTON, 5, 18, 0, 0, 0, 0, 0, 0, kMsgScopeFolderTree},
      {DI_RADIOBUTTON, 5, 19, 0, 0, 0, 0, 0, 0, kMsgScopeFolderOnly},
      {DI_RADIOBUTTON, 5, 20, 0, 0, 0, 0, 0, 0, kMsgScopeSelectedFolders},
      {DI_BUTTON, 0, 22, 0, 0, 0, 0, DIF_CENTERGROUP, 1, TextData(MessageText(kMsgOk))},
      {DI_BUTTON, 0, 22, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel},
  };
  FarDialogItem items[kItems] = {};
  ExpandDialogItems(layout, items, kItems);
  items[kFirstMode + PresetMode()].Selected = 1;
  items[kFirstScope + PresetScope()].Selected = 1;

  for (;;) {
    int closedBy = Info.Dialog(Info.ModuleNumber, -1, -1, 76, 25, "FileSearchDlg", items, kItems);
    if (closedBy != kSearchButton) return 0;
    FMask = TakeFieldText(items[2], FMask);
    FText = TakeFieldText(items[4], FText);
    FCaseSensitive = items[6].Selected ? 1 : 0;
    FSearchAs = SelectedIndex(items, kFirstMode, kModes);
    FSInverse = items[13].Selected ? 1 : 0;
    FSearchIn = SelectedIndex(items, kFirstScope, kScopes);
    if (CompileSearchText()) return 1;
    // The pattern error has been shown: the same items come back as the user left them.
  }
}
