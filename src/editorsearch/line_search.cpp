#include "editorsearch/line_search.h"

#include <algorithm>

#include "common/folded_text.h"
#include "common/pattern.h"
#include "common/text_model.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Plain comparison: only the ASCII letters fold; every other byte must be equal.
bool EqualAt(const LineSearch& search, const char* at) {
  for (std::size_t i = 0; i < search.textLength; ++i) {
    unsigned char a = static_cast<unsigned char>(at[i]);
    unsigned char b = static_cast<unsigned char>(search.text[i]);
    if (a != b && (search.caseSensitive || FoldAscii(a) != FoldAscii(b))) return false;
  }
  return true;
}

// Caseless plain text with letters beyond ASCII, in the UTF-8 text model: forward the
// first occurrence in the region, backward the one that begins last (occurrences may
// overlap; each begins at a character of its own).
bool FindFolded(const LineSearch& search, const char* text, int from, int count, LineHit* hit) {
  const std::size_t end = static_cast<std::size_t>(from) + static_cast<std::size_t>(count);
  std::size_t at = static_cast<std::size_t>(from);
  bool found = false;
  std::size_t start;
  std::size_t stop;
  while (at < end &&
         FindFoldedText(search.text, search.textLength, text, end, at, &start, &stop) > 0) {
    hit->start = static_cast<int>(start);
    hit->length = static_cast<int>(stop - start);
    found = true;
    if (!search.reverse) break;
    at = start + CharacterLengthAt(text, end, start);
  }
  return found;
}

bool FindPlain(const LineSearch& search, const char* text, int from, int count, LineHit* hit) {
  // An empty text would be found everywhere without moving anything; it finds nothing.
  const auto n = static_cast<long long>(search.textLength);
  if (n == 0) return false;
  if (!search.caseSensitive && NeedsUnicodeFold(search.text, search.textLength))
    return FindFolded(search, text, from, count, hit);
  if (count < n) return false;
  const long long last = from + static_cast<long long>(count) - n;
  for (long long k = 0; k <= last - from; ++k) {
    const long long at = search.reverse ? last - k : from + k;
    if (EqualAt(search, text + at)) {
      hit->start = static_cast<int>(at);
      hit->length = static_cast<int>(n);
      return true;
    }
  }
  return false;
}

bool FindPattern(const LineSearch& search, const char* text, int from, int count, bool keep,
                 int options, LineHit* hit) {
  if (!search.pattern) return false;
  const int pairs = PatternGroupCount(search.pattern) + 1;
  std::vector<int> ovector(2 * static_cast<std::size_t>(pairs), -1);
  const std::size_t end = static_cast<std::size_t>(from) + static_cast<std::size_t>(count);
  if (MatchPattern(search.pattern, text, end, static_cast<std::size_t>(from), options,
                   ovector.data(), pairs) < 0)
    return false;
  if (ovector[0] < 0 || ovector[1] < ovector[0]) return false;
  hit->start = ovector[0];
  hit->length = ovector[1] - ovector[0];
  if (keep) {
    hit->ovector = std::move(ovector);
    hit->pairs = pairs;
  }
  return true;
}

bool Find(const LineSearch& search, const char* text, int from, int count, bool keep,
          int options, LineHit* hit) {
  hit->ovector.clear();
  hit->pairs = 0;
  if (count <= 0 || from < 0 || !text) return false;
  return search.regex ? FindPattern(search, text, from, count, keep, options, hit)
                      : FindPlain(search, text, from, count, hit);
}

}  // namespace

bool FindInLine(const LineSearch& search, const char* text, int from, int count, bool keep,
                LineHit* hit) {
  return Find(search, text, from, count, keep, 0, hit);
}

bool FindInLineWindow(const LineSearch& search, const char* window, int from, int count,
                      bool keep, LineHit* hit) {
  return Find(search, window, from, count, keep, kMatchNotBol, hit);
}

bool LineRegion(const LineSearch& search, const EditorGetString& line, int start, bool keep,
                LineHit* hit) {
  const int length = std::max(line.StringLength, 0);
  int from = 0;
  int count = length;
  if (start >= 0) {
    if (search.reverse) {
      count = std::min(start, length);
    } else {
      from = std::min(start, length);
      count = length - from;
    }
  }
  if (search.inSelection) {
    if (line.SelStart < 0) {
      hit->ovector.clear();
      hit->pairs = 0;
      return false;
    }
    const int selectionEnd = line.SelEnd < 0 ? length : std::min(line.SelEnd, length);
    const int end = std::min(from + count, selectionEnd);
    from = std::max(from, line.SelStart);
    count = end - from;
  }
  return FindInLine(search, line.StringText, from, count, keep, hit);
}
