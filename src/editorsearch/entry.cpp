// Linquo's exported entry points: thin wrappers over the editor plugin's functions.
#include "common/host_binding.h"
#include "common/pattern.h"
#include "common/text_model.h"
#include "editorsearch/commands.h"
#include "editorsearch/settings.h"
#include "far/plugin.h"
#include "flavour/flavour.h"

FAR_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo* info) {
  SetTextIsUtf8(flavour::HostTextIsUtf8());  // before anything is compiled
  CopyStartupInfo(info);
  LoadEditorSettings();
}

FAR_EXPORT void FARAPI ExitFAR() {
  SaveEditorSettings();
  ReleaseThreadMatchState();
}

// Called by Trawlix after a file search, so that the editor looks for the same text.
FAR_EXPORT int FARAPI ReloadEText() { return ReloadEditorText(); }

FAR_EXPORT void FARAPI GetPluginInfo(PluginInfo* info) { FillPluginInfo(info); }

// The plugin never opens a panel.
FAR_EXPORT HANDLE FARAPI OpenPlugin(int openFrom, std::intptr_t item) {
  RunEditorCommand(openFrom, item);
  return FAR_INVALID_HANDLE;
}
