#include "filesearch/settings.h"

#include "common/settings_store.h"

std::string FText;
std::string FMask = "*.*";
int FSearchIn = 1;
int FSearchAs = 1;
int FCaseSensitive = 0;
int FSInverse = 0;
int DotAsteriskMatchesNoExtension = 1;
int MaskDelimiter = ',';
int MaskNegation = '!';
int ReadAtOnceLimit = 1024;
int SeveralLines = 5;
std::string FRReplace;
int FRSaveOriginal = 0;
int FRConfirmLine = 0;
int FRConfirmFile = 0;
int FROpenModified = 0;

namespace {

// The mask characters are single bytes; a hand-edited value above 255 keeps its low
// byte, so that every later character conversion and table lookup stays in range.
int ToCharacterCode(int value) { return value & 0xFF; }

// Frees the text's storage too: after the exit save nothing of it is kept.
void ReleaseText(std::string& text) { std::string().swap(text); }

}  // namespace

void LoadSettings() {
  SettingsKey key;
  ReadIntSetting(key, "SeveralLines", &SeveralLines, 5, 1);
  ReadIntSetting(key, "ReadAtOnceLimit", &ReadAtOnceLimit, 1024, 0);
  ReadIntSetting(key, "MaskDelimiter", &MaskDelimiter, ',', 0);
  MaskDelimiter = ToCharacterCode(MaskDelimiter);
  ReadIntSetting(key, "MaskNegation", &MaskNegation, '!', 0);
  MaskNegation = ToCharacterCode(MaskNegation);
  ReadIntSetting(key, "DotAsteriskMatchesNoExtension", &DotAsteriskMatchesNoExtension, 1, 0);
  ReadIntSetting(key, "FCaseSensitive", &FCaseSensitive, 0, 0);
  ReadIntSetting(key, "FSearchAs", &FSearchAs, 1, 0);
  ReadIntSetting(key, "FSearchIn", &FSearchIn, 1, 0);
  FMask = ReadTextSetting(key, "FMask", "*.*");
  FText = ReadTextSetting(key, "FText", "");
  ReadIntSetting(key, "FSInverse", &FSInverse, 0, 0);
  ReadIntSetting(key, "FROpenModified", &FROpenModified, 0, 1);
  ReadIntSetting(key, "FRConfirmFile", &FRConfirmFile, 0, 1);
  ReadIntSetting(key, "FRConfirmLine", &FRConfirmLine, 0, 1);
  ReadIntSetting(key, "FRSaveOriginal", &FRSaveOriginal, 0, 1);
  FRReplace = ReadTextSetting(key, "FRReplace", "");
}

void SaveSettings(bool release) {
  SettingsKey key;
  WriteIntSetting(key, "SeveralLines", SeveralLines);
  WriteIntSetting(key, "ReadAtOnceLimit", ReadAtOnceLimit);
  WriteIntSetting(key, "MaskDelimiter", ToCharacterCode(MaskDelimiter));
  WriteIntSetting(key, "MaskNegation", ToCharacterCode(MaskNegation));
  WriteIntSetting(key, "DotAsteriskMatchesNoExtension", DotAsteriskMatchesNoExtension);
  WriteIntSetting(key, "FCaseSensitive", FCaseSensitive);
  WriteIntSetting(key, "FSearchAs", FSearchAs);
  WriteIntSetting(key, "FSearchIn", FSearchIn);
  WriteTextSetting(key, "FMask", FMask);
  if (release) ReleaseText(FMask);
  WriteTextSetting(key, "FText", FText);
  if (release) ReleaseText(FText);
  WriteIntSetting(key, "FSInverse", FSInverse);
  WriteIntSetting(key, "FROpenModified", FROpenModified);
  WriteIntSetting(key, "FRConfirmFile", FRConfirmFile);
  WriteIntSetting(key, "FRConfirmLine", FRConfirmLine);
  WriteIntSetting(key, "FRSaveOriginal", FRSaveOriginal);
  WriteTextSetting(key, "FRReplace", FRReplace);
  if (release) ReleaseText(FRReplace);
}
