// The name a panel entry's find record holds.
#pragma once

#include <cstring>
#include <string_view>

#include "far/plugin.h"

namespace flavour {

// Empty when the name fills the whole record: it may have lost its end, so it is no name.
inline std::string_view NameInRecord(const PluginPanelItem& item) {
  const char* name = item.FindData.cFileName;
  const std::size_t length = strnlen(name, sizeof(item.FindData.cFileName));
  return length < sizeof(item.FindData.cFileName) ? std::string_view(name, length)
                                                  : std::string_view();
}

}  // namespace flavour
