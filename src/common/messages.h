// Message texts by number, the compact dialog item descriptions, and the host messages
// that the plugins show.
#pragma once

#include <cstdint>
#include <string>

#include "common/message_ids.h"
#include "far/plugin.h"

// The host's text for message n (a MessageId); never null.
const char* MessageText(int n);

// Substitutes value for the first decimal conversion (%d, %i or %u, with the flags, width,
// precision and length modifier printf knows) of a message text that came from a language
// file, shown as printf would show it. The text is never used as a format: a text with no
// conversion shows as it is, other conversions are shown literally, and the result is cut
// to fit a line of limit characters.
std::string FormatMessageNumber(const char* text, long long value, std::size_t limit = 79);

// Data below this is a message number (0 meaning an empty text); above, a text's address.
constexpr std::uintptr_t kFirstTextAddress = 2000;

#pragma pack(push, 1)
struct DialogItemSpec {
  std::uint8_t Type;
  std::uint8_t X1, Y1, X2, Y2;
  std::uint8_t Focus;
  std::uintptr_t Selected;
  DWORD Flags;
  std::uint8_t DefaultButton;
  std::uintptr_t Data;
};
#pragma pack(pop)

// Packed: 19 bytes where a pointer has 4 (i686), 27 where it has 8.
static_assert(sizeof(DialogItemSpec) == 11 + 2 * sizeof(std::uintptr_t));

// Data for a text given by its address.
inline std::uintptr_t TextData(const char* text) { return reinterpret_cast<std::uintptr_t>(text); }

// Fills count host items from their descriptions, resolving message numbers.
void ExpandDialogItems(const DialogItemSpec* descs, FarDialogItem* items, int count);

// The text of a dialog item as the host left it, terminated or not.
std::string DialogItemText(const FarDialogItem& item);

// A warning (flag 1) with a help topic, the given lines and one button, message 0.
int ShowWarning(const char* helpTopic, const char* const* lines, int lineCount);
