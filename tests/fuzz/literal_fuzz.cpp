// Plain-text search (FindLiteral, mode 0 and the words of mode 4) against the naive search:
// the text compared at every position, exactly or with A-Z folded. One search context
// serves several ranges in turn, as it serves the files of a walk, so that what it learnt
// on one range (the pair of bytes it turned to) is used on the next. In the UTF-8 model a
// caseless text with letters beyond ASCII goes to FindFoldedText, which is held against a
// naive fold-and-compare over whole characters.
//
// Input: a flags byte (bit 0 case-sensitive, bit 1 the UTF-8 model, bits 2-7 how many
// times the bytes are repeated, for long ranges), the text (ended by a zero byte), then
// the bytes searched.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/folded_text.h"
#include "common/text_model.h"
#include "filesearch/match_context.h"
#include "filesearch/matchers.h"
#include "filesearch/search_run.h"
#include "fuzz_support.h"
#include "platform/platform.h"
#include "reference_find.h"
#include "reference_utf8.h"

namespace {

// A character of the subject: its key, or a byte that is no character and matches nothing.
struct Character {
  std::size_t start, end;
  std::uint64_t key;
};
constexpr std::uint64_t kNoCharacter = ~0ull;

// Unicode's case folding puts a letter with the letters of its other cases. The upper case
// of the lower case reaches that class for every letter but the dotted capital I and the
// dotless small i, which fold to nothing else: their mappings to i and I belong to Turkish.
std::uint64_t FoldKey(char32_t c) {
  if (c == 0x130 || c == 0x131) return c;
  return platform::UpperCharacter(platform::LowerCharacter(c));
}

std::vector<Character> ReadCharacters(const std::string& text) {
  std::vector<Character> characters;
  for (std::size_t at = 0; at < text.size();) {
    char32_t c;
    const int length = fuzz::ReferenceDecode(text, at, &c);
    if (length == 0) {
      characters.push_back({at, at + 1, kNoCharacter});
      ++at;
    } else {
      characters.push_back({at, at + length, FoldKey(c)});
      at += static_cast<std::size_t>(length);
    }
  }
  return characters;
}

// The first occurrence that starts at or after from, by characters.
bool ReferenceFoldedFind(const std::string& text, const std::string& subject, std::size_t from,
                         std::size_t* start, std::size_t* end) {
  const std::vector<Character> wanted = ReadCharacters(text);
  const std::vector<Character> s = ReadCharacters(subject);
  for (std::size_t i = 0; i + wanted.size() <= s.size(); ++i) {
    if (s[i].start < from) continue;
    std::size_t k = 0;
    while (k < wanted.size() && s[i + k].key != kNoCharacter && s[i + k].key == wanted[k].key) ++k;
    if (k == wanted.size()) {
      *start = s[i].start;
      *end = wanted.empty() ? s[i].start : s[i + k - 1].end;
      return true;
    }
  }
  return false;
}

// A copy of the bytes in a block of their own size, so that a read past them is seen.
struct Range {
  explicit Range(const std::string& text)
      : bytes(new unsigned char[text.size()]), size(text.size()) {
    std::copy(text.begin(), text.end(), bytes.get());
  }
  std::unique_ptr<unsigned char[]> bytes;
  std::size_t size;
};

void CheckFoldedText(const std::string& text, const std::string& subject) {
  // From the start, and from each character start of the first few.
  std::vector<std::size_t> froms = {0};
  for (const Character& c : ReadCharacters(subject.substr(0, 64))) froms.push_back(c.end);
  const Range range(subject);
  for (std::size_t from : froms) {
    std::size_t start = 0, end = 0, wantStart = 0, wantEnd = 0;
    const int found = FindFoldedText(text.data(), text.size(),
                                     reinterpret_cast<const char*>(range.bytes.get()), range.size,
                                     from, &start, &end);
    const bool expected = ReferenceFoldedFind(text, subject, from, &wantStart, &wantEnd);
    if (found < 0) continue;  // the engine gave up: no answer to compare
    if (found != (expected ? 1 : 0) || (expected && (start != wantStart || end != wantEnd)))
      fuzz::Fail("FindFoldedText(" + fuzz::Show(text) + ") in " + fuzz::Show(subject) +
                 " from " + std::to_string(from) + " gave " + std::to_string(found) + " at " +
                 std::to_string(start) + "-" + std::to_string(end) + ", expected " +
                 (expected ? std::to_string(wantStart) + "-" + std::to_string(wantEnd)
                           : std::string("none")));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const unsigned char flags = input.TakeByte();
  const bool caseSensitive = flags & 1;
  const bool utf8 = flags & 2;
  const int copies = 1 + (flags >> 2);
  const std::string text = input.TakeText();
  std::string subject = input.TakeRest();
  // Long ranges (where the search changes its method) only for short texts, which keep
  // the naive search quick.
  if (copies > 1 && text.size() <= 32) {
    const std::string once = subject;
    for (int i = 1; i < copies && subject.size() < (256 << 10); ++i) subject += once;
  }

  SetTextIsUtf8(utf8);
  SearchSettings settings;
  settings.modeNumber = 0;
  settings.caseSensitive = caseSensitive;
  SearchRun run(settings, CompiledSearch{});
  MatchContext context(run, false);

  const bool folded = !caseSensitive && NeedsUnicodeFold(text.data(), text.size());
  if (folded) {
    CheckFoldedText(text, subject);
    ReleaseThreadFoldedTexts();
    return 0;
  }
  // The whole range, its second half, then the whole range again with what was learnt.
  const std::string ranges[] = {subject, subject.substr(subject.size() / 2), subject};
  for (const std::string& bytes : ranges) {
    const Range range(bytes);
    const int found = FindLiteral(context, range.bytes.get(), range.size, text.c_str());
    if (found != (fuzz::ReferenceFind(bytes, text, caseSensitive) ? 1 : 0))
      fuzz::Fail("FindLiteral(" + fuzz::Show(text) + (caseSensitive ? ", case" : "") +
                 (utf8 ? ", UTF-8" : "") + ") in " + std::to_string(bytes.size()) + " bytes " +
                 fuzz::Show(bytes.substr(0, 512)) + " gave " + std::to_string(found));
  }
  ReleaseThreadFoldedTexts();
  return 0;
}
