// Where the posix settings store keeps its key files.
#pragma once

#include <string>

namespace platform::posix {

// far2l's folder for our settings, below far2l's profile: $FARSETTINGS/.config when
// FARSETTINGS is an absolute path (far2l -u sets it), else $XDG_CONFIG_HOME/far2l when that
// is absolute, else HOME/.config/far2l; then plugins/quarix. Null variables count as unset.
// Empty when none of them gives an absolute folder.
std::string ComposeFar2lSettingsFolder(const char* farSettings, const char* xdgConfigHome,
                                       const std::string& home);

}  // namespace platform::posix
