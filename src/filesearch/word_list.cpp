#include "filesearch/word_list.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/pattern.h"
#include "filesearch/line_modes.h"
#include "filesearch/match_context.h"
#include "filesearch/matchers.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// The word's sign and the text to test.
char SplitSign(const char* word, const char** rest) {
  const char sign = (word[0] == '+' || word[0] == '-') ? word[0] : '\0';
  *rest = sign ? word + 1 : word;
  return sign;
}

// The word compiled as a pattern: every word of a run's list was compiled before the walk
// (CompileSearch). A run made without that compiles its words here, into the context, and
// only such a run can show an error from here, on the thread that tests the file.
const CompiledPattern* FindCompiledWord(MatchContext& context, const char* word) {
  if (const CompiledPattern* pattern = context.run.compiled.FindWord(word)) return pattern;
  for (const auto& [text, pattern] : context.wordsCompiledHere)
    if (text == word) return pattern.get();
  CompiledPattern* pattern = nullptr;
  if (!CompilePattern(&pattern, word, context.settings.caseSensitive)) return nullptr;
  context.wordsCompiledHere.emplace_back(word, PatternPtr(pattern));
  return pattern;
}

}  // namespace

int TakeWord(char* list, char* word) {
  const char* p = SkipBlanks(list);
  const char* begin;
  const char* end;
  if (*p == '"' || *p == '\'' || *p == '`') {
    const char quote = *p++;
    begin = p;
    while (*p && *p != quote) ++p;
    end = p;
    if (*p == quote) ++p;
  } else {
    begin = p;
    while (*p && !IsBlank(*p)) ++p;
    end = p;
    if (*p == ' ') ++p;
  }
  p = SkipBlanks(p);

  const std::size_t length = static_cast<std::size_t>(end - begin);
  const bool fits = length < static_cast<std::size_t>(kWordBufferSize);
  const std::size_t kept = fits ? length : kWordBufferSize - 1;
  std::memcpy(word, begin, kept);
  word[kept] = '\0';
  std::memmove(list, p, std::strlen(p) + 1);
  return fits ? 1 : 0;
}

int MatchWordList(MatchContext& context, const unsigned char* bytes, std::size_t count,
                  WordTest test) {
  std::string list = context.settings.text;
  int result = 1;
  bool optionalSeen = false;
  bool optionalFound = false;
  // A word whose test the engine gave up on is neither found nor missing: the list's
  // answer stays open unless the other words settle it (a required word missing, an
  // excluded word present, an optional word found). The first such answer is kept.
  int undecided = 0;
  int optionalUndecided = 0;
  char word[kWordBufferSize];
  for (;;) {
    // A word too long for the buffer is rejected rather than shortened: a shortened word
    // would be found in files that do not hold the word. A rejected word is never found.
    const bool usable = TakeWord(list.data(), word) != 0;
    if (usable && word[0] == '\0') break;  // an empty word ends the list
    const char* rest;
    const char sign = SplitSign(word, &rest);
    if (sign == '+') {
      const int found = usable ? test(context, bytes, count, rest) : 0;
      if (found == 0) {
        result = 0;
        break;
      }
      if (found < 0 && !undecided) undecided = found;
    } else if (sign == '-') {
      const int found = usable ? test(context, bytes, count, rest) : 0;
      if (found > 0) {
        result = 0;
        break;
      }
      if (found < 0 && !undecided) undecided = found;
    } else {
      optionalSeen = true;
      if (!optionalFound && usable) {
        const int found = test(context, bytes, count, word);
        if (found > 0) optionalFound = true;
        if (found < 0 && !optionalUndecided) optionalUndecided = found;
      }
    }
    if (context.Stopped()) break;
  }
  if (context.Stopped() || result == 0) return 0;
  const bool optionalsHold = !optionalSeen || optionalFound;
  if (!optionalsHold && !optionalUndecided) return 0;  // no optional word can be there
  if (undecided) return undecided;
  return optionalsHold ? 1 : optionalUndecided;
}

int FindWordPattern(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    const char* word) {
  if (!*word) return 1;
  if (context.PollWithinFile()) return 0;
  const CompiledPattern* pattern = FindCompiledWord(context, word);
  if (!pattern) {
    context.Stop();
    return 0;
  }
  const std::size_t from = FindFirstMatchStart(context, pattern, bytes, count);
  if (from == count && count > 0) return 0;
  const int rc = MatchPattern(pattern, reinterpret_cast<const char*>(bytes), count, from, 0,
                              nullptr, 0);
  const int answer = AnswerOfMatch(rc);
  if (answer < 0) context.LookAtClockSoon();
  return answer;
}

int MatchLiteralWords(MatchContext& context, const unsigned char* bytes, std::size_t count) {
  return MatchWordList(context, bytes, count, FindLiteral);
}

int MatchPatternWords(MatchContext& context, const unsigned char* bytes, std::size_t count) {
  return MatchWordList(context, bytes, count, FindWordPattern);
}

int CompileWordPatterns(const char* list, bool caseSensitive, CompiledSearch* compiled) {
  compiled->words.clear();
  std::string words = list;
  char word[kWordBufferSize];
  for (;;) {
    const bool usable = TakeWord(words.data(), word) != 0;
    if (usable && word[0] == '\0') return 1;
    const char* rest;
    SplitSign(word, &rest);
    if (!usable || !*rest || compiled->FindWord(rest)) continue;
    CompiledPattern* pattern = nullptr;
    if (!CompilePattern(&pattern, rest, caseSensitive)) {
      compiled->words.clear();
      return 0;
    }
    compiled->words.emplace_back(rest, PatternPtr(pattern));
  }
}
