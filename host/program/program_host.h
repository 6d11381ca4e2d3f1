// The host as the quarix program sets it up: the plugin modules from the program's
// folder, and a driver that answers on the terminal.
#pragma once

#include <string>

#include "host/host.h"
#include "terminal.h"

namespace program {

struct LoadedPlugins {
  host::Plugin* trawlix = nullptr;
  host::Plugin* linquo = nullptr;
};

// $QUARIX_PLUGIN_DIR when set, else the folder of the running program; ends with "/".
std::string FindPluginFolder();

// Loads Trawlix and Linquo from the folder and asks each for its menus, as the host does
// at start. A module that does not load is reported on stderr and left null.
LoadedPlugins LoadPlugins(host::Host& host, const std::string& folder);

// Progress messages go to the progress line; other messages are written to stderr and
// answered as Escape would (a message with one button: that button); dialogs are
// cancelled with a note on stderr.
void SetUpTerminalDriver(host::Host& host, ProgressLine& progress);

}  // namespace program
