#include "filesearch/replace/replace_command.h"

#include <cstdint>
#include <string>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/dialog_fields.h"
#include "filesearch/limit_warning.h"
#include "filesearch/replace/confirm.h"
#include "filesearch/replace/engine.h"
#include "filesearch/search_text.h"
#include "filesearch/settings.h"
#include "filesearch/walker.h"

namespace {

constexpr int kItems = 24;
constexpr int kFirstMode = 9;
constexpr int kFirstScope = 13;
constexpr int kModes = 3;
constexpr int kScopes = 5;
constexpr int kStartButton = 22;

std::uintptr_t Flag(int value) { return static_cast<std::uintptr_t>(value != 0); }

// The modes only the search offers show as plain text.
int PresetMode() { return FSearchAs >= 0 && FSearchAs < kModes ? FSearchAs : 0; }
int PresetScope() { return FSearchIn >= 0 && FSearchIn < kScopes ? FSearchIn : 2; }

// Shows the dialog until it is confirmed with a text that compiles; 0 when left.
int ShowReplaceDialog() {
  const DialogItemSpec layout[kItems] = {
      {DI_DOUBLEBOX, 3, 1, 72, 21, 0, 0, 0, 0, kMsgReplaceTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgMasks},
      {DI_EDIT, 5, 3, 70, 0, 1, HistoryName(kMaskHistory), DIF_HISTORY, 0, TextData(FMask.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0, kMsgSearchText},
      {DI_EDIT, 5, 5, 70, 0, 0, HistoryName(kTextHistory), DIF_HISTORY, 0, TextData(FText.c_str())},
      {DI_TEXT, 5, 6, 0, 0, 0, 0, 0, 0, kMsgReplaceWith},
      {DI_EDIT, 5, 7, 70, 0, 0, HistoryName(kReplaceHistory), DIF_HISTORY, 0,
       TextData(FRReplace.c_str())},
      {DI_TEXT, 5, 8, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_CHECKBOX, 5, 9, 0, 0, 0, Flag(FCaseSensitive), 0, 0, kMsgCaseSensitive},
      {DI_RADIOBUTTON, 5, 10, 0, 0, 0, 0, DIF_GROUP, 0, kMsgModePlain},
      {DI_RADIOBUTTON, 5, 11, 0, 0, 0, 0, 0, 0, kMsgModeRegex},
      {DI_RADIOBUTTON, 5, 12, 0, 0, 0, 0, 0, 0, kMsgModeRegexMultiLine},
      {DI_TEXT, 5, 13, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_RADIOBUTTON, 5, 14, 0, 0, 0, 0, DIF_GROUP, 0, kMsgScopeAllDrives},
      {DI_RADIOBUTTON, 5, 15, 0, 0, 0, 0, 0, 0, kMsgScopeCurrentDrive},
      {DI_RADIOBUTTON, 5, 16, 0, 0, 0, 0, 0, 0, kMsgScopeFolderTree},
      {DI_RADIOBUTTON, 5, 17, 0, 0, 0, 0, 0, 0, kMsgScopeFolderOnly},
      {DI_RADIOBUTTON, 5, 18, 0, 0, 0, 0, 0, 0, kMsgScopeSelectedFolders},
      {DI_CHECKBOX, 44, 14, 0, 0, 0, Flag(FROpenModified), 0, 0, kMsgListChanged},
      {DI_CHECKBOX, 44, 15, 0, 0, 0, Flag(FRConfirmFile), 0, 0, kMsgConfirmFile},
      {DI_CHECKBOX, 44, 16, 0, 0, 0, Flag(FRConfirmLine), 0, 0, kMsgConfirmMatch},
      {DI_CHECKBOX, 44, 17, 0, 0, 0, Flag(FRSaveOriginal), 0, 0, kMsgKeepBackup},
      {DI_BUTTON, 0, 20, 0, 0, 0, 0, DIF_CENTERGROUP, 1, TextData(MessageText(kMsgOk))},
      {DI_BUTTON, 0, 20, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel},
  };
  FarDialogItem items[kItems] = {};
  ExpandDialogItems(layout, items, kItems);
  items[kFirstMode + PresetMode()].Selected = 1;
  items[kFirstScope + PresetScope()].Selected = 1;

  for (;;) {
    int closedBy = Info.Dialog(Info.ModuleNumber, -1, -1, 76, 23, "FileReplaceDlg", items, kItems);
    if (closedBy != kStartButton) return 0;
    FMask = TakeFieldText(items[2], FMask);
    FText = TakeFieldText(items[4], FText);
    FRReplace = TakeFieldText(items[6], FRReplace);
    FCaseSensitive = items[8].Selected ? 1 : 0;
    FSearchAs = SelectedIndex(items, kFirstMode, kModes);
    FSearchIn = SelectedIndex(items, kFirstScope, kScopes);
    FROpenModified = items[18].Selected ? 1 : 0;
    FRConfirmFile = items[19].Selected ? 1 : 0;
    FRConfirmLine = items[20].Selected ? 1 : 0;
    FRSaveOriginal = items[21].Selected ? 1 : 0;
    if (CompileSearchText()) return 1;
    // The pattern error has been shown: the same items come back as the user left them.
  }
}

}  // namespace

int RunReplace(ResultsList* results) {
  if (!ShowReplaceDialog()) return 0;
  StartConfirmRun();
  StartLimitWarnings();
  StartReplaceRun();
  const int walked = WalkScope(results, ReplaceInFile);
  FinishReplaceRun();
  if (!walked) return 0;
  return FROpenModified ? 1 : 2;
}
