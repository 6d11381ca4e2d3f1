// The search modes of Trawlix, one row each. The stored setting FSearchAs holds a mode's
// number; the search dialog shows the modes in this order; the quarix program names them.
//
// The table is a list macro so that one row can be read both by the plugin, which takes
// the functions, and by the quarix program, which takes only the names and knows nothing
// of the plugin's functions. A new mode is one row here, its matcher, and its label in the
// language files.
#pragma once

#include <cstddef>
#include <iterator>

#include "common/message_ids.h"

// What the compile step makes of the search text.
enum class PatternUse {
  kNone,          // the text is searched as it is
  kWholeText,     // the text is one pattern
  kEachWord,      // every word of the list is a pattern
};

// X(name, number, label message, name in the quarix program, pattern use,
//   matcher over a whole file, matcher over pieces or nullptr,
//   replace scan or nullptr, name in the quarix program's replace or nullptr)
//
// The replace offers the first three numbers. It gives number 2 a meaning of its own: the
// pattern over a sliding window of lines, where the search tests the whole file at once;
// both dialogs label it alike, and a stored 2 means each in its own command.
#define QUARIX_SEARCH_MODES(X)                                                          \
  X(kPlainText, 0, kMsgModePlain, "plain", PatternUse::kNone,                           \
    MatchLiteralText, MatchLiteralTextPiece, ReplacePlainText, "plain")                 \
  X(kLines, 1, kMsgModeRegex, "regex", PatternUse::kWholeText,                          \
    MatchLines, MatchLinesPiece, ReplaceByLines, "regex")                               \
  X(kWholeFile, 2, kMsgModeRegexMultiLine, "regex-file", PatternUse::kWholeText,        \
    MatchWholeFile, nullptr, ReplaceSeveralLines, "regex-lines")                        \
  X(kSeveralLines, 3, kMsgModeRegexWindow, "regex-lines", PatternUse::kWholeText,       \
    MatchSeveralLines, MatchSeveralLinesPiece, nullptr, nullptr)                        \
  X(kWords, 4, kMsgModeWords, "words", PatternUse::kNone,                               \
    MatchLiteralWords, nullptr, nullptr, nullptr)                                       \
  X(kPatternWords, 5, kMsgModeRegexWords, "regex-words", PatternUse::kEachWord,         \
    MatchPatternWords, nullptr, nullptr, nullptr)

enum class SearchMode : int {
#define QUARIX_MODE_ENUM(name, number, ...) name = number,
  QUARIX_SEARCH_MODES(QUARIX_MODE_ENUM)
#undef QUARIX_MODE_ENUM
};

// What the dialogs and the quarix program need of a mode; the plugin's functions are in
// filesearch/mode_functions.h.
struct SearchModeNames {
  SearchMode mode;
  MessageId label;          // the text of its radio button
  const char* name;         // in the quarix program's search
  PatternUse pattern;
  const char* replaceName;  // in the quarix program's replace; null: the replace lacks it
};

inline constexpr SearchModeNames kSearchModes[] = {
#define QUARIX_MODE_NAMES(name, number, label, cliName, pattern, whole, pieces, replace,     \
                          replaceName)                                                     \
  {SearchMode::name, label, cliName, pattern, replaceName},
    QUARIX_SEARCH_MODES(QUARIX_MODE_NAMES)
#undef QUARIX_MODE_NAMES
};
inline constexpr int kSearchModeCount = static_cast<int>(std::size(kSearchModes));

// Rows in number order, so that a stored number indexes the table.
constexpr bool AreModesInNumberOrder() {
  for (int i = 0; i < kSearchModeCount; ++i)
    if (static_cast<int>(kSearchModes[i].mode) != i) return false;
  return true;
}
static_assert(AreModesInNumberOrder());

// The replace offers the modes that have a replace scan; they come first in the table,
// and the replace dialog numbers them as the table does.
constexpr int CountReplaceModes() {
  int count = 0;
  while (count < kSearchModeCount && kSearchModes[count].replaceName) ++count;
  return count;
}
inline constexpr int kReplaceModeCount = CountReplaceModes();
static_assert(kReplaceModeCount == 3);

// The mode a stored number stands for; a number with no mode (a hand-edited value) has
// none and gives false.
constexpr bool FindSearchMode(int number, SearchMode* mode) {
  if (number < 0 || number >= kSearchModeCount) return false;
  *mode = kSearchModes[number].mode;
  return true;
}

constexpr const SearchModeNames& NamesOf(SearchMode mode) {
  return kSearchModes[static_cast<int>(mode)];
}
