#include "filesearch/search_text.h"

#include <string>

#include "common/pattern.h"
#include "filesearch/settings.h"
#include "filesearch/word_list.h"

CompiledPattern* SearchPattern = nullptr;

int CompileSearchText() {
  ReleasePattern(&SearchPattern);
  if (FSearchAs == 0 || FSearchAs == 4) return 1;
  // A word list is no pattern as a whole (a leading "+" word would never compile); each of
  // its words is checked here instead, so that a bad word is reported before the walk.
  if (FSearchAs == 5) return CheckWordPatterns(FText.c_str());
  return CompilePattern(&SearchPattern, FText.c_str(), FCaseSensitive);
}
