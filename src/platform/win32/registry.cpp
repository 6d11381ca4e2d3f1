// Settings keys in the Windows registry, below HKEY_CURRENT_USER. These stay with the A
// functions: key and value names are ASCII, and the values are the plugins' own bytes
// (texts in the plugins' code page, stored and read back unchanged), not file names;
// the W functions would convert them through the ANSI code page and change them.
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

struct platform::RegistryKey {
  HKEY key = nullptr;
};

namespace platform {

RegistryKey* OpenRegistryKey(const char* path) {
  if (!path || !*path) return nullptr;
  HKEY key = nullptr;
  unsigned long disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS)
    return nullptr;
  return new RegistryKey{key};
}

RegistryKey* OpenExistingRegistryKey(const char* path) {
  if (!path || !*path) return nullptr;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return new RegistryKey{key};
}

long CloseRegistryKey(RegistryKey* key) {
  if (!key) return ERROR_INVALID_HANDLE;
  long result = RegCloseKey(key->key);
  delete key;
  return result;
}

bool QueryRegistryValue(RegistryKey* key, const char* name, std::uint32_t* type, void* data,
                        std::uint32_t* size) {
  if (!key || !size) return false;
  unsigned long valueType = 0;
  unsigned long valueSize = data ? *size : 0;
  long result = RegQueryValueExA(key->key, name, nullptr, &valueType,
                                 static_cast<BYTE*>(data), &valueSize);
  if (type) *type = static_cast<std::uint32_t>(valueType);
  *size = static_cast<std::uint32_t>(valueSize);
  return result == ERROR_SUCCESS;
}

bool SetRegistryValue(RegistryKey* key, const char* name, std::uint32_t type, const void* data,
                      std::uint32_t size) {
  if (!key || (!data && size)) return false;
  return RegSetValueExA(key->key, name, 0, type, static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

}  // namespace platform
