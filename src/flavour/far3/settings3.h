// The plugins' settings in Far 3's own settings database, in the store of Trawlix's GUID,
// which both modules share (Linquo reads the file search's text from it).
#pragma once

#include "far3/plugin3.h"

// Binds the store to the host's service. When the store holds nothing yet, the values the
// module reads until EndSettingsMigration come from the key where the 1.x modules kept
// them (texts decoded from the OEM code page) and are copied into the store; the old key
// is left as it is.
void BindFar3Settings(far3::SettingsControlFn control);
void EndSettingsMigration();
