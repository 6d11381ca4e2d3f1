#include "encoding_option.h"

#include <vector>

#include "escaped_text.h"
#include "filesearch/code_pages.h"
#include "platform/platform.h"

namespace program {

bool CheckEncodingList(const std::string& list, std::string* error) {
  std::vector<Reading> readings;
  std::string unknown;
  if (ParseReadings(list, &readings, &unknown)) return true;
  *error = "unknown encoding " + EscapeControlBytes(unknown) + " (known: " + ListReadingNames() +
           ")";
  return false;
}

bool StoreEncodingList(const std::optional<std::string>& list, std::string* error) {
  if (!list) return true;
  // The key our host gives the plugins (host::Host::rootKey) and the plugins' own part.
  platform::RegistryKey* key = platform::OpenRegistryKey("Software\\Far\\Plugins\\Quarix");
  bool stored = key && platform::SetRegistryValue(key, "Encodings", platform::kRegSz,
                                                  list->c_str(),
                                                  static_cast<std::uint32_t>(list->size() + 1));
  if (key && platform::CloseRegistryKey(key) != 0) stored = false;
  if (!stored) *error = "cannot store the encodings in the settings";
  return stored;
}

}  // namespace program
