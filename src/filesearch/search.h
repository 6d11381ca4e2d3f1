// Trawlix's commands as the host starts them: the menus, the dispatch of OpenPlugin and
// the file search command.
#pragma once

#include "far/plugin.h"
#include "filesearch/results.h"

// Fills the host's record; the menu texts are looked up on the first call only.
void FillPluginInfo(PluginInfo* info);
// Runs the command that OpenFrom and Item name; returns the panel handle or -1.
HANDLE OpenFilePlugin(int openFrom, std::intptr_t item);
// The plugin's shutdown: saves every setting, releasing the texts, and lets go of the
// compiled pattern and the results list, so that unloading the module leaks nothing.
void ExitFilePlugin();
// The search command: with commandText (from the command line) no dialog is shown.
// Returns 0 when refused, cancelled or failed, 1 to show the results panel.
int RunSearch(const char* commandText);
