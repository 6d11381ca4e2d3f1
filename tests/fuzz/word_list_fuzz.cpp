// Word lists (the plain-text words of mode 4) against a reference: the list read into
// words by its rules (blanks between words; a word that begins with a quote " ' ` runs to
// the same quote; a word longer than 511 bytes is never found), then "+" words must occur,
// "-" words must not, and of the words without a sign one must, up to the first empty word;
// each word found the naive way. TakeWord is held against the same reading word by word,
// with a word buffer of exactly its size.
//
// Input: a flags byte (bit 0 case-sensitive), the list (ended by a zero byte), then the
// bytes searched.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "filesearch/match_context.h"
#include "filesearch/search_run.h"
#include "filesearch/word_list.h"
#include "common/text_model.h"
#include "fuzz_support.h"
#include "reference_find.h"

namespace {

struct Word {
  std::string text;  // at most the 511 bytes the buffer keeps
  bool fits;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first word of list, which then holds what follows the word and its blanks.
Word TakeReferenceWord(std::string* list) {
  const std::string& l = *list;
  std::size_t at = 0;
  while (at < l.size() && IsBlank(l[at])) ++at;
  std::string word;
  if (at < l.size() && (l[at] == '"' || l[at] == '\'' || l[at] == '`')) {
    const char quote = l[at++];
    while (at < l.size() && l[at] != quote) word += l[at++];
    if (at < l.size()) ++at;
  } else {
    while (at < l.size() && !IsBlank(l[at])) word += l[at++];
  }
  while (at < l.size() && IsBlank(l[at])) ++at;
  *list = l.substr(at);
  const bool fits = word.size() <= 511;
  if (!fits) word.resize(511);
  return {word, fits};
}

bool ReferenceWordList(std::string list, const std::string& bytes, bool exact) {
  bool optionalSeen = false, optionalFound = false;
  for (;;) {
    const Word word = TakeReferenceWord(&list);
    if (word.fits && word.text.empty()) break;
    const char sign = word.text.empty() ? '\0' : word.text[0];
    if (sign == '+' || sign == '-') {
      const bool found = word.fits && fuzz::ReferenceFind(bytes, word.text.substr(1), exact);
      if (found != (sign == '+')) return false;
    } else {
      optionalSeen = true;
      optionalFound = optionalFound || (word.fits && fuzz::ReferenceFind(bytes, word.text, exact));
    }
  }
  return !optionalSeen || optionalFound;
}

void CheckTakeWord(const std::string& list) {
  std::string taken = list;  // TakeWord works in place, on a zero-terminated text
  std::string rest = list;
  auto buffer = std::make_unique<char[]>(kWordBufferSize);
  for (;;) {
    const int fits = TakeWord(taken.data(), buffer.get());
    taken.resize(std::char_traits<char>::length(taken.c_str()));
    const Word expected = TakeReferenceWord(&rest);
    if (buffer.get() != expected.text || fits != (expected.fits ? 1 : 0) || taken != rest)
      fuzz::Fail("TakeWord on " + fuzz::Show(list) + " took " + fuzz::Show(buffer.get()) +
                 " (" + std::to_string(fits) + ") leaving " + fuzz::Show(taken) +
                 ", expected " + fuzz::Show(expected.text) + " leaving " + fuzz::Show(rest));
    if (expected.fits && expected.text.empty()) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const bool caseSensitive = input.TakeByte() & 1;
  const std::string list = input.TakeText();
  const std::string rest = input.TakeRest();
  // The bytes on a heap block of their own size, so that a read past them is seen.
  const std::unique_ptr<unsigned char[]> bytes(new unsigned char[rest.size()]);
  std::copy(rest.begin(), rest.end(), bytes.get());

  SetTextIsUtf8(false);
  CheckTakeWord(list);

  SearchSettings settings;
  settings.text = list;
  settings.modeNumber = 4;
  settings.caseSensitive = caseSensitive;
  SearchRun run(settings, CompiledSearch{});
  MatchContext context(run, false);
  const int answer = MatchLiteralWords(context, bytes.get(), rest.size());
  if (answer != (ReferenceWordList(list, rest, caseSensitive) ? 1 : 0))
    fuzz::Fail("word list " + fuzz::Show(list) + (caseSensitive ? " (case)" : "") + " over " +
               fuzz::Show(rest) + " answered " + std::to_string(answer));
  return 0;
}
