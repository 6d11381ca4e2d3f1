#include "filesearch/settings.h"

#include "common/settings_store.h"
#include "filesearch/search_run.h"

TrawlixSettings Stored;

namespace {

// The mask characters are single bytes; a hand-edited value above 255 keeps its low
// byte, so that every later character conversion and table lookup stays in range.
int ToCharacterCode(int value) { return value & 0xFF; }

// Frees the text's storage too: after the exit save nothing of it is kept.
void ReleaseText(std::string& text) { std::string().swap(text); }

}  // namespace

void LoadSettings() {
  SettingsKey key;
  ReadIntSetting(key, "SeveralLines", &Stored.SeveralLines, 5, 1);
  ReadIntSetting(key, "ReadAtOnceLimit", &Stored.ReadAtOnceLimit, 1024, 0);
  ReadIntSetting(key, "MaskDelimiter", &Stored.MaskDelimiter, ',', 0);
  Stored.MaskDelimiter = ToCharacterCode(Stored.MaskDelimiter);
  ReadIntSetting(key, "MaskNegation", &Stored.MaskNegation, '!', 0);
  Stored.MaskNegation = ToCharacterCode(Stored.MaskNegation);
  ReadIntSetting(key, "DotAsteriskMatchesNoExtension", &Stored.DotAsteriskMatchesNoExtension, 1, 0);
  ReadIntSetting(key, "FCaseSensitive", &Stored.FCaseSensitive, 0, 0);
  ReadIntSetting(key, "FSearchAs", &Stored.FSearchAs, 1, 0);
  ReadIntSetting(key, "FSearchIn", &Stored.FSearchIn, 1, 0);
  Stored.FMask = ReadTextSetting(key, "FMask", "*.*");
  Stored.FText = ReadTextSetting(key, "FText", "");
  ReadIntSetting(key, "FSInverse", &Stored.FSInverse, 0, 0);
  ReadIntSetting(key, "FROpenModified", &Stored.FROpenModified, 0, 1);
  ReadIntSetting(key, "FRConfirmFile", &Stored.FRConfirmFile, 0, 1);
  ReadIntSetting(key, "FRConfirmLine", &Stored.FRConfirmLine, 0, 1);
  ReadIntSetting(key, "FRSaveOriginal", &Stored.FRSaveOriginal, 0, 1);
  Stored.FRReplace = ReadTextSetting(key, "FRReplace", "");
  ReadIntSetting(key, "Threads", &Stored.Threads, 0, 0);
  Stored.Encodings = ReadTextSetting(key, "Encodings", "auto");
}

void SaveSettings(bool release) {
  SettingsKey key;
  WriteIntSetting(key, "SeveralLines", Stored.SeveralLines);
  WriteIntSetting(key, "ReadAtOnceLimit", Stored.ReadAtOnceLimit);
  WriteIntSetting(key, "MaskDelimiter", ToCharacterCode(Stored.MaskDelimiter));
  WriteIntSetting(key, "MaskNegation", ToCharacterCode(Stored.MaskNegation));
  WriteIntSetting(key, "DotAsteriskMatchesNoExtension", Stored.DotAsteriskMatchesNoExtension);
  WriteIntSetting(key, "FCaseSensitive", Stored.FCaseSensitive);
  WriteIntSetting(key, "FSearchAs", Stored.FSearchAs);
  WriteIntSetting(key, "FSearchIn", Stored.FSearchIn);
  WriteTextSetting(key, "FMask", Stored.FMask);
  if (release) ReleaseText(Stored.FMask);
  WriteTextSetting(key, "FText", Stored.FText);
  if (release) ReleaseText(Stored.FText);
  WriteIntSetting(key, "FSInverse", Stored.FSInverse);
  WriteIntSetting(key, "FROpenModified", Stored.FROpenModified);
  WriteIntSetting(key, "FRConfirmFile", Stored.FRConfirmFile);
  WriteIntSetting(key, "FRConfirmLine", Stored.FRConfirmLine);
  WriteIntSetting(key, "FRSaveOriginal", Stored.FRSaveOriginal);
  WriteTextSetting(key, "FRReplace", Stored.FRReplace);
  if (release) ReleaseText(Stored.FRReplace);
  WriteIntSetting(key, "Threads", Stored.Threads);
  WriteTextSetting(key, "Encodings", Stored.Encodings);
  if (release) ReleaseText(Stored.Encodings);
}

SearchSettings TakeSearchSettings() {
  SearchSettings taken;
  taken.text = Stored.FText;
  taken.masks = Stored.FMask;
  taken.modeNumber = Stored.FSearchAs;
  taken.caseSensitive = Stored.FCaseSensitive != 0;
  taken.inverse = Stored.FSInverse != 0;
  taken.scope = Stored.FSearchIn;
  taken.severalLines = Stored.SeveralLines;
  taken.threads = Stored.Threads;
  taken.readAtOnceBytes =
      static_cast<std::uint64_t>(Stored.ReadAtOnceLimit > 0 ? Stored.ReadAtOnceLimit : 0) * 1024u;
  taken.replacement = Stored.FRReplace;
  taken.keepBackup = Stored.FRSaveOriginal != 0;
  taken.confirmMatches = Stored.FRConfirmLine != 0;
  taken.confirmFiles = Stored.FRConfirmFile != 0;
  taken.listRewritten = Stored.FROpenModified != 0;
  // A hand-edited list with a name no code page has reads files as they are.
  ParseReadings(Stored.Encodings, &taken.readings);
  return taken;
}
