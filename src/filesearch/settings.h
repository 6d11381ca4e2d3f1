// Trawlix's settings: globals from SetStartupInfo until ExitFAR, loaded from and saved to
// the settings key in fixed batches.
#pragma once

#include <string>

extern std::string FText;
extern std::string FMask;
extern int FSearchIn;
extern int FSearchAs;
extern int FCaseSensitive;
extern int FSInverse;
extern int DotAsteriskMatchesNoExtension;
extern int MaskDelimiter;  // a character code, 0 to 255
extern int MaskNegation;   // a character code, 0 to 255
extern int ReadAtOnceLimit;
extern int SeveralLines;
extern std::string FRReplace;
extern int FRSaveOriginal;
extern int FRConfirmLine;
extern int FRConfirmFile;
extern int FROpenModified;

// Every setting from the key, in the load order, with defaults and lower bounds.
void LoadSettings();
// Every setting to the key, in the same order. With release set, each text is released
// right after it is written (ExitFAR).
void SaveSettings(bool release);
