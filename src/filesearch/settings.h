// Trawlix's stored settings: from SetStartupInfo until ExitFAR, loaded from and saved to
// the settings key in fixed batches. A run takes its own copy when it starts
// (TakeSearchSettings); the dialogs and the hand-off work on these.
#pragma once

#include <string>

struct TrawlixSettings {
  std::string FText;
  std::string FMask = "*.*";
  int FSearchIn = 1;
  int FSearchAs = 1;
  int FCaseSensitive = 0;
  int FSInverse = 0;
  int DotAsteriskMatchesNoExtension = 1;
  int MaskDelimiter = ',';  // a character code, 0 to 255
  int MaskNegation = '!';   // a character code, 0 to 255
  int ReadAtOnceLimit = 1024;
  int SeveralLines = 5;
  int Threads = 0;  // threads that test files; 0 for one per processor
  std::string FRReplace;
  int FRSaveOriginal = 0;
  int FRConfirmLine = 0;
  int FRConfirmFile = 0;
  int FROpenModified = 0;
  // How files without a byte order mark are read: "auto" (as they are), or code pages
  // and encodings tried in turn (filesearch/code_pages.h).
  std::string Encodings = "auto";
};

// A global because the host keeps the plugin loaded between its calls and the settings
// live as long as it does; only the host's thread touches them.
extern TrawlixSettings Stored;

// Every setting from the key, in the load order, with defaults and lower bounds.
void LoadSettings();
// Every setting to the key, in the same order. With release set, each text is released
// right after it is written (ExitFAR).
void SaveSettings(bool release);
