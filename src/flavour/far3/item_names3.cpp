// Panel entries of the native modules: a path too long for the find record is carried
// beside it, since Far 3 takes paths of any length.
#include <cstdlib>
#include <cstring>

#include "flavour/flavour.h"
#include "flavour/record_name.h"

namespace flavour {

std::string_view NameOfPanelItem(const PluginPanelItem& item) {
  if (item.LongName) return item.LongName;
  return NameInRecord(item);
}

bool AttachLongName(PluginPanelItem* item, const char* path) {
  const std::size_t size = std::strlen(path) + 1;
  auto* copy = static_cast<char*>(std::malloc(size));
  if (!copy) return false;
  std::memcpy(copy, path, size);
  item->FindData.cFileName[0] = '\0';
  item->LongName = copy;
  return true;
}

void ReleaseLongName(PluginPanelItem* item) {
  std::free(item->LongName);
  item->LongName = nullptr;
}

}  // namespace flavour
