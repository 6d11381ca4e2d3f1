#include "common/settings_store.h"

#include <cstring>

#include "common/host_binding.h"
#include "flavour/flavour.h"

namespace {

constexpr const char kKeySuffix[] = "\\Quarix";
constexpr std::size_t kKeyPathBuffer = 256;

}  // namespace

std::string ComposeSettingsKeyPath(const char* rootKey, bool ignoreRootKey) {
  if (ignoreRootKey) return kKeySuffix + 1;
  const char* root = rootKey ? rootKey : "";
  // The key path must fit the host's 256-byte buffer; a longer one is not opened at all.
  std::size_t rootLength = std::strlen(root);
  if (rootLength + sizeof(kKeySuffix) > kKeyPathBuffer) return std::string();
  std::string path(root, rootLength);
  path += kKeySuffix;
  return path;
}

SettingsKey::SettingsKey() {
  std::string path = ComposeSettingsKeyPath(Info.RootKey, flavour::kSettingsIgnoreRootKey);
  if (path.empty()) return;
  key_ = flavour::OpenSettingsStore(path);
}

long SettingsKey::Close() {
  if (!key_) return 0;
  long status = flavour::CloseSettingsStore(key_);
  key_ = nullptr;
  return status;
}

std::string ReadTextSetting(const SettingsKey& key, const char* name, const char* def) {
  std::string text;
  return flavour::ReadStoredText(key.get(), name, &text) ? text : std::string(def);
}

void ReadIntSetting(const SettingsKey& key, const char* name, int* dest, int def,
                    int lowerBound) {
  *dest = def;
  std::int32_t value = 0;
  if (!flavour::ReadStoredNumber(key.get(), name, &value) || value < lowerBound) return;
  *dest = value;
}

void WriteTextSetting(const SettingsKey& key, const char* name, const std::string& text) {
  flavour::WriteStoredText(key.get(), name, text);
}

void WriteIntSetting(const SettingsKey& key, const char* name, int value) {
  flavour::WriteStoredNumber(key.get(), name, value);
}
