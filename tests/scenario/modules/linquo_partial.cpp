// A Linquo module that lacks ReloadEText: it exports only SetStartupInfo, which tells the
// test through the environment which module's startup record it was given.
#include <stdlib.h>

#include "far/plugin.h"

FAR_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo* info) {
  setenv("QUARIX_PARTIAL_LINQUO", info->ModuleName, 1);
}
