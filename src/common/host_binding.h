// The plugin's copy of the host's startup record: every host service is reached through it.
#pragma once

#include "far/plugin.h"

extern PluginStartupInfo Info;

// Copies the host's record whole.
void CopyStartupInfo(const PluginStartupInfo* from);
