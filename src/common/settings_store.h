// The settings key "\Quarix" below the host's plugin root key, and typed access to its
// values. Each batch of reads or writes opens the key, does its steps and closes it.
#pragma once

#include <string>

#include "flavour/flavour.h"

// The settings key's path: "\Quarix" below the host's root key. With ignoreRootKey the
// key is "Quarix" whatever the root key says: far2l gives multibyte-API plugins an empty
// root key and wide-API ones "Software/Far2/Plugins", yet Trawlix and Linquo must share
// one key there, and the store already is a folder of ours in far2l's profile. Empty when
// the path would not fit the host's 256-byte key buffer.
std::string ComposeSettingsKeyPath(const char* rootKey, bool ignoreRootKey);

// Owns the open settings store for one batch; a store that could not be opened or created
// reads as all defaults and skips every write.
class SettingsKey {
 public:
  SettingsKey();
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;
  ~SettingsKey() { Close(); }

  // Returns the status of closing the key (0 when it closed cleanly or was never open).
  long Close();
  flavour::SettingsStore* get() const { return key_; }

 private:
  flavour::SettingsStore* key_ = nullptr;
};

// A stored text setting, or a copy of the default when the value is missing or not
// REG_SZ. A text stored without its terminating zero still yields the whole text.
std::string ReadTextSetting(const SettingsKey& key, const char* name, const char* def);
// The stored REG_DWORD, or the default when it is missing, of another type, or below the
// lower bound (a signed comparison). No upper bound is applied.
void ReadIntSetting(const SettingsKey& key, const char* name, int* dest, int def,
                    int lowerBound);
void WriteTextSetting(const SettingsKey& key, const char* name, const std::string& text);
void WriteIntSetting(const SettingsKey& key, const char* name, int value);
