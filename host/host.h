// Our host: loads plugin modules, fills their startup records, answers their service
// calls, keeps the two panels (one of which may be a plugin panel) and, when asked,
// records every service call. Dialog and message answers come from a driver: a script in
// the tests, the command line and the terminal in the quarix program.
//
// The plugins' services are plain function pointers without context, so one Host is
// current at a time (the one most recently constructed and not yet destroyed).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "far/plugin.h"
#include "host/editor.h"
#include "platform/platform.h"

namespace host {

// One service call as the plugin made it.
struct ServiceCall {
  std::string service;               // "Dialog", "Message", "GetMsg", "Control", ...
  FarModuleNumber moduleNumber = -1; // where the service takes one
  std::vector<std::intptr_t> args;   // numeric arguments in order (see each service)
  std::vector<std::string> texts;    // help topic first, then message lines or item texts
  std::vector<FarDialogItem> items;  // a dialog's items as they were shown
  std::intptr_t result = 0;
};

// A message as the plugin asked the host to show it.
struct MessageRequest {
  int moduleNumber = 0;
  DWORD flags = 0;
  std::string helpTopic;
  std::vector<std::string> lines;  // title first, buttons last
  int buttons = 0;
};

struct Driver {
  // Answers a dialog: may edit the items as a user would (texts, check and radio states)
  // and returns the index of the item that closed it, or -1. Unset: every dialog is
  // cancelled (-1).
  std::function<int(int moduleNumber, const char* helpTopic, FarDialogItem* items, int count)>
      dialog;
  // Answers a message: the index of the button chosen, or -1. Messages without buttons
  // (the progress message) are shown too; their answer is ignored. Unset: -1.
  std::function<int(const MessageRequest&)> message;
};

struct Plugin {
  std::string path;  // the module's full path
  platform::Module* module = nullptr;
  FarModuleNumber number = 0;         // ModuleNumber
  std::vector<std::string> messages;  // the language file's texts, by number
  std::string languageFile;           // the file they came from ("" when none was found)
  PluginStartupInfo startup{};
  PluginInfo info{};  // as the last GetPluginInfo filled it

  SetStartupInfoFn SetStartupInfo = nullptr;
  GetPluginInfoFn GetPluginInfo = nullptr;
  OpenPluginFn OpenPlugin = nullptr;
  ExitFARFn ExitFAR = nullptr;
  ConfigureFn Configure = nullptr;
  GetOpenPluginInfoFn GetOpenPluginInfo = nullptr;
  GetFindDataFn GetFindData = nullptr;
  SetDirectoryFn SetDirectory = nullptr;
  ProcessKeyFn ProcessKey = nullptr;
  ClosePluginFn ClosePlugin = nullptr;
};

struct Panel {
  int type = PTYPE_FILEPANEL;
  std::string folder;  // CurDir: the folder a file panel shows
  // A file panel: the folder's entries with bare names, ".." first unless at a root.
  // A plugin panel: what GetFindData handed out, after a ".." entry when the plugin's
  // flags ask for one.
  std::vector<PluginPanelItem> items;
  std::vector<bool> selected;
  int current = 0;
  // A plugin panel: its plugin, handle and the description of its last GetOpenPluginInfo.
  Plugin* plugin = nullptr;
  HANDLE handle = FAR_INVALID_HANDLE;
  OpenPluginInfo openInfo{};
  std::string folderBeforePlugin;  // where the panel returns when the plugin panel closes
  int updates = 0;                 // rereads asked for by the plugin (FCTL_UPDATE...)
  int redraws = 0;                 // redraws asked for by the plugin (FCTL_REDRAW...)
  // The copies lent to the plugin by the last PanelInfo request: the plugin reads them
  // after Control returns, and must never reach the panel's own records.
  std::vector<PluginPanelItem> lentItems;
  std::vector<PluginPanelItem> lentSelected;
};

class Host {
 public:
  Host();
  ~Host();  // every loaded plugin gets ExitFAR and is unloaded
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The plugin root key handed to the plugins.
  std::string rootKey = "Software\\Far\\Plugins";
  // The language whose file is chosen from a module's folder (its ".Language=" name).
  std::string language = "English";
  Driver driver;
  // Off, nothing is recorded: a record grows with the work (every progress message, every
  // line the editor is asked for), so only the tests that look at it turn it on.
  bool recordCalls = false;
  std::vector<ServiceCall> calls;  // every service call, in order, while recordCalls is on

