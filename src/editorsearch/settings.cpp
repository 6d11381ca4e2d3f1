#include "editorsearch/settings.h"

#include "common/settings_store.h"

std::string EText;
int ERegExp = 1;
int ECaseSensitive = 0;
std::string ERReplace;

namespace {

void WriteSearchSettings(const SettingsKey& key) {
  WriteTextSetting(key, "EText", EText);
  WriteIntSetting(key, "ERegExp", ERegExp);
  WriteIntSetting(key, "ECaseSensitive", ECaseSensitive);
}

}  // namespace

void LoadEditorSettings() {
  SettingsKey key;
  EText = ReadTextSetting(key, "EText", "");
  ReadIntSetting(key, "ERegExp", &ERegExp, 1, 0);
  ReadIntSetting(key, "ECaseSensitive", &ECaseSensitive, 0, 0);
  ERReplace = ReadTextSetting(key, "ERReplace", "");
}

void SaveEditorSettings() {
  SettingsKey key;
  WriteSearchSettings(key);
  WriteTextSetting(key, "ERReplace", ERReplace);
  std::string().swap(ERReplace);
}

int ReloadEditorText() {
  SettingsKey key;
  int mode = 0;
  // Without a stored mode the editor keeps its own.
  ReadIntSetting(key, "FSearchAs", &mode, ERegExp, 0);
  // Only the plain-text and the line-pattern searches carry a text the editor can use.
  if (mode < 2) {
    ERegExp = mode;
    EText = ReadTextSetting(key, "FText", "");
  }
  ReadIntSetting(key, "FCaseSensitive", &ECaseSensitive, 0, 0);
  WriteSearchSettings(key);
  return static_cast<int>(key.Close());
}
