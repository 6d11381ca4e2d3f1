// Linquo's replace command: the dialog, and the run that shows each match and asks
// whether to replace it.
#pragma once

#include <string>

void ReplaceDialog();
// From the cursor with the current settings.
void ReplaceRun();
// Shows the match, asks (unless ReplaceAll), replaces or not. Returns the position at
// which the search goes on, or -1 when the user stopped the run.
int AskAndReplace(int line, int start, int length, std::string replacement);
