// The host's life cycle and its plugins: loading, startup records, menus, opening.
#include "host/host.h"

#include <algorithm>
#include <cstring>

#include "host/language_file.h"

namespace host {
namespace {

Host* g_current = nullptr;

template <typename Fn>
Fn ResolveExport(platform::Module* module, const char* name) {
  return reinterpret_cast<Fn>(platform::FindModuleExport(module, name));
}

// True when one of the ':'-separated prefixes equals prefix.
bool TakesPrefix(const char* prefixes, const std::string& prefix) {
  if (!prefixes) return false;
  std::string all = prefixes;
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    if (end > start && EqualsIgnoringAsciiCase(all.substr(start, end - start), prefix)) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

Host* CurrentHost() { return g_current; }

Host::Host() : previous_(g_current) { g_current = this; }

Host::~Host() {
  // As the real host shuts down: open plugin panels close first, then every plugin
  // gets ExitFAR (with this host still current, so its services answer).
  for (Panel& panel : panels_)
    if (panel.plugin && panel.plugin->ClosePlugin) panel.plugin->ClosePlugin(panel.handle);
  while (!plugins_.empty()) {
    Plugin* plugin = plugins_.back().get();
    for (Panel& panel : panels_)
      if (panel.plugin == plugin) panel.plugin = nullptr;
    if (plugin->ExitFAR) plugin->ExitFAR();
    if (plugin->module) platform::FreeModule(plugin->module);
    plugins_.pop_back();
  }
  g_current = previous_;
}

const char* Host::KeepText(const std::string& text) {
  keptTexts_.push_back(std::make_unique<std::string>(text));
  return keptTexts_.back()->c_str();
}

Plugin* Host::LoadPlugin(const std::string& path) {
  // The plugins keep the module's path in a buffer of kMaxPath bytes with its zero: a
  // longer one does not resolve, and nothing is loaded.
  char resolved[kMaxPath];
  if (!platform::ResolveFilePath(path.c_str(), resolved, sizeof resolved)) return nullptr;
  std::string full = resolved;
  for (const auto& loaded : plugins_)
    if (loaded->path == full) return loaded.get();  // one module, one instance

  platform::Module* module = platform::LoadModule(full.c_str());
  if (!module) return nullptr;

  auto plugin = std::make_unique<Plugin>();
  plugin->path = full;
  plugin->module = module;
  plugin->SetStartupInfo = ResolveExport<SetStartupInfoFn>(module, "SetStartupInfo");
  plugin->GetPluginInfo = ResolveExport<GetPluginInfoFn>(module, "GetPluginInfo");
  plugin->OpenPlugin = ResolveExport<OpenPluginFn>(module, "OpenPlugin");
  plugin->ExitFAR = ResolveExport<ExitFARFn>(module, "ExitFAR");
  plugin->Configure = ResolveExport<ConfigureFn>(module, "Configure");
  plugin->GetOpenPluginInfo = ResolveExport<GetOpenPluginInfoFn>(module, "GetOpenPluginInfo");
  plugin->GetFindData = ResolveExport<GetFindDataFn>(module, "GetFindData");
  plugin->SetDirectory = ResolveExport<SetDirectoryFn>(module, "SetDirectory");
  plugin->ProcessKey = ResolveExport<ProcessKeyFn>(module, "ProcessKey");
  plugin->ClosePlugin = ResolveExport<ClosePluginFn>(module, "ClosePlugin");

  std::string folder = full.substr(0, full.rfind(platform::kPathSeparator) + 1);
  plugin->languageFile = ChooseLanguageFile(folder, language);
  LanguageFile texts;
  if (!plugin->languageFile.empty() && ReadLanguageFile(plugin->languageFile, &texts)) {
    ConvertLanguageFile(&texts, platform::IsUtf8TextAsked());
    plugin->messages = std::move(texts.messages);
  }

  return AddPlugin(std::move(plugin));
}

Plugin* Host::AddPlugin(std::unique_ptr<Plugin> plugin) {
  // A cut module name would point the plugin at another folder.
  if (plugin->path.size() >= sizeof(plugin->startup.ModuleName)) {
    if (plugin->module) platform::FreeModule(plugin->module);
    return nullptr;
  }
  plugin->number = nextModuleNumber_++;
  PluginStartupInfo& info = plugin->startup;
  std::memset(&info, 0, sizeof(info));
  info.StructSize = sizeof(info);
  std::memcpy(info.ModuleName, plugin->path.c_str(), plugin->path.size() + 1);
  info.ModuleNumber = plugin->number;
  info.RootKey = KeepText(rootKey);
  FillServicePointers(&info);

  Plugin* added = plugin.get();
  plugins_.push_back(std::move(plugin));  // its texts answer GetMsg from now on
  if (added->SetStartupInfo) added->SetStartupInfo(&added->startup);
  return added;
}

void Host::UnloadPlugin(Plugin* plugin) {
  for (Panel& panel : panels_)
    if (panel.plugin == plugin) ClosePluginPanel(panel);
  for (auto it = plugins_.begin(); it != plugins_.end(); ++it) {
    if (it->get() != plugin) continue;
    if (plugin->ExitFAR) plugin->ExitFAR();
    if (plugin->module) platform::FreeModule(plugin->module);
    plugins_.erase(it);
    return;
  }
}

const PluginInfo& Host::QueryPluginInfo(Plugin* plugin) {
  PluginInfo info{};
  info.StructSize = sizeof(info);
  if (plugin->GetPluginInfo) plugin->GetPluginInfo(&info);
  plugin->info = info;
  return plugin->info;
}

HANDLE Host::OpenPlugin(Plugin* plugin, int openFrom, std::intptr_t item) {
  if (!plugin->OpenPlugin) return FAR_INVALID_HANDLE;
  HANDLE handle = plugin->OpenPlugin(openFrom, item);
  if (handle != FAR_INVALID_HANDLE && handle != nullptr) {
    Panel& panel = activePanel();
    std::string returnTo = panel.folder;
    if (panel.plugin) {
      // A plugin panel opened over another one replaces it; the folder to return to
      // stays the file panel's. The same plugin and handle keep their data.
      returnTo = panel.folderBeforePlugin;
      if (pendingClose_ == &panel) pendingClose_ = nullptr;
      if ((panel.plugin != plugin || panel.handle != handle) && panel.plugin->ClosePlugin)
        panel.plugin->ClosePlugin(panel.handle);
    }
    panel.type = PTYPE_FILEPANEL;
    panel.plugin = plugin;
    panel.handle = handle;
    panel.folderBeforePlugin = returnTo;
    panel.current = 0;
    panel.items.clear();
    panel.selected.clear();
    RereadPluginPanel(panel);
  }
  CarryOutPendingClose();
  return handle;
}

HANDLE Host::RunCommandLine(const std::string& line) {
  std::size_t colon = line.find(':');
  if (colon == std::string::npos || colon == 0) return FAR_INVALID_HANDLE;
  std::string prefix = line.substr(0, colon);
  for (const auto& plugin : plugins_) {
    if (plugin->info.StructSize == 0) QueryPluginInfo(plugin.get());
    if (!TakesPrefix(plugin->info.CommandPrefix, prefix)) continue;
    const char* text = KeepText(line.substr(colon + 1));
    return OpenPlugin(plugin.get(), OPEN_COMMANDLINE, reinterpret_cast<std::intptr_t>(text));
  }
  return FAR_INVALID_HANDLE;
}

int Host::Configure(Plugin* plugin, int item) {
  int result = plugin->Configure ? plugin->Configure(item) : 0;
  CarryOutPendingClose();
  return result;
}

Plugin* Host::FindPlugin(FarModuleNumber moduleNumber) {
  for (const auto& plugin : plugins_)
    if (plugin->number == moduleNumber) return plugin.get();
  return nullptr;
}

Panel* Host::FindPluginPanel(HANDLE handle) {
  if (handle == FAR_INVALID_HANDLE) return &activePanel();
  if (activePanel().plugin && activePanel().handle == handle) return &activePanel();
  if (otherPanel().plugin && otherPanel().handle == handle) return &otherPanel();
  return nullptr;
}

}  // namespace host
