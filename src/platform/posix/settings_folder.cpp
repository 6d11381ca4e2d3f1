#include "platform/posix/settings_folder.h"

namespace platform::posix {

namespace {

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

}  // namespace

std::string ComposeFar2lSettingsFolder(const char* farSettings, const char* xdgConfigHome,
                                       const std::string& home) {
  std::string profile;
  if (IsAbsolute(farSettings))
    profile = std::string(farSettings) + "/.config";
  else if (IsAbsolute(xdgConfigHome))
    profile = std::string(xdgConfigHome) + "/far2l";
  else if (IsAbsolute(home.c_str()))
    profile = home + "/.config/far2l";
  else
    return std::string();
  return profile + "/plugins/quarix";
}

}  // namespace platform::posix
