#include "editorsearch/commands.h"

#include "common/messages.h"
#include "editorsearch/replace.h"
#include "editorsearch/search.h"

namespace {

enum MenuEntry { kSearchEntry = 0, kReplaceEntry = 1, kRepeatEntry = 2 };

void StartSearch() {
  Session.LastCommand = 0;  // before the dialog: a cancelled dialog still sets what repeats
  SearchDialog();
}

void StartReplace() {
  Session.LastCommand = 1;
  ReplaceDialog();
}

}  // namespace

void FillPluginInfo(PluginInfo* info) {
  // Looked up once; the host owns the texts for the life of the module.
  static const char* menu[3] = {MessageText(kMsgPluginTitle), MessageText(kMsgReplaceTitle),
                                MessageText(kMsgRepeat)};
  info->StructSize = sizeof(PluginInfo);
  info->Flags = PF_EDITOR | PF_DISABLEPANELS;
  info->DiskMenuStringsNumber = 0;
  info->PluginMenuStrings = menu;
  info->PluginMenuStringsNumber = 3;
  info->PluginConfigStringsNumber = 0;
  info->CommandPrefix = nullptr;
}

void RunEditorCommand(int openFrom, std::intptr_t item) {
  if (openFrom != OPEN_EDITOR) return;
  switch (item) {
    case kSearchEntry:
      StartSearch();
      break;
    case kReplaceEntry:
      StartReplace();
      break;
    case kRepeatEntry:
      if (Session.LastCommand == 0) {
        if (EnsurePattern()) SearchNext();
      } else if (Session.LastCommand == 1) {
        if (EnsurePattern()) ReplaceRun();
      } else {
        StartSearch();
      }
      break;
    default:
      break;
  }
}
