#include "command_args.h"

#include <cstring>

namespace program {

bool CommandWords::Next(std::string* word) {
  *word = words_[next_++];
  hasInlineValue_ = false;
  if (optionsEnded_ || word->size() < 2 || (*word)[0] != '-') return false;
  if (*word == "--") {
    optionsEnded_ = true;
    if (done()) return false;
    *word = words_[next_++];
    return false;
  }
  std::size_t equals = word->find('=');
  if (word->rfind("--", 0) == 0 && equals != std::string::npos) {
    inlineValue_ = word->substr(equals + 1);
    hasInlineValue_ = true;
  }
  return true;
}

bool CommandWords::TakeValue(const std::string& option, std::string* value, std::string* error) {
  if (hasInlineValue_) {
    *value = inlineValue_;
    hasInlineValue_ = false;
    return true;
  }
  if (done()) {
    *error = option + " needs a value";
    return false;
  }
  *value = words_[next_++];
  return true;
}

bool CommandWords::TakeFieldText(const std::string& option, std::optional<std::string>* field,
                                 std::string* error) {
  std::string value;
  if (!TakeValue(option, &value, error)) return false;
  // A user cannot type more than the field holds.
  if (value.size() > kFieldLimit) {
    *error = option + " is longer than the " + std::to_string(kFieldLimit) +
             " characters the dialog's field holds";
    return false;
  }
  *field = value;
  return true;
}

bool CommandWords::TakeChoice(const std::string& option, const char* const* names, int count,
                              std::optional<int>* field, std::string* error) {
  std::string value;
  if (!TakeValue(option, &value, error)) return false;
  for (int i = 0; i < count; ++i) {
    if (value == names[i]) {
      *field = i;
      return true;
    }
  }
  *error = "unknown value " + value + " for " + option;
  return false;
}

bool TakeThreadsOption(CommandWords& words, const std::string& word, std::optional<int>* threads,
                       bool* taken, std::string* error) {
  const std::string name = words.OptionName(word);
  std::string value;
  *taken = true;
  if (word.size() > 2 && word.compare(0, 2, "-j") == 0 && word[2] != '-') {
    value = word.substr(2);
  } else if (name == "-j" || name == "--threads") {
    if (!words.TakeValue(name, &value, error)) return false;
  } else {
    *taken = false;
    return true;
  }
  int number = 0;
  bool digits = !value.empty() && value.size() <= 4;
  for (char c : value) {
    digits = digits && c >= '0' && c <= '9';
    if (digits) number = number * 10 + (c - '0');
  }
  if (!digits || number > kMostThreads) {
    *error = "the threads must be a number from 0 to " + std::to_string(kMostThreads) +
             ", not " + value;
    return false;
  }
  *threads = number;
  return true;
}

bool TakeFolderWord(const std::string& word, std::string* dir, bool* given, std::string* error) {
  if (*given) {
    *error = "unexpected argument " + word + " (the folder is already " + *dir + ")";
    return false;
  }
  if (word.empty()) {
    *error = "the folder is empty";
    return false;
  }
  *dir = word;
  *given = true;
  return true;
}

bool HasHistory(const FarDialogItem& item, const char* name) {
  if (item.Type != DI_EDIT || !(item.Flags & DIF_HISTORY) || item.Selected == 0) return false;
  return std::strcmp(reinterpret_cast<const char*>(item.Selected), name) == 0;
}

std::vector<RadioGroup> FindRadioGroups(const FarDialogItem* items, int count) {
  std::vector<RadioGroup> groups;
  for (int i = 0; i < count; ++i) {
    if (items[i].Type != DI_RADIOBUTTON) continue;
    bool continues = !groups.empty() && groups.back().first + groups.back().size == i &&
                     !(items[i].Flags & DIF_GROUP);
    if (continues)
      ++groups.back().size;
    else
      groups.push_back({i, 1});
  }
  return groups;
}

void TypeIntoField(FarDialogItem& item, const std::string& text) {
  std::size_t length = text.size() < kFieldLimit ? text.size() : kFieldLimit;
  std::memcpy(item.Data, text.data(), length);
  item.Data[length] = '\0';
}

void PressRadioButton(FarDialogItem* items, int first, int count, int chosen) {
  for (int k = 0; k < count; ++k) items[first + k].Selected = k == chosen ? 1 : 0;
}

int FindDefaultButton(const FarDialogItem* items, int count) {
  for (int i = 0; i < count; ++i)
    if (items[i].Type == DI_BUTTON && items[i].DefaultButton) return i;
  return -1;
}

int FindCancelButton(const FarDialogItem* items, int count) {
  for (int i = count - 1; i >= 0; --i)
    if (items[i].Type == DI_BUTTON && !items[i].DefaultButton) return i;
  return -1;
}

}  // namespace program
