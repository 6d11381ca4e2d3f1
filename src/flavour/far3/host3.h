// Far 3's startup record turned into the 1.x one the plugins' core works with: the
// services the core calls are bridges that turn its UTF-8 into the host's UTF-16 and back.
#pragma once

#include "far/plugin.h"
#include "far3/plugin3.h"

// Keeps the host's record and fills the core's Info with the bridges. control serves the
// core's panel commands (null in Linquo, which has no panel).
void BindFar3Host(const far3::PluginStartupInfo* host, const far3::Uuid& plugin,
                  FARAPICONTROL control);
// The host's record as it was given.
const far3::PluginStartupInfo& Far3Host();
// The module's GUID, as the host's services want it.
const far3::Uuid* Far3Plugin();
