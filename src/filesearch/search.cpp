#include "filesearch/search.h"

#include <utility>

#include "common/host_binding.h"
#include "common/messages.h"
#include "common/pattern.h"
#include "filesearch/dialogs.h"
#include "filesearch/handoff.h"
#include "filesearch/matchers.h"
#include "filesearch/panel.h"
#include "filesearch/replace/replace_command.h"
#include "filesearch/results.h"
#include "filesearch/search_run.h"
#include "filesearch/settings.h"
#include "filesearch/walker.h"

namespace {

constexpr int kSearchItem = 0;
constexpr int kReplaceItem = 1;

// Looked up once and kept for the life of the plugin: a menu built again later shows
// the same texts.
const char* PluginMenuStrings[2];
const char* PluginConfigStrings[1];
bool PluginMenuFilled = false;
bool PluginConfigFilled = false;

}  // namespace

void FillPluginInfo(PluginInfo* info) {
  if (!PluginConfigFilled) {
    PluginConfigStrings[0] = MessageText(kMsgPluginTitle);
    PluginConfigFilled = true;
  }
  if (!PluginMenuFilled) {
    PluginMenuStrings[0] = MessageText(kMsgPluginTitle);
    PluginMenuStrings[1] = MessageText(kMsgReplaceTitle);
    PluginMenuFilled = true;
  }
  info->StructSize = sizeof(PluginInfo);
  info->Flags = 0;
  info->DiskMenuStringsNumber = 0;
  info->PluginMenuStrings = PluginMenuStrings;
  info->PluginMenuStringsNumber = 2;
  info->PluginConfigStrings = PluginConfigStrings;
  info->PluginConfigStringsNumber = 1;
  info->CommandPrefix = "ff";
}

void ExitFilePlugin() {
  SaveSettings(true);
  ClearResults(&Results);
  ReleaseThreadMatchState();
}

int RunSearch(const char* commandText) {
  PanelInfo panel{};
  if (!Info.Control(FAR_INVALID_HANDLE, FCTL_GETPANELINFO, &panel)) return 0;
  // A search starts only from a plain file panel: not from a plugin's panel (such as a
  // results panel), a tree, a quick view or an information panel.
  if (panel.Plugin != 0 || panel.PanelType != PTYPE_FILEPANEL) return 0;
  CompiledSearch compiled;
  if (commandText) {
    // From the command line only the text changes; the other settings stay as stored.
    Stored.FText = commandText;
    if (!CompileSearch(TakeSearchSettings(), &compiled)) return 0;
  } else if (!ShowSearchDialog(&compiled)) {
    return 0;
  }
  SearchRun run(TakeSearchSettings(), std::move(compiled));
  run.results = &Results;
  // The search lists few of the files it tests: only those get their status queried.
  // Without a text no file is read: handing the files to workers would cost more than
  // their test.
  const bool onWorkers = !run.settings.text.empty();
  return WalkScope(run, FileWork{TestFileContent, TakeSearchAnswer, onWorkers}, true);
}

HANDLE OpenFilePlugin(int openFrom, std::intptr_t item) {
  int result = 0;
  if (openFrom == OPEN_PLUGINSMENU) {
    if (item == kSearchItem)
      result = RunSearch(nullptr);
    else if (item == kReplaceItem)
      result = RunReplace(&Results);
    else
      return FAR_INVALID_HANDLE;
  } else if (openFrom == OPEN_COMMANDLINE) {
    const char* text = reinterpret_cast<const char*>(item);
    result = RunSearch(text ? text : "");
  } else {
    return FAR_INVALID_HANDLE;
  }
  if (result == 0) return FAR_INVALID_HANDLE;
  HandOffToLinquo();
  return result == 1 ? ResultsPanelHandle() : FAR_INVALID_HANDLE;
}
