#include "filesearch/masks.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "filesearch/settings.h"

namespace {

// Masks compare letters as the "C" locale does: only A-Z fold, every other byte is exact.
// The process locale is never consulted.
unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// The wildcard walk over counted ranges, so that a piece of the list is matched where it
// stands. Only the most recent star is ever retried: once a later star is reached, giving
// an earlier star more characters can only move that later star further right, which
// leaves it fewer tries, never new ones. This keeps the walk at O(mask x name) instead of
// the exponential cost of retrying every star.
int MatchRange(const char* mask, std::size_t maskLength, const char* name,
               std::size_t nameLength) {
  std::size_t m = 0;
  std::size_t n = 0;
  bool haveStar = false;
  std::size_t starMask = 0;  // mask index right after the star being retried
  std::size_t starName = 0;  // name index where that star's current try starts
  for (;;) {
    if (m < maskLength && mask[m] == '*') {
      if (m + 1 == maskLength) return 1;  // a final star takes whatever is left
      // After a star the rest of the mask is never tried against an empty remainder.
      if (n == nameLength) return 0;
      haveStar = true;
      starMask = m + 1;
      starName = n;
      m = starMask;
      continue;
    }
    if (m == maskLength) {
      if (n == nameLength) return 1;
    } else if (n < nameLength &&
               (mask[m] == '?' || FoldAscii(static_cast<unsigned char>(mask[m])) ==
                                      FoldAscii(static_cast<unsigned char>(name[n])))) {
      ++m;
      ++n;
      continue;
    }
    // Mismatch: the current star takes one more character, if a try can still start.
    if (!haveStar) return 0;
    ++starName;
    if (starName >= nameLength) return 0;
    m = starMask;
    n = starName;
  }
}

}  // namespace

int MatchWildcard(const char* mask, const char* name) {
  return MatchRange(mask, std::strlen(mask), name, std::strlen(name));
}

int MatchMaskList(const char* maskList, const char* name) {
  std::string tested = name;
  if (DotAsteriskMatchesNoExtension && tested.find('.') == std::string::npos) tested += '.';

  // A delimiter of code 0 never occurs inside the text: the whole list is one mask.
  const char delimiter = static_cast<char>(static_cast<unsigned char>(MaskDelimiter));
  // A negation character of code 0 cannot begin a mask, so no mask is an exclusion.
  const char negation = static_cast<char>(static_cast<unsigned char>(MaskNegation));

  const char* const listEnd = maskList + std::strlen(maskList);
  bool included = false;
  for (const char* piece = maskList;;) {
    const char* pieceEnd = listEnd;
    if (delimiter != '\0') {
      const void* found = std::memchr(piece, delimiter, static_cast<std::size_t>(listEnd - piece));
      if (found) pieceEnd = static_cast<const char*>(found);
    }
    const std::size_t length = static_cast<std::size_t>(pieceEnd - piece);
    if (negation != '\0' && length > 0 && piece[0] == negation) {
      if (MatchRange(piece + 1, length - 1, tested.data(), tested.size())) return 0;
    } else if (!included) {
      included = MatchRange(piece, length, tested.data(), tested.size()) != 0;
    }
    if (pieceEnd == listEnd) break;
    piece = pieceEnd + 1;
  }
  return included ? 1 : 0;
}
