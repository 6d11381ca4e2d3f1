// Plain text search (mode 0 and the words of mode 4). The answer is the naive one, "does
// the text occur at some position", but candidates are found by memchr on the text's
// rarest byte, or, where that byte is common, by two of its bytes at their distance; a
// linear KMP pass takes over when verifying candidates costs too much.
#include <cstring>
#include <string>
#include <vector>

#include "common/folded_text.h"
#include "filesearch/byte_scan.h"
#include "filesearch/matchers.h"
#include "filesearch/match_context.h"

namespace {

// Knuth-Morris-Pratt over folded bytes: linear whatever the input.
int FindByKmp(const unsigned char* bytes, std::size_t count, const unsigned char* text,
              std::size_t n, bool exact) {
  auto at = [exact](unsigned char c) { return exact ? c : FoldAsciiCase(c); };
  std::vector<std::size_t> border(n, 0);
  for (std::size_t i = 1, k = 0; i < n; ++i) {
    while (k > 0 && text[i] != text[k]) k = border[k - 1];
    if (text[i] == text[k]) ++k;
    border[i] = k;
  }
  for (std::size_t i = 0, k = 0; i < count; ++i) {
    const unsigned char c = at(bytes[i]);
    while (k > 0 && c != text[k]) k = border[k - 1];
    if (c == text[k] && ++k == n) return 1;
  }
  return 0;
}

// Horspool's skip over the text's last byte, for long texts whose rarest byte is common.
int FindByHorspool(const unsigned char* bytes, std::size_t count, const unsigned char* text,
                   std::size_t n, bool exact) {
  if (n > count) return 0;
  std::size_t shift[256];
  for (std::size_t& s : shift) s = n;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    shift[text[i]] = n - 1 - i;
    if (!exact && IsAsciiLetter(text[i])) shift[text[i] ^ 0x20] = n - 1 - i;
  }
  const unsigned char last = text[n - 1];
  std::size_t verified = 0;
  for (std::size_t s = 0; s <= count - n;) {
    const unsigned char c = bytes[s + n - 1];
    if ((exact ? c : FoldAsciiCase(c)) == last) {
      std::size_t i = 0;
      if (exact) {
        if (std::memcmp(bytes + s, text, n) == 0) return 1;
      } else {
        while (i < n && FoldAsciiCase(bytes[s + i]) == text[i]) ++i;
        if (i == n) return 1;
      }
      verified += n;
      if (verified > 4 * s + 65536) return FindByKmp(bytes + s + 1, count - s - 1, text, n, exact);
    }
    s += shift[c];
  }
  return 0;
}

bool EqualFolded(const unsigned char* bytes, const unsigned char* folded, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (FoldAsciiCase(bytes[i]) != folded[i]) return false;
  return true;
}

// The search from start on, driven by two bytes of the text at their distance (needle
// folded when not exact).
int FindByPair(const unsigned char* bytes, std::size_t count, std::size_t start,
               const unsigned char* needle, std::size_t n, TextPair pair, bool exact) {
  const PairFinder pairs(bytes, count, n, {needle[pair.first], pair.first, !exact},
                         {needle[pair.second], pair.second, !exact});
  std::size_t verified = 0;  // bytes compared on candidates that failed
  std::size_t candidates = 0;
  for (std::size_t from = start;;) {
    const std::size_t at = pairs.Next(from);
    if (at >= count) return 0;
    if (exact ? std::memcmp(bytes + at, needle, n) == 0 : EqualFolded(bytes + at, needle, n))
      return 1;
    verified += n;
    if (verified > 4 * at + 65536)
      return FindByKmp(bytes + at + 1, count - at - 1, needle, n, exact);
    // Even the pair is common here: a long text skips faster on its last byte.
    if (n >= 8 && ++candidates > 256 && candidates > at / 64)
      return FindByHorspool(bytes + at + 1, count - at - 1, needle, n, exact);
    from = at + 1;
  }
}

}  // namespace

int FindLiteral(MatchContext& context, const unsigned char* bytes, std::size_t count,
                const char* text) {
  const std::size_t n = std::strlen(text);
  if (n == 0) return 1;
  const bool caseSensitive = context.settings.caseSensitive;
  if (!caseSensitive && NeedsUnicodeFold(text, n)) {
    std::size_t start, end;
    return FindFoldedText(text, n, reinterpret_cast<const char*>(bytes), count, 0, &start, &end);
  }
  if (n > count) return 0;
  const auto* raw = reinterpret_cast<const unsigned char*>(text);

  bool exact = caseSensitive;
  if (!exact) {
    exact = true;  // a text without ASCII letters needs no folding
    for (std::size_t i = 0; i < n; ++i)
      if (IsAsciiLetter(raw[i])) exact = false;
  }
  std::string folded;
  const unsigned char* needle = raw;
  if (!exact) {
    folded.resize(n);
    for (std::size_t i = 0; i < n; ++i) folded[i] = static_cast<char>(FoldAsciiCase(raw[i]));
    needle = reinterpret_cast<const unsigned char*>(folded.data());
  }

  // The byte to scan for: the rarest of the text, counting both cases of a folded letter.
  const std::size_t rare = FindRarestByte(raw, n, !exact);

  // The files of one tree are alike: once the rarest byte proved common in one, the next
  // files start with the pairs the data chose.
  MatchContext::TextPairs& pairs = context.literalPairs;
  const bool pairsFirst = pairs.exact == exact && pairs.text == text;
  if (n >= 2 && pairsFirst) return FindByPair(bytes, count, 0, needle, n, pairs.pair, exact);
  ByteFinder finder(bytes, count, raw[rare], !exact);
  const std::size_t lastStart = count - n;
  std::size_t verified = 0;  // bytes compared on candidates that failed
  std::size_t candidates = 0;
  for (std::size_t from = rare;;) {
    const std::size_t at = finder.Next(from);
    if (at == count || at - rare > lastStart) return 0;
    const std::size_t start = at - rare;
    if (exact ? std::memcmp(bytes + start, needle, n) == 0
              : EqualFolded(bytes + start, needle, n))
      return 1;
    verified += n;
    // Dense candidates with long partial matches: switch to the linear search.
    if (verified > 4 * at + 65536)
      return FindByKmp(bytes + start + 1, count - start - 1, needle, n, exact);
    // Even the rarest byte is common here: two bytes at their distance are rarer.
    if (n >= 2 && ++candidates > 16 && candidates > at / 256) {
      pairs.text = text;
      pairs.exact = exact;
      pairs.pair = ChooseRarePair(bytes, count < kPairSample ? count : kPairSample, needle, n,
                                  !exact);
      return FindByPair(bytes, count, start + 1, needle, n, pairs.pair, exact);
    }
    from = at + 1;
  }
}
