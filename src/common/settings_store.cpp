#include "common/settings_store.h"

#include <cstring>
#include <vector>

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
  key_ = platform::OpenRegistryKey(path.c_str());
}

long SettingsKey::Close() {
  if (!key_) return 0;
  long status = platform::CloseRegistryKey(key_);
  key_ = nullptr;
  return status;
}

std::string ReadTextSetting(const SettingsKey& key, const char* name, const char* def) {
  if (!key.get()) return def;
  DWORD type = 0;
  DWORD size = 0;
  if (!platform::QueryRegistryValue(key.get(), name, &type, nullptr, &size) ||
      type != platform::kRegSz)
    return def;
  std::vector<char> buffer(size + 1, '\0');
  DWORD got = size;
  if (!platform::QueryRegistryValue(key.get(), name, &type, buffer.data(), &got) ||
      type != platform::kRegSz)
    return def;
  if (got > size) got = size;
  // Stop at the first zero: a text stored with its terminator, or without one, reads the same.
  return std::string(buffer.data(), strnlen(buffer.data(), got));
}

void ReadIntSetting(const SettingsKey& key, const char* name, int* dest, int def,
                    int lowerBound) {
  *dest = def;
  if (!key.get()) return;
  DWORD type = 0;
  DWORD size = 0;
  if (!platform::QueryRegistryValue(key.get(), name, &type, nullptr, &size) ||
      type != platform::kRegDword || size != sizeof(DWORD))
    return;
  std::int32_t value = 0;
  DWORD got = sizeof(value);
  if (!platform::QueryRegistryValue(key.get(), name, &type, &value, &got) ||
      type != platform::kRegDword || got != sizeof(value))
    return;
  if (value < lowerBound) return;
  *dest = value;
}

void WriteTextSetting(const SettingsKey& key, const char* name, const std::string& text) {
  if (!key.get()) return;
  platform::SetRegistryValue(key.get(), name, platform::kRegSz, text.c_str(),
                             static_cast<DWORD>(text.size() + 1));
}

void WriteIntSetting(const SettingsKey& key, const char* name, int value) {
  if (!key.get()) return;
  std::int32_t stored = value;
  platform::SetRegistryValue(key.get(), name, platform::kRegDword, &stored, sizeof(stored));
}
