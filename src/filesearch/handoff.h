// The hand-off of the search text, mode and case setting to Linquo after a command.
#pragma once

// Loads Linquo from this plugin's folder, saves the settings and lets Linquo take them.
// Every missing part (the module, an export) is skipped silently.
void HandOffToLinquo();
