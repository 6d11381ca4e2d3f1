// far2l's wide startup record turned into the multibyte one Linquo's core works with: the
// services the core calls (Dialog, Message, GetMsg, EditorControl) are bridges that turn
// the core's UTF-8 into the host's wide text and back.
#pragma once

#include "far/plugin_wide.h"

// Keeps the host's record and fills the core's Info with the bridges.
void BindWideHost(const wide::PluginStartupInfo* host);
