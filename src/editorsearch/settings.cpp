#include "editorsearch/settings.h"

#include "common/settings_store.h"

LinquoSettings EStored;

namespace {

void WriteSearchSettings(const SettingsKey& key) {
  WriteTextSetting(key, "EText", EStored.EText);
  WriteIntSetting(key, "ERegExp", EStored.ERegExp);
  WriteIntSetting(key, "ECaseSensitive", EStored.ECaseSensitive);
}

}  // namespace

void LoadEditorSettings() {
  SettingsKey key;
  EStored.EText = ReadTextSetting(key, "EText", "");
  ReadIntSetting(key, "ERegExp", &EStored.ERegExp, 1, 0);
  ReadIntSetting(key, "ECaseSensitive", &EStored.ECaseSensitive, 0, 0);
  EStored.ERReplace = ReadTextSetting(key, "ERReplace", "");
}

void SaveEditorSettings() {
  SettingsKey key;
  WriteSearchSettings(key);
  WriteTextSetting(key, "ERReplace", EStored.ERReplace);
  std::string().swap(EStored.ERReplace);
}

int ReloadEditorText() {
  SettingsKey key;
  int mode = 0;
  // Without a stored mode the editor keeps its own.
  ReadIntSetting(key, "FSearchAs", &mode, EStored.ERegExp, 0);
  // Only the plain-text and the line-pattern searches carry a text the editor can use.
  if (mode < 2) {
    EStored.ERegExp = mode;
    EStored.EText = ReadTextSetting(key, "FText", "");
  }
  ReadIntSetting(key, "FCaseSensitive", &EStored.ECaseSensitive, 0, 0);
  WriteSearchSettings(key);
  return static_cast<int>(key.Close());
}
