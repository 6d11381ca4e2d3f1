// Panel entries of the hosts whose find record holds every name the plugins hand them: a
// longer path is left out.
#include <cstring>

#include "flavour/flavour.h"
#include "flavour/record_name.h"

namespace flavour {

std::string_view NameOfPanelItem(const PluginPanelItem& item) {
  return NameInRecord(item);
}

bool AttachLongName(PluginPanelItem*, const char*) { return false; }

void ReleaseLongName(PluginPanelItem*) {}

}  // namespace flavour
