// What differs between the hosts the modules are built for: one header, one implementation
// file per host, chosen by the build (far1x.cpp: our host and the Windows 1.x API hosts;
// far2l.cpp: far2l). The plugins ask here instead of testing which host they are built for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "far/plugin.h"
#include "platform/platform.h"

namespace flavour {

// Whether the host hands the plugins UTF-8 text; otherwise it is 8-bit OEM text.
bool HostTextIsUtf8();

// The file name of Linquo's module, which lies beside Trawlix's.
extern const char* const kLinquoModuleName;

// Whether Trawlix hands Linquo its own startup record before the search is passed on. A
// Linquo of another API keeps the record its host gave it.
extern const bool kLinquoTakesStartupRecord;

// Whether the settings key ignores the root key the host gives: the host gives each module
// a different one, and both must share one key.
extern const bool kSettingsIgnoreRootKey;

// Fills a panel entry's file record from a listing record (full path in cFileName). False
// when the path does not fit the panel record.
bool ConvertToPanelRecord(const platform::FileRecord& record, PanelFindData* panel);

// The name (or full path) of a panel entry, wherever the entry holds it; empty when the
// record holds no whole name.
std::string_view NameOfPanelItem(const PluginPanelItem& item);
// Gives the entry a copy of path that its find record cannot hold. False where the records
// take no such path: the entry is then not to be kept.
bool AttachLongName(PluginPanelItem* item, const char* path);
// Frees what AttachLongName gave the entry.
void ReleaseLongName(PluginPanelItem* item);

// Sets the state of a dialog item's check box or radio button.
void SetDialogItemSelected(FarDialogItem* item, std::intptr_t selected);

// The store of the plugins' settings: a registry key (the 1.x hosts, our host, far2l) or
// the host's own settings database (Far 3). keyPath is the registry key the core composed.
// A store that cannot be opened is null; reading it gives nothing, writing it does nothing.
struct SettingsStore;
SettingsStore* OpenSettingsStore(const std::string& keyPath);
// Writes back what changed and releases the store; 0 on success.
long CloseSettingsStore(SettingsStore* store);
// A stored text (false when missing or of another type); a text stored without its
// terminating zero still yields the whole text.
bool ReadStoredText(SettingsStore* store, const char* name, std::string* text);
// A stored 32-bit number (false when missing or of another type).
bool ReadStoredNumber(SettingsStore* store, const char* name, std::int32_t* value);
void WriteStoredText(SettingsStore* store, const char* name, const std::string& text);
void WriteStoredNumber(SettingsStore* store, const char* name, std::int32_t value);

}  // namespace flavour
