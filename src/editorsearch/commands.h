// Linquo's editor menu: its entries and the dispatch of the chosen one.
#pragma once

#include <cstdint>

#include "far/plugin.h"

// Three entries in the editor's plugin menu, none in the panels' menu.
void FillPluginInfo(PluginInfo* info);
// Runs the menu entry item (0 search, 1 replace, 2 repeat) when opened from the editor.
void RunEditorCommand(int openFrom, std::intptr_t item);
