#include "filesearch/replace/replace_command.h"

#include <cstdint>
#include <string>
#include <utility>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/dialog_fields.h"
#include "filesearch/match_context.h"
#include "filesearch/replace/engine.h"
#include "filesearch/search_modes.h"
#include "filesearch/search_run.h"
#include "filesearch/settings.h"
#include "filesearch/walker.h"

namespace {

constexpr int kItems = 24;
constexpr int kFirstMode = 9;
constexpr int kFirstScope = 13;
// The replace numbers its modes as the table of modes does, and offers its first ones.
constexpr int kModes = kReplaceModeCount;
static_assert(kFirstMode + kModes + 1 == kFirstScope, "the dialog has room for three modes");
constexpr int kScopes = 5;
constexpr int kStartButton = 22;

std::uintptr_t Flag(int value) { return static_cast<std::uintptr_t>(value != 0); }

// The modes only the search offers show as plain text.
int PresetMode() {
  return Stored.FSearchAs >= 0 && Stored.FSearchAs < kModes ? Stored.FSearchAs : 0;
}
std::uintptr_t ModeLabel(int number) {
  return static_cast<std::uintptr_t>(kSearchModes[number].label);
}
int PresetScope() {
  return Stored.FSearchIn >= 0 && Stored.FSearchIn < kScopes ? Stored.FSearchIn : 2;
}

// Shows the dialog until it is confirmed with a text that compiles; 0 when left.
int ShowReplaceDialog(CompiledSearch* compiled) {
  const DialogItemSpec layout[kItems] = {
      {DI_DOUBLEBOX, 3, 1, 72, 21, 0, 0, 0, 0, kMsgReplaceTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgMasks},
      {DI_EDIT, 5, 3, 70, 0, 1, HistoryName(kMaskHistory), DIF_HISTORY, 0,
       TextData(Stored.FMask.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0, kMsgSearchText},
      {DI_EDIT, 5, 5, 70, 0, 0, HistoryName(kTextHistory), DIF_HISTORY, 0,
       TextData(Stored.FText.c_str())},
      {DI_TEXT, 5, 6, 0, 0, 0, 0, 0, 0, kMsgReplaceWith},
      {DI_EDIT, 5, 7, 70, 0, 0, HistoryName(kReplaceHistory), DIF_HISTORY, 0,
       TextData(Stored.FRReplace.c_str())},
      {DI_TEXT, 5, 8, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_CHECKBOX, 5, 9, 0, 0, 0, Flag(Stored.FCaseSensitive), 0, 0, kMsgCaseSensitive},
      {DI_RADIOBUTTON, 5, 10, 0, 0, 0, 0, DIF_GROUP, 0, ModeLabel(0)},
      {DI_RADIOBUTTON, 5, 11, 0, 0, 0, 0, 0, 0, ModeLabel(1)},
      {DI_RADIOBUTTON, 5, 12, 0, 0, 0, 0, 0, 0, ModeLabel(2)},
      {DI_TEXT, 5, 13, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, 0},
      {DI_RADIOBUTTON, 5, 14, 0, 0, 0, 0, DIF_GROUP, 0, kMsgScopeAllDrives},
      {DI_RADIOBUTTON, 5, 15, 0, 0, 0, 0, 0, 0, kMsgScopeCurrentDrive},
      {DI_RADIOBUTTON, 5, 16, 0, 0, 0, 0, 0, 0, kMsgScopeFolderTree},
      {DI_RADIOBUTTON, 5, 17, 0, 0, 0, 0, 0, 0, kMsgScopeFolderOnly},
      {DI_RADIOBUTTON, 5, 18, 0, 0, 0, 0, 0, 0, kMsgScopeSelectedFolders},
      {DI_CHECKBOX, 44, 14, 0, 0, 0, Flag(Stored.FROpenModified), 0, 0, kMsgListChanged},
      {DI_CHECKBOX, 44, 15, 0, 0, 0, Flag(Stored.FRConfirmFile), 0, 0, kMsgConfirmFile},
      {DI_CHECKBOX, 44, 16, 0, 0, 0, Flag(Stored.FRConfirmLine), 0, 0, kMsgConfirmMatch},
      {DI_CHECKBOX, 44, 17, 0, 0, 0, Flag(Stored.FRSaveOriginal), 0, 0, kMsgKeepBackup},
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
    Stored.FMask = TakeFieldText(items[2], Stored.FMask);
    Stored.FText = TakeFieldText(items[4], Stored.FText);
    Stored.FRReplace = TakeFieldText(items[6], Stored.FRReplace);
    Stored.FCaseSensitive = items[8].Selected ? 1 : 0;
    Stored.FSearchAs = SelectedIndex(items, kFirstMode, kModes);
    Stored.FSearchIn = SelectedIndex(items, kFirstScope, kScopes);
    Stored.FROpenModified = items[18].Selected ? 1 : 0;
    Stored.FRConfirmFile = items[19].Selected ? 1 : 0;
    Stored.FRConfirmLine = items[20].Selected ? 1 : 0;
    Stored.FRSaveOriginal = items[21].Selected ? 1 : 0;
    if (CompileSearch(TakeSearchSettings(), compiled)) return 1;
    // The pattern error has been shown: the same items come back as the user left them.
  }
}

}  // namespace

int RunReplace(ResultsList* results) {
  CompiledSearch compiled;
  if (!ShowReplaceDialog(&compiled)) return 0;
  SearchRun run(TakeSearchSettings(), std::move(compiled));
  run.results = results;
  ReplaceRun replace(run);
  StartReplaceRun(replace);
  const int walked = WalkScope(run, ReplaceFileWork(replace));
  FinishReplaceRun(replace);
  if (!walked) return 0;
  return run.settings.listRewritten ? 1 : 2;
}
