#include "flavour/far3/settings3.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/utf8.h"
#include "flavour/far3/guids.h"
#include "flavour/far3/utf16_text.h"
#include "flavour/flavour.h"

namespace {

// The host's service and whether this start copies the old key: the host calls in on one
// thread.
far3::SettingsControlFn g_control = nullptr;
bool g_migrating = false;

const HANDLE kNoHandle = FAR_INVALID_HANDLE;

// Far's wchar_t texts; here, not wide_strings.h, so that the unit tests build this file
// where wchar_t is 32 bits.
std::wstring WideText(const std::string& text) {
  const std::u16string units = DecodeToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

// The item of one setting: name (wide) must live as long as the item.
far3::FarSettingsItem MakeItem(const std::wstring& name, far3::SettingsType type) {
  far3::FarSettingsItem item{};
  item.StructSize = sizeof(item);
  item.Name = name.c_str();
  item.Type = type;
  return item;
}

HANDLE CreateStore() {
  if (!g_control) return nullptr;
  far3::FarSettingsCreate create{sizeof(create), far3::kTrawlixGuid, nullptr};
  if (!g_control(kNoHandle, far3::SCTL_CREATE, far3::PSL_ROAMING, &create)) return nullptr;
  return create.Handle;
}

bool IsStoreEmpty() {
  HANDLE store = CreateStore();
  if (!store) return false;
  far3::FarSettingsEnum list{sizeof(list), 0, 0, nullptr};
  const bool empty = g_control(store, far3::SCTL_ENUM, 0, &list) && list.Count == 0;
  g_control(store, far3::SCTL_FREE, 0, nullptr);
  return empty;
}

// Where the 1.x modules kept their settings in Far 3: below the user's own key when
// FARUSER names one.
std::string OldKeyPath() {
  const char* user = std::getenv("FARUSER");
  std::string path = "Software\\Far Manager\\";
  if (user && *user) path += std::string("Users\\") + user + "\\";
  return path + "Plugins\\Quarix";
}

// A value of the old key, read without creating the key.
bool ReadOldValue(const char* name, std::uint32_t wantedType, std::string* bytes) {
  platform::RegistryKey* key = platform::OpenExistingRegistryKey(OldKeyPath().c_str());
  if (!key) return false;
  std::uint32_t type = 0, size = 0;
  bool found = platform::QueryRegistryValue(key, name, &type, nullptr, &size) &&
               type == wantedType;
  if (found) {
    bytes->assign(size, '\0');
    found = platform::QueryRegistryValue(key, name, &type, bytes->data(), &size) &&
            type == wantedType;
    bytes->resize(found ? size : 0);
  }
  platform::CloseRegistryKey(key);
  return found;
}

std::string DecodeOem(const std::string& bytes) {
  std::string text;
  for (const char byte : bytes) {
    if (byte == '\0') break;
    const char32_t c = platform::CharacterOfOem(static_cast<unsigned char>(byte));
    AppendUtf8(text, c == platform::kNoOemCharacter ? U'\xFFFD' : c);
  }
  return text;
}

}  // namespace

void BindFar3Settings(far3::SettingsControlFn control) {
  g_control = control;
  g_migrating = IsStoreEmpty();
}

void EndSettingsMigration() { g_migrating = false; }

namespace flavour {

struct SettingsStore {
  HANDLE handle;
};

SettingsStore* OpenSettingsStore(const std::string&) {
  HANDLE handle = CreateStore();
  return handle ? new SettingsStore{handle} : nullptr;
}

long CloseSettingsStore(SettingsStore* store) {
  if (!store) return 0;
  g_control(store->handle, far3::SCTL_FREE, 0, nullptr);
  delete store;
  return 0;
}

bool ReadStoredText(SettingsStore* store, const char* name, std::string* text) {
  if (!store) return false;
  const std::wstring wide = WideText(name);
  far3::FarSettingsItem item = MakeItem(wide, far3::FST_STRING);
  if (g_control(store->handle, far3::SCTL_GET, 0, &item) && item.String) {
    const std::wstring_view value(item.String);
    *text = EncodeUtf16(std::u16string(value.begin(), value.end()));
    return true;
  }
  std::string old;
  if (!g_migrating || !ReadOldValue(name, platform::kRegSz, &old)) return false;
  *text = DecodeOem(old);
  WriteStoredText(store, name, *text);
  return true;
}

bool ReadStoredNumber(SettingsStore* store, const char* name, std::int32_t* value) {
  if (!store) return false;
  const std::wstring wide = WideText(name);
  far3::FarSettingsItem item = MakeItem(wide, far3::FST_QWORD);
  if (g_control(store->handle, far3::SCTL_GET, 0, &item)) {
    *value = static_cast<std::int32_t>(item.Number);
    return true;
  }
  std::string old;
  if (!g_migrating || !ReadOldValue(name, platform::kRegDword, &old) ||
      old.size() != sizeof(*value))
    return false;
  std::memcpy(value, old.data(), sizeof(*value));
  WriteStoredNumber(store, name, *value);
  return true;
}

void WriteStoredText(SettingsStore* store, const char* name, const std::string& text) {
  if (!store) return;
  const std::wstring wide = WideText(name);
  const std::wstring value = WideText(text);
  far3::FarSettingsItem item = MakeItem(wide, far3::FST_STRING);
  item.String = value.c_str();
  g_control(store->handle, far3::SCTL_SET, 0, &item);
}

void WriteStoredNumber(SettingsStore* store, const char* name, std::int32_t value) {
  if (!store) return;
  const std::wstring wide = WideText(name);
  far3::FarSettingsItem item = MakeItem(wide, far3::FST_QWORD);
  // Stored as the number it is, so that a negative value reads back as itself.
  item.Number = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
  g_control(store->handle, far3::SCTL_SET, 0, &item);
}

}  // namespace flavour
