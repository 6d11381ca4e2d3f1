#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/code_pages.h"
#include "filesearch/dialogs.h"
#include "filesearch/settings.h"

namespace {

constexpr int kItems = 17;
constexpr int kLinesField = 2;
constexpr int kLimitField = 4;
constexpr int kDelimiterField = 7;
constexpr int kNegationField = 9;
constexpr int kNoExtensionBox = 10;
constexpr int kThreadsField = 12;
constexpr int kEncodingsField = 14;
constexpr int kOkButton = 15;
// More threads than this only wait for the disk.
constexpr int kMostThreads = 64;

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads one decimal number as a formatted scan would (leading blanks, an optional sign,
// digits; whatever follows is ignored) and stores it when it lies within the bounds.
// Unlike the runtime's scan, a number too large for an int is refused instead of
// being undefined.
bool CheckNumber(const char* text, int* setting, int low, int high) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > INT32_MAX) return false;
  }
  if (negative) value = -value;
  if (value < low || value > high) return false;
  *setting = static_cast<int>(value);
  return true;
}

void ShowInvalidNumber() {
  const char* lines[] = {MessageText(kMsgPluginTitle), MessageText(kMsgInvalidNumber)};
  ShowWarning("QXInvalidNumber", lines, 2);
}

// The known names, a few to a line, so that no line is wider than a console.
std::vector<std::string> WrapNames(const std::string& names, std::size_t width) {
  std::vector<std::string> lines(1);
  std::size_t at = 0;
  while (at < names.size()) {
    std::size_t end = names.find(", ", at);
    end = end == std::string::npos ? names.size() : end + 1;
    const std::string name = names.substr(at, end - at);
    if (!lines.back().empty() && lines.back().size() + 1 + name.size() > width) lines.emplace_back();
    if (!lines.back().empty()) lines.back() += ' ';
    lines.back() += name;
    at = end + (end < names.size() ? 1 : 0);
  }
  return lines;
}

void ShowUnknownEncoding(const std::string& name) {
  const std::vector<std::string> known = WrapNames(ListReadingNames(), 56);
  std::vector<const char*> lines = {MessageText(kMsgPluginTitle), MessageText(kMsgUnknownEncoding),
                                    name.c_str(), MessageText(kMsgKnownEncodings)};
  for (const std::string& line : known) lines.push_back(line.c_str());
  ShowWarning("QXBadEncoding", lines.data(), static_cast<int>(lines.size()));
}

}  // namespace

int ShowConfigDialog() {
  const std::string lines = std::to_string(Stored.SeveralLines);
  const std::string limit = std::to_string(Stored.ReadAtOnceLimit);
  const std::string threads = std::to_string(Stored.Threads);
  // A character code 0 is an empty field.
  const char delimiter[2] = {static_cast<char>(Stored.MaskDelimiter & 0xFF), '\0'};
  const char negation[2] = {static_cast<char>(Stored.MaskNegation & 0xFF), '\0'};
  const DialogItemSpec layout[kItems] = {
      {DI_DOUBLEBOX, 3, 1, 52, 17, 0, 0, 0, 0, kMsgPluginTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, kMsgWindowLines},
      {DI_EDIT, 32, 2, 40, 0, 0, 0, 0, 0, TextData(lines.c_str())},
      {DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0, kMsgReadLimit},
      {DI_EDIT, 32, 4, 40, 0, 0, 0, 0, 0, TextData(limit.c_str())},
      {DI_TEXT, 42, 4, 0, 0, 0, 0, 0, 0, kMsgKilobytes},
      {DI_TEXT, 5, 6, 0, 0, 0, 0, 0, 0, kMsgMaskDelimiter},
      {DI_FIXEDIT, 32, 6, 32, 0, 0, 0, 0, 0, TextData(delimiter)},
      {DI_TEXT, 5, 7, 0, 0, 0, 0, 0, 0, kMsgMaskNegation},
      {DI_FIXEDIT, 32, 7, 32, 0, 0, 0, 0, 0, TextData(negation)},
      {DI_CHECKBOX, 5, 9, 0, 0, 0, static_cast<std::uintptr_t>(Stored.DotAsteriskMatchesNoExtension != 0),
       0, 0, kMsgDotStarNoExtension},
      {DI_TEXT, 5, 11, 0, 0, 0, 0, 0, 0, kMsgThreads},
      {DI_EDIT, 42, 11, 50, 0, 0, 0, 0, 0, TextData(threads.c_str())},
      {DI_TEXT, 5, 12, 0, 0, 0, 0, 0, 0, kMsgEncodings},
      {DI_EDIT, 5, 13, 50, 0, 0, 0, 0, 0, TextData(Stored.Encodings.c_str())},
      {DI_BUTTON, 0, 15, 0, 0, 0, 0, DIF_CENTERGROUP, 1, TextData(MessageText(kMsgOk))},
      {DI_BUTTON, 0, 15, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel},
  };
  FarDialogItem items[kItems] = {};
  ExpandDialogItems(layout, items, kItems);
  // A stored list longer than the field holds is shown cut; left alone, it stays whole.
  const std::string shownEncodings = DialogItemText(items[kEncodingsField]);
  std::string encodings;

  for (;;) {
    int closedBy = Info.Dialog(Info.ModuleNumber, -1, -1, 56, 19, "QXCfg", items, kItems);
    if (closedBy != kOkButton) return 0;
    // Every check runs; a number that passes is taken at once.
    bool threadsOk = CheckNumber(DialogItemText(items[kThreadsField]).c_str(), &Stored.Threads, 0,
                                 kMostThreads);
    bool limitOk =
        CheckNumber(DialogItemText(items[kLimitField]).c_str(), &Stored.ReadAtOnceLimit, 0, 0x1FFFF);
    bool linesOk = CheckNumber(DialogItemText(items[kLinesField]).c_str(), &Stored.SeveralLines, 1, 255);
    const bool numbersOk = limitOk && linesOk && threadsOk;
    // The list is taken only with the whole dialog, as the other texts are.
    const std::string typed = DialogItemText(items[kEncodingsField]);
    encodings = typed == shownEncodings ? Stored.Encodings : typed;
    std::vector<Reading> readings;
    std::string unknown;
    const bool encodingsOk = numbersOk && ParseReadings(encodings, &readings, &unknown);
    if (encodingsOk) break;
    if (!numbersOk)
      ShowInvalidNumber();
    else
      ShowUnknownEncoding(unknown);
    for (int field : {kLinesField, kLimitField, kThreadsField, kNoExtensionBox, kEncodingsField})
      items[field].Focus = 0;
    items[!linesOk ? kLinesField : !limitOk ? kLimitField : !threadsOk ? kThreadsField
                                                                        : kEncodingsField].Focus = 1;
  }
  Stored.Encodings = encodings;
  Stored.MaskDelimiter = static_cast<unsigned char>(items[kDelimiterField].Data[0]);
  Stored.MaskNegation = static_cast<unsigned char>(items[kNegationField].Data[0]);
  Stored.DotAsteriskMatchesNoExtension = items[kNoExtensionBox].Selected ? 1 : 0;
  SaveSettings(false);
  return 1;
}
