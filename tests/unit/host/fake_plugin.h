// An in-process plugin whose entry points record what the host asks and answer from
// globals the test sets: the host's mechanics without a module.
#pragma once

#include <string>
#include <vector>

#include "host/host.h"

namespace fake {

struct State {
  std::vector<std::string> calls;      // "OpenPlugin", "ClosePlugin", "ProcessKey 118", ...
  std::vector<PluginPanelItem> items;  // what GetFindData hands out
  DWORD flags = OPIF_ADDDOTS;
  const char* prefix = "ff";
  HANDLE openResult = reinterpret_cast<HANDLE>(1);
  std::string commandText;        // the text OpenPlugin got from the command line
  const char* closeTo = nullptr;  // ProcessKey asks the host to close the panel to this
  bool closeOnKey = false;
  bool panelWasOpenWhileClosing =
      false;  // the panel still showed the plugin after FCTL_CLOSEPLUGIN
  const PluginStartupInfo* startup = nullptr;
};

extern State state;

PluginPanelItem Item(const char* name, DWORD attributes = 0);
// A plugin with every entry point above; its texts are messages.
std::unique_ptr<host::Plugin> MakePlugin(std::vector<std::string> messages = {});

}  // namespace fake
