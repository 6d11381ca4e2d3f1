// The entry points of the native Far 3 Linquo: the same editor search and replace, reached
// through the bridges of host3 and editor3.
#include <iterator>

#include "common/pattern.h"
#include "common/text_model.h"
#include "editorsearch/commands.h"
#include "editorsearch/settings.h"
#include "far3/plugin3.h"
#include "flavour/far3/guids.h"
#include "flavour/far3/host3.h"
#include "flavour/far3/module_info.h"
#include "flavour/far3/settings3.h"

FAR3_EXPORT void FARAPI GetGlobalInfoW(far3::GlobalInfo* info) {
  DescribeModule(info, far3::kLinquoGuid, L"Linquo", L"Search and replace in the editor");
}

FAR3_EXPORT void FARAPI SetStartupInfoW(const far3::PluginStartupInfo* info) {
  // The bridges hand the core UTF-8; nothing is compiled before this.
  SetTextIsUtf8(true);
  BindFar3Host(info, far3::kLinquoGuid, nullptr);
  BindFar3Settings(info->SettingsControl);
  LoadEditorSettings();
  EndSettingsMigration();
}

FAR3_EXPORT void FARAPI ExitFARW(const far3::ExitInfo*) {
  SaveEditorSettings();
  ReleaseThreadMatchState();
}

// Called by Trawlix after a file search, so that the editor looks for the same text. It
// needs no startup record: it only reads and writes the settings store.
FAR3_EXPORT int FARAPI ReloadEText() { return ReloadEditorText(); }

FAR3_EXPORT void FARAPI GetPluginInfoW(far3::PluginInfo* info) {
  static WideMenu menu;
  PluginInfo core{};
  FillPluginInfo(&core);
  FillWideMenu(core.PluginMenuStrings, core.PluginMenuStringsNumber, &menu);
  info->StructSize = sizeof(*info);
  info->Flags = far3::PF_EDITOR | far3::PF_DISABLEPANELS;
  info->PluginMenu.Guids = far3::kLinquoMenuGuids;
  info->PluginMenu.Strings = menu.pointers.data();
  info->PluginMenu.Count = std::min(menu.pointers.size(), std::size(far3::kLinquoMenuGuids));
}

// The plugin never opens a panel.
FAR3_EXPORT HANDLE FARAPI OpenW(const far3::OpenInfo* info) {
  if (info && info->OpenFrom == far3::OPEN_EDITOR) {
    const int item = FindMenuItem(info->Guid, far3::kLinquoMenuGuids,
                                  std::size(far3::kLinquoMenuGuids));
    if (item >= 0) RunEditorCommand(OPEN_EDITOR, item);
  }
  return nullptr;
}
