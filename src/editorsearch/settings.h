// Linquo's settings, loaded at every SetStartupInfo and saved at ExitFAR.
#pragma once

#include <string>

struct LinquoSettings {
  std::string EText;
  int ERegExp = 1;
  int ECaseSensitive = 0;
  std::string ERReplace;
};

// A global because the host keeps the plugin loaded between its calls and the settings
// live as long as it does; only the host's thread touches them.
extern LinquoSettings EStored;

// EText, ERegExp, ECaseSensitive, then ERReplace.
void LoadEditorSettings();
// EText, ERegExp, ECaseSensitive, then ERReplace; releases ERReplace.
void SaveEditorSettings();
// Takes the file search's text, mode and case setting from the shared key and writes the
// three editor search settings back. Returns the status of closing the key.
int ReloadEditorText();
