#include "filesearch/results.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "flavour/flavour.h"

ResultsList Results;

namespace {

constexpr int kFirstCapacity = 64;

// Grows the array geometrically, so that a long search copies it only a few times.
// False when memory runs out; the list is then as it was.
bool ReserveOneMore(ResultsList* list) {
  if (list->count < list->capacity) return true;
  if (list->count == INT_MAX) return false;
  int capacity = list->capacity < kFirstCapacity ? kFirstCapacity
                 : list->capacity > INT_MAX / 2  ? INT_MAX
                                                 : list->capacity * 2;
  void* grown =
      std::realloc(list->items, static_cast<std::size_t>(capacity) * sizeof(PluginPanelItem));
  if (!grown) return false;
  list->items = static_cast<PluginPanelItem*>(grown);
  list->capacity = capacity;
  return true;
}

}  // namespace

void AddResult(ResultsList* list, const platform::FileRecord* record) {
  if (!ReserveOneMore(list)) return;
  PluginPanelItem& item = list->items[list->count];
  // Every field but the listing record is 0: sizes, flags, links, texts, user data and
  // the reserved words.
  std::memset(&item, 0, sizeof(item));
  if (!flavour::ConvertToPanelRecord(*record, &item.FindData) &&
      !flavour::AttachLongName(&item, record->cFileName)) {
    if (list->leftOut < INT_MAX) ++list->leftOut;
    return;
  }
  ++list->count;
}

void RemoveResult(ResultsList* list, int index) {
  if (index < 0 || index >= list->count) return;
  flavour::ReleaseLongName(&list->items[index]);
  std::memmove(&list->items[index], &list->items[index + 1],
               sizeof(PluginPanelItem) * static_cast<std::size_t>(list->count - index - 1));
  --list->count;
}

void ClearResults(ResultsList* list) {
  for (int i = 0; i < list->count; ++i) flavour::ReleaseLongName(&list->items[i]);
  std::free(list->items);
  list->items = nullptr;
  list->count = 0;
  list->capacity = 0;
  list->leftOut = 0;
  list->namesLeftOut = 0;
}
