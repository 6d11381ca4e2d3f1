// The entry points of Linquo.far-plug-wide, far2l's wide-API Linquo: the same editor
// search and replace, reached through the bridges of wide_host and wide_editor.
#include <string>
#include <vector>

#include "common/pattern.h"
#include "common/text_model.h"
#include "editorsearch/commands.h"
#include "editorsearch/far2l/wide_host.h"
#include "editorsearch/far2l/wide_text.h"
#include "editorsearch/settings.h"
#include "far/plugin_wide.h"

FAR_EXPORT void FARAPI SetStartupInfoW(const wide::PluginStartupInfo* info) {
  // The bridges hand the core UTF-8; nothing is compiled before this.
  SetTextIsUtf8(true);
  BindWideHost(info);
  LoadEditorSettings();
}

FAR_EXPORT void FARAPI ExitFARW() {
  SaveEditorSettings();
  ReleaseThreadMatchState();
}

// Called by Trawlix after a file search, so that the editor looks for the same text. It
// needs no startup record: it only reads and writes the settings store.
FAR_EXPORT int FARAPI ReloadEText() { return ReloadEditorText(); }

FAR_EXPORT void FARAPI GetPluginInfoW(wide::PluginInfo* info) {
  // The menu texts are looked up once, as the core keeps its own.
  static std::vector<std::wstring> texts;
  static std::vector<const wchar_t*> menu;
  PluginInfo core{};
  FillPluginInfo(&core);
  if (texts.empty()) {
    for (int i = 0; i < core.PluginMenuStringsNumber; ++i)
      texts.push_back(DecodeToWide(core.PluginMenuStrings[i] ? core.PluginMenuStrings[i] : ""));
    for (const std::wstring& text : texts) menu.push_back(text.c_str());
  }
  info->StructSize = sizeof(wide::PluginInfo);
  info->Flags = core.Flags;
  info->DiskMenuStringsNumber = 0;
  info->PluginMenuStrings = menu.data();
  info->PluginMenuStringsNumber = static_cast<int>(menu.size());
  info->PluginConfigStringsNumber = 0;
  info->CommandPrefix = nullptr;
}

// The plugin never opens a panel.
FAR_EXPORT HANDLE FARAPI OpenPluginW(int openFrom, std::intptr_t item) {
  RunEditorCommand(openFrom, item);
  return FAR_INVALID_HANDLE;
}
