// The words of a command that takes options of its own ("quarix search --mask M ..."), and
// the edits a user makes in a dialog's fields.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "far/plugin.h"

namespace program {

// Reads the words of a command one by one: "--name VALUE", "--name=VALUE", flags and
// plain words; "--" makes every later word a plain one.
class CommandWords {
 public:
  CommandWords(int argc, char** argv) : words_(argv, argv + argc) {}

  bool done() const { return next_ >= words_.size(); }
  // The next word; true when it is an option (begins with "-" and options have not ended).
  bool Next(std::string* word);
  // For the option just read: its value, from "--name=VALUE" or the following word.
  // False with a reason in *error when it has none.
  bool TakeValue(const std::string& option, std::string* value, std::string* error);
  // The name of the option just read, without any "=VALUE".
  std::string OptionName(const std::string& word) const { return word.substr(0, word.find('=')); }
  // For the option just read: a text to type into a dialog's field, refused when it is
  // longer than the field holds.
  bool TakeFieldText(const std::string& option, std::optional<std::string>* field,
                     std::string* error);
  // For the option just read: one of count names, as its index.
  bool TakeChoice(const std::string& option, const char* const* names, int count,
                  std::optional<int>* field, std::string* error);

 private:
  std::vector<std::string> words_;
  std::size_t next_ = 0;
  bool optionsEnded_ = false;
  std::string inlineValue_;
  bool hasInlineValue_ = false;
};

// "-j N", "-jN", "--threads N" or "--threads=N" (word is the option just read): the threads
// that test files, 0 for one per processor. Sets *taken when the word is that option;
// false with a reason when its value is no number from 0 to kMostThreads.
constexpr int kMostThreads = 1024;
bool TakeThreadsOption(CommandWords& words, const std::string& word, std::optional<int>* threads,
                       bool* taken, std::string* error);

// The one folder a command may name among its options; false with a reason when a
// second one is given or the word is empty.
bool TakeFolderWord(const std::string& word, std::string* dir, bool* given, std::string* error);

// The characters a dialog's text field holds (its Data, less the terminating zero).
constexpr std::size_t kFieldLimit = sizeof(FarDialogItem{}.Data) - 1;

// Writes text into a field as typed; the caller has checked that it fits.
void TypeIntoField(FarDialogItem& item, const std::string& text);
// Presses the radio button at index chosen of the group items[first .. first + count).
void PressRadioButton(FarDialogItem* items, int first, int count, int chosen);
// True for an edit field that keeps its history under that name.
bool HasHistory(const FarDialogItem& item, const char* name);
// The dialog's radio button groups in item order: where each starts and how many buttons
// it holds.
struct RadioGroup {
  int first, size;
};
std::vector<RadioGroup> FindRadioGroups(const FarDialogItem* items, int count);
// The index of the default button, or -1.
int FindDefaultButton(const FarDialogItem* items, int count);
// The index of the last button that is not the default one (Cancel), or -1 (Escape).
int FindCancelButton(const FarDialogItem* items, int count);

}  // namespace program
