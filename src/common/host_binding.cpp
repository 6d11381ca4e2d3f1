#include "common/host_binding.h"

#include <cstring>

PluginStartupInfo Info;

void CopyStartupInfo(const PluginStartupInfo* from) {
  std::memcpy(&Info, from, sizeof(Info));
}
