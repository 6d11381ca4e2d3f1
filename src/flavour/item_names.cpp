// Panel entries of the hosts whose find record holds every name the plugins hand them: a
// longer path is left out.
#include <cstring>

#include "flavour/flavour.h"

namespace flavour {

std::string_view NameOfPanelItem(const PluginPanelItem& item) {
  // A name that fills the whole record may have lost its end: it is no name.
  const char* name = item.FindData.cFileName;
  const std::size_t length = strnlen(name, sizeof(item.FindData.cFileName));
  return length < sizeof(item.FindData.cFileName) ? std::string_view(name, length) : std::string_view();
}

bool AttachLongName(PluginPanelItem*, const char*) { return false; }

void ReleaseLongName(PluginPanelItem*) {}

}  // namespace flavour
