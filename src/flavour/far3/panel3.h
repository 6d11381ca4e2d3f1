// Trawlix's results panel between the core (1.x records, UTF-8) and Far 3.
#pragma once

#include "far/plugin.h"
#include "far3/plugin3.h"

// The core's panel commands (Info.Control) on Far 3's panels.
int FARAPI BridgePanelControl(HANDLE plugin, int command, void* param);

// The core's description of its panel, in the host's records.
void DescribePanel(const OpenPluginInfo& core, far3::OpenPanelInfo* info);
// The core's entries as the host's items (names in UTF-16), until FreePanelItems.
bool ConvertPanelItems(const PluginPanelItem* items, int count, far3::GetFindDataInfo* info);
void FreePanelItems(const far3::FreeFindDataInfo* info);
// A key of the host's input record as the 1.x API gave it: the virtual key and its
// control state (PKF_ bits); false for anything but a key press.
bool ConvertKey(const far3::InputRecord& record, int* key, unsigned int* controlState);
