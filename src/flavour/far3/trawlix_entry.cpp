// The entry points of the native Far 3 Trawlix: the same file search, replace and results
// panel, reached through the bridges of host3 and panel3.
#include <iterator>

#include "common/host_binding.h"
#include "common/text_model.h"
#include "far3/plugin3.h"
#include "filesearch/dialogs.h"
#include "filesearch/panel.h"
#include "filesearch/search.h"
#include "filesearch/settings.h"
#include "flavour/far3/guids.h"
#include "flavour/far3/host3.h"
#include "flavour/far3/module_info.h"
#include "flavour/far3/settings3.h"
#include "flavour/far3/panel3.h"
#include "flavour/far3/wide_strings.h"

FAR3_EXPORT void FARAPI GetGlobalInfoW(far3::GlobalInfo* info) {
  DescribeModule(info, far3::kTrawlixGuid, L"Trawlix", L"Search and replace in files");
}

FAR3_EXPORT void FARAPI SetStartupInfoW(const far3::PluginStartupInfo* info) {
  // The bridges hand the core UTF-8; nothing is compiled before this.
  SetTextIsUtf8(true);
  BindFar3Host(info, far3::kTrawlixGuid, BridgePanelControl);
  BindFar3Settings(info->SettingsControl);
  LoadSettings();
  EndSettingsMigration();
}

FAR3_EXPORT void FARAPI GetPluginInfoW(far3::PluginInfo* info) {
  static WideMenu menu, config;
  static std::wstring prefix;
  PluginInfo core{};
  FillPluginInfo(&core);
  FillWideMenu(core.PluginMenuStrings, core.PluginMenuStringsNumber, &menu);
  FillWideMenu(core.PluginConfigStrings, core.PluginConfigStringsNumber, &config);
  prefix = WideOf(core.CommandPrefix);
  info->StructSize = sizeof(*info);
  info->Flags = 0;
  info->PluginMenu.Guids = far3::kTrawlixMenuGuids;
  info->PluginMenu.Strings = menu.pointers.data();
  info->PluginMenu.Count = std::min(menu.pointers.size(), std::size(far3::kTrawlixMenuGuids));
  info->PluginConfig.Guids = &far3::kTrawlixConfigGuid;
  info->PluginConfig.Strings = config.pointers.data();
  info->PluginConfig.Count = std::min<std::size_t>(config.pointers.size(), 1);
  info->CommandPrefix = core.CommandPrefix ? prefix.c_str() : nullptr;
}

// Far 3 takes a null handle for "no panel".
FAR3_EXPORT HANDLE FARAPI OpenW(const far3::OpenInfo* info) {
  if (!info) return nullptr;
  HANDLE panel = FAR_INVALID_HANDLE;
  if (info->OpenFrom == far3::OPEN_PLUGINSMENU) {
    const int item = FindMenuItem(info->Guid, far3::kTrawlixMenuGuids,
                                  std::size(far3::kTrawlixMenuGuids));
    if (item >= 0) panel = OpenFilePlugin(OPEN_PLUGINSMENU, item);
  } else if (info->OpenFrom == far3::OPEN_COMMANDLINE && info->Data) {
    const auto* line = reinterpret_cast<const far3::OpenCommandLineInfo*>(info->Data);
    const std::string text = Utf8Of(line->CommandLine);
    panel = OpenFilePlugin(OPEN_COMMANDLINE, reinterpret_cast<std::intptr_t>(text.c_str()));
  }
  return panel == FAR_INVALID_HANDLE ? nullptr : panel;
}

FAR3_EXPORT void FARAPI ExitFARW(const far3::ExitInfo*) { ExitFilePlugin(); }

FAR3_EXPORT far3::IntPtr FARAPI ConfigureW(const far3::ConfigureInfo*) {
  return ShowConfigDialog();
}

FAR3_EXPORT void FARAPI GetOpenPanelInfoW(far3::OpenPanelInfo* info) {
  OpenPluginInfo core{};
  DescribeResultsPanel(&core);
  DescribePanel(core, info);
}

FAR3_EXPORT far3::IntPtr FARAPI GetFindDataW(far3::GetFindDataInfo* info) {
  PluginPanelItem* items = nullptr;
  int count = 0;
  if (!HandOutResults(&items, &count)) return 0;
  return ConvertPanelItems(items, count, info) ? 1 : 0;
}

FAR3_EXPORT void FARAPI FreeFindDataW(const far3::FreeFindDataInfo* info) { FreePanelItems(info); }

FAR3_EXPORT far3::IntPtr FARAPI SetDirectoryW(const far3::SetDirectoryInfo* info) {
  if (!info) return 0;
  const std::string dir = Utf8Of(info->Dir);
  return ChangeResultsDirectory(dir.c_str(), static_cast<int>(info->OpMode));
}

FAR3_EXPORT far3::IntPtr FARAPI ProcessPanelInputW(const far3::ProcessPanelInputInfo* info) {
  int key = 0;
  unsigned int state = 0;
  if (!info || !ConvertKey(info->Rec, &key, &state)) return 0;
  return ProcessResultsKey(key, state);
}

FAR3_EXPORT void FARAPI ClosePanelW(const far3::ClosePanelInfo*) { CloseResultsPanel(); }