  // Loads a module by its path, reads the language file from its folder and calls its
  // SetStartupInfo. Null when the module does not load.
  Plugin* LoadPlugin(const std::string& path);
  // Takes a plugin whose entry points are already set (a module LoadPlugin opened, or
  // functions of the caller's own): gives it its ModuleNumber, fills its startup record
  // and calls SetStartupInfo. Its messages are the ones it carries.
  Plugin* AddPlugin(std::unique_ptr<Plugin> plugin);
  // ExitFAR, then unloads the module.
  void UnloadPlugin(Plugin* plugin);
  const std::vector<std::unique_ptr<Plugin>>& plugins() const { return plugins_; }

  // Calls GetPluginInfo, as the host does when it builds its menus.
  const PluginInfo& QueryPluginInfo(Plugin* plugin);
  // Calls OpenPlugin. When it returns a panel handle, the active panel becomes that
  // plugin's panel (read through GetOpenPluginInfo and GetFindData). Returns the handle.
  HANDLE OpenPlugin(Plugin* plugin, int openFrom, std::intptr_t item);
  // A command typed on the command line: "prefix:text" goes to the plugin with that
  // command prefix as OpenPlugin(4, text). Returns the handle, or invalid when no plugin
  // takes the prefix.
  HANDLE RunCommandLine(const std::string& line);
  int Configure(Plugin* plugin, int item);

  Panel& activePanel() { return panels_[active_]; }
  Panel& otherPanel() { return panels_[1 - active_]; }
  Panel& oppositePanel(Panel& panel) { return &panel == &panels_[0] ? panels_[1] : panels_[0]; }
  bool isActive(const Panel& panel) const { return &panel == &panels_[active_]; }
  // Swaps the roles of the two panels (the Tab key).
  void SwitchPanels() { active_ = 1 - active_; }
  // Shows a folder as a file panel (listing it through the platform layer). False, with
  // the panel left as it was, when the folder cannot be listed.
  bool ShowFolder(Panel& panel, const std::string& folder);
  // Marks the entries of that name as selected (or not).
  bool SelectItem(Panel& panel, const std::string& name, bool selected = true);
  bool SetCurrentItem(Panel& panel, const std::string& name);

  // Keys and directory changes on the active panel, forwarded to its plugin when it
  // shows one. PressKey returns the plugin's answer (0 when the host handles the key).
  int PressKey(int key, unsigned controlState = 0);
  int ChangeDirectory(const std::string& dir);
  // Closes a plugin panel (ClosePlugin) and shows the folder it was opened from.
  void ClosePluginPanel(Panel& panel);
  // Rereads a plugin panel through GetOpenPluginInfo and GetFindData.
  void RereadPluginPanel(Panel& panel);

  // Called by the services.
  Plugin* FindPlugin(FarModuleNumber moduleNumber);
  Panel* FindPluginPanel(HANDLE handle);
  // Fills the plugin's PanelInfo from the panel (lending copies of its records).
  void FillPanelInfo(Panel& panel, PanelInfo* info);
  // FCTL_CLOSEPLUGIN: the panel closes once the plugin's current call has returned, and
  // then shows dir (null or ".." for the folder it was opened from).
  void RequestClosePluginPanel(Panel& panel, const char* dir);
  // FCTL_UPDATE...: rereads a plugin panel through the plugin, a file panel from disk.
  void UpdatePanel(Panel& panel);

  // Screens saved by SaveScreen and not yet restored, oldest first.
  std::vector<HANDLE> savedScreens;

  // The editor: one file at a time, reached by the plugins through EditorControl.
  // OpenEditor loads a file (false with the reason in *error); OpenEditorText starts a
  // buffer from bytes; SaveEditor writes the buffer back to its file.
  bool OpenEditor(const std::string& path, std::string* error = nullptr);
  EditorBuffer& OpenEditorText(const std::string& bytes, const std::string& fileName = "");
  EditorBuffer* editor() { return editor_.get(); }
  bool SaveEditor(std::string* error = nullptr);
  void CloseEditor();

 private:
  void CarryOutPendingClose();
  void ShowFolderOrFallback(Panel& panel, const std::string& folder, const std::string& fallback);
  // Texts handed to plugins that must outlive any one call (root keys, command lines).
  const char* KeepText(const std::string& text);

  std::vector<std::unique_ptr<Plugin>> plugins_;
  std::vector<std::unique_ptr<std::string>> keptTexts_;
  Panel panels_[2];
  int active_ = 0;
  int nextModuleNumber_ = 0;
  Panel* pendingClose_ = nullptr;
  std::string pendingCloseDir_;
  Host* previous_ = nullptr;
  std::unique_ptr<EditorBuffer> editor_;
};

// Points the 16 service pointers of a startup record at this host's services.
void FillServicePointers(PluginStartupInfo* info);

// The host whose services the plugins reach.
Host* CurrentHost();

}  // namespace host
