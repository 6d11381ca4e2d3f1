#include <cstdint>
#include <cstring>
#include <string>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/dialogs.h"
#include "filesearch/settings.h"

namespace {

constexpr int kItems = 15;
constexpr int kLinesField = 2;
constexpr int kLimitField = 4;
constexpr int kDelimiterField = 7;
constexpr int kNegationField = 9;
constexpr int kNoExtensionBox = 10;
constexpr int kThreadsField = 12;
constexpr int kOkButton = 13;
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

}  // namespace

int ShowConfigDialog() {
  const std::string lines = std::to_string(Stored.SeveralLines);
  const std::string limit = std::to_string(Stored.ReadAtOnceLimit);
  const std::string threads = std::to_string(Stored.Threads);
  // A character code 0 is an empty field.
  const char delimiter[2] = {static_cast<char>(Stored.MaskDelimiter & 0xFF), '\0'};
  const char negation[2] = {static_cast<char>(Stored.MaskNegation & 0xFF), '\0'};
  const DialogItemSpec layout[kItems] = {
      {DI_DOUBLEBOX, 3, 1, 52, 15, 0, 0, 0, 0, kMsgPluginTitle},
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
      {DI_BUTTON, 0, 13, 0, 0, 0, 0, DIF_CENTERGROUP, 1, TextData(MessageText(kMsgOk))},
      {DI_BUTTON, 0, 13, 0, 0, 0, 0, DIF_CENTERGROUP, 0, kMsgCancel},
  };
  FarDialogItem items[kItems] = {};
  ExpandDialogItems(layout, items, kItems);

  for (;;) {
    int closedBy = Info.Dialog(Info.ModuleNumber, -1, -1, 56, 17, "QXCfg", items, kItems);
    if (closedBy != kOkButton) return 0;
    // Every check runs; a number that passes is taken at once.
    bool threadsOk = CheckNumber(DialogItemText(items[kThreadsField]).c_str(), &Stored.Threads, 0,
                                 kMostThreads);
    bool limitOk =
        CheckNumber(DialogItemText(items[kLimitField]).c_str(), &Stored.ReadAtOnceLimit, 0, 0x1FFFF);
    bool linesOk = CheckNumber(DialogItemText(items[kLinesField]).c_str(), &Stored.SeveralLines, 1, 255);
    if (limitOk && linesOk && threadsOk) break;
    ShowInvalidNumber();
    items[kLinesField].Focus = 0;
    items[kLimitField].Focus = 0;
    items[kThreadsField].Focus = 0;
    items[kNoExtensionBox].Focus = 0;
    items[!linesOk ? kLinesField : !limitOk ? kLimitField : kThreadsField].Focus = 1;
  }
  Stored.MaskDelimiter = static_cast<unsigned char>(items[kDelimiterField].Data[0]);
  Stored.MaskNegation = static_cast<unsigned char>(items[kNegationField].Data[0]);
  Stored.DotAsteriskMatchesNoExtension = items[kNoExtensionBox].Selected ? 1 : 0;
  SaveSettings(false);
  return 1;
}
