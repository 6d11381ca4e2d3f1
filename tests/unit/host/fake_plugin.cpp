#include "fake_plugin.h"

#include <cstring>

namespace fake {

State state;

namespace {

void FARAPI SetStartupInfo(const PluginStartupInfo* info) {
  state.calls.push_back("SetStartupInfo");
  state.startup = info;
}

void FARAPI GetPluginInfo(PluginInfo* info) {
  state.calls.push_back("GetPluginInfo");
  info->CommandPrefix = state.prefix;
}

HANDLE FARAPI OpenPlugin(int openFrom, std::intptr_t item) {
  state.calls.push_back("OpenPlugin " + std::to_string(openFrom));
  if (openFrom == OPEN_COMMANDLINE) state.commandText = reinterpret_cast<const char*>(item);
  return state.openResult;
}

void FARAPI ExitFAR() { state.calls.push_back("ExitFAR"); }

void FARAPI GetOpenPluginInfo(HANDLE, OpenPluginInfo* info) {
  state.calls.push_back("GetOpenPluginInfo");
  info->Flags = state.flags;
  info->CurDir = "";
}

int FARAPI GetFindData(HANDLE, PluginPanelItem** items, int* count, int) {
  state.calls.push_back("GetFindData");
  *items = state.items.empty() ? nullptr : state.items.data();
  *count = static_cast<int>(state.items.size());
  return 1;
}

int FARAPI ProcessKey(HANDLE handle, int key, unsigned) {
  state.calls.push_back("ProcessKey " + std::to_string(key));
  if (state.closeOnKey) {
    state.startup->Control(handle, FCTL_CLOSEPLUGIN, const_cast<char*>(state.closeTo));
    PanelInfo info;
    state.panelWasOpenWhileClosing =
        state.startup->Control(handle, FCTL_GETPANELINFO, &info) && info.Plugin == 1;
  }
  return 1;
}

int FARAPI SetDirectory(HANDLE handle, const char* dir, int) {
  state.calls.push_back(std::string("SetDirectory ") + dir);
  state.startup->Control(handle, FCTL_CLOSEPLUGIN, const_cast<char*>(dir));
  return 1;
}

void FARAPI ClosePlugin(HANDLE) { state.calls.push_back("ClosePlugin"); }

}  // namespace

PluginPanelItem Item(const char* name, DWORD attributes) {
  PluginPanelItem item{};
  item.FindData.dwFileAttributes = attributes;
  std::strncpy(item.FindData.cFileName, name, sizeof(item.FindData.cFileName) - 1);
  return item;
}

std::unique_ptr<host::Plugin> MakePlugin(std::vector<std::string> messages) {
  state = State{};
  auto plugin = std::make_unique<host::Plugin>();
  plugin->path = "/in-process/fake.so";
  plugin->messages = std::move(messages);
  plugin->SetStartupInfo = SetStartupInfo;
  plugin->GetPluginInfo = GetPluginInfo;
  plugin->OpenPlugin = OpenPlugin;
  plugin->ExitFAR = ExitFAR;
  plugin->GetOpenPluginInfo = GetOpenPluginInfo;
  plugin->GetFindData = GetFindData;
  plugin->SetDirectory = SetDirectory;
  plugin->ProcessKey = ProcessKey;
  plugin->ClosePlugin = ClosePlugin;
  return plugin;
}

}  // namespace fake
