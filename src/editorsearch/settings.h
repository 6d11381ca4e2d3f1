// Linquo's settings: globals, loaded at every SetStartupInfo and saved at ExitFAR.
#pragma once

#include <string>

extern std::string EText;
extern int ERegExp;
extern int ECaseSensitive;
extern std::string ERReplace;

// EText, ERegExp, ECaseSensitive, then ERReplace.
void LoadEditorSettings();
// EText, ERegExp, ECaseSensitive, then ERReplace; releases ERReplace.
void SaveEditorSettings();
// Takes the file search's text, mode and case setting from the shared key and writes the
// three editor search settings back. Returns the status of closing the key.
int ReloadEditorText();
