// The core's 1.x editor commands on Far 3's editor: lines as UTF-8 with positions in bytes
// for the core, UTF-16 with positions in code units for the host.
#pragma once

#include "far/plugin.h"
#include "far3/plugin3.h"

void BindFar3Editor(far3::EditorControlFn control);
int FARAPI BridgeEditorControl(int command, void* param);
