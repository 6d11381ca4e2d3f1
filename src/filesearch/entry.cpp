// Trawlix's exported entry points: thin wrappers over the plugin's functions.
#include "common/host_binding.h"
#include "common/text_model.h"
#include "far/plugin.h"
#include "filesearch/dialogs.h"
#include "filesearch/panel.h"
#include "filesearch/search.h"
#include "filesearch/settings.h"
#include "flavour/flavour.h"

FAR_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo* info) {
  SetTextIsUtf8(flavour::HostTextIsUtf8());  // before anything is compiled
  CopyStartupInfo(info);
  LoadSettings();
}

FAR_EXPORT void FARAPI GetPluginInfo(PluginInfo* info) { FillPluginInfo(info); }

FAR_EXPORT HANDLE FARAPI OpenPlugin(int openFrom, std::intptr_t item) {
  return OpenFilePlugin(openFrom, item);
}

FAR_EXPORT void FARAPI ExitFAR() { ExitFilePlugin(); }

// One configuration entry, so the entry's number does not matter.
FAR_EXPORT int FARAPI Configure(int) { return ShowConfigDialog(); }

FAR_EXPORT void FARAPI GetOpenPluginInfo(HANDLE, OpenPluginInfo* info) {
  DescribeResultsPanel(info);
}

FAR_EXPORT int FARAPI GetFindData(HANDLE, PluginPanelItem** items, int* count, int) {
  return HandOutResults(items, count);
}

FAR_EXPORT int FARAPI SetDirectory(HANDLE, const char* dir, int opMode) {
  return ChangeResultsDirectory(dir, opMode);
}

FAR_EXPORT int FARAPI ProcessKey(HANDLE, int key, unsigned int controlState) {
  return ProcessResultsKey(key, controlState);
}

FAR_EXPORT void FARAPI ClosePlugin(HANDLE) { CloseResultsPanel(); }
