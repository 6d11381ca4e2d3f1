#include "filesearch/search_run.h"

#include <cstring>

#include "common/pattern.h"
#include "filesearch/word_list.h"

void PatternRelease::operator()(CompiledPattern* pattern) const { ReleasePattern(&pattern); }

const CompiledPattern* CompiledSearch::FindWord(const char* word) const {
  for (const auto& [text, pattern] : words)
    if (text == word) return pattern.get();
  return nullptr;
}

int CompileSearch(const SearchSettings& settings, CompiledSearch* compiled) {
  compiled->pattern.reset();
  compiled->words.clear();
  SearchMode mode;
  if (!settings.FindMode(&mode)) return 1;
  switch (NamesOf(mode).pattern) {
    case PatternUse::kNone:
      return 1;
    case PatternUse::kEachWord:
      // A word list is no pattern as a whole (a leading "+" word would never compile); each
      // of its words is compiled instead, so that a bad word is reported before the walk.
      return CompileWordPatterns(settings.text.c_str(), settings.caseSensitive, compiled);
    case PatternUse::kWholeText: {
      CompiledPattern* pattern = nullptr;
      const int ok = CompilePattern(&pattern, settings.text.c_str(), settings.caseSensitive);
      compiled->pattern.reset(pattern);
      return ok;
    }
  }
  return 1;
}
