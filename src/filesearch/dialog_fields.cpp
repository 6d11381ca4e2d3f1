#include "filesearch/dialog_fields.h"

#include "common/messages.h"

std::string TakeFieldText(const FarDialogItem& item, const std::string& stored) {
  std::string text = DialogItemText(item);
  if (text.size() == sizeof(item.Data) - 1 && stored.size() > text.size() &&
      stored.compare(0, text.size(), text) == 0)
    return stored;
  return text;
}

int SelectedIndex(const FarDialogItem* items, int first, int count) {
  for (int k = 0; k < count - 1; ++k)
    if (items[first + k].Selected) return k;
  return count - 1;
}
