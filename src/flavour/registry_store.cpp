// The settings in a registry key of the platform: the 1.x hosts, our host and far2l.
#include <cstring>
#include <vector>

#include "flavour/flavour.h"

namespace flavour {

struct SettingsStore {
  platform::RegistryKey* key;
};

SettingsStore* OpenSettingsStore(const std::string& keyPath) {
  platform::RegistryKey* key = platform::OpenRegistryKey(keyPath.c_str());
  return key ? new SettingsStore{key} : nullptr;
}

long CloseSettingsStore(SettingsStore* store) {
  if (!store) return 0;
  const long status = platform::CloseRegistryKey(store->key);
  delete store;
  return status;
}

bool ReadStoredText(SettingsStore* store, const char* name, std::string* text) {
  if (!store) return false;
  DWORD type = 0;
  DWORD size = 0;
  if (!platform::QueryRegistryValue(store->key, name, &type, nullptr, &size) ||
      type != platform::kRegSz)
    return false;
  std::vector<char> buffer(size + 1, '\0');
  DWORD got = size;
  if (!platform::QueryRegistryValue(store->key, name, &type, buffer.data(), &got) ||
      type != platform::kRegSz)
    return false;
  if (got > size) got = size;
  // Stop at the first zero: a text stored with its terminator, or without one, reads the same.
  text->assign(buffer.data(), strnlen(buffer.data(), got));
  return true;
}

bool ReadStoredNumber(SettingsStore* store, const char* name, std::int32_t* value) {
  if (!store) return false;
  DWORD type = 0;
  DWORD size = 0;
  if (!platform::QueryRegistryValue(store->key, name, &type, nullptr, &size) ||
      type != platform::kRegDword || size != sizeof(DWORD))
    return false;
  DWORD got = sizeof(*value);
  return platform::QueryRegistryValue(store->key, name, &type, value, &got) &&
         type == platform::kRegDword && got == sizeof(*value);
}

void WriteStoredText(SettingsStore* store, const char* name, const std::string& text) {
  if (!store) return;
  platform::SetRegistryValue(store->key, name, platform::kRegSz, text.c_str(),
                             static_cast<DWORD>(text.size() + 1));
}

void WriteStoredNumber(SettingsStore* store, const char* name, std::int32_t value) {
  if (!store) return;
  platform::SetRegistryValue(store->key, name, platform::kRegDword, &value, sizeof(value));
}

}  // namespace flavour
