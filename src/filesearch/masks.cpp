#include "filesearch/masks.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "common/text_model.h"
#include "common/utf8.h"
#include "filesearch/settings.h"
#include "platform/platform.h"

namespace {

// Masks compare letters as the "C" locale does: only A-Z fold, every other byte is exact.
// The process locale is never consulted.
unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// One character of a mask or a name: what it compares as, and its bytes. In the UTF-8
// text model a character is a whole UTF-8 sequence ("?" stands for one) and letters of
// every script compare without regard to case; a byte that is no valid UTF-8 is a
// character of its own that only the same byte equals. Otherwise a character is a byte.
struct Character {
  char32_t key;
  std::size_t size;
};
constexpr char32_t kInvalidByte = 0x80000000u;  // marks a key that is a byte, not a character

Character CharacterAt(const char* text, std::size_t length, std::size_t at, bool utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(text) + at;
  if (!utf8) return {FoldAscii(*p), 1};
  char32_t c;
  const int size = DecodeUtf8(p, length - at, &c);
  if (size == 0) return {kInvalidByte | *p, 1};
  // Characters with more than two cases (the final sigma, the Kelvin sign's k) meet in
  // their upper case.
  return {platform::UpperCharacter(platform::LowerCharacter(c)), static_cast<std::size_t>(size)};
}

// The wildcard walk over counted ranges, so that a piece of the list is matched where it
// stands. Only the most recent star is ever retried: once a later star is reached, giving
// an earlier star more characters can only move that later star further right, which
// leaves it fewer tries, never new ones. This keeps the walk at O(mask x name) instead of
// the exponential cost of retrying every star.
int MatchRange(const char* mask, std::size_t maskLength, const char* name,
               std::size_t nameLength) {
  const bool utf8 = TextIsUtf8();
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
    } else if (n < nameLength) {
      const Character inName = CharacterAt(name, nameLength, n, utf8);
      const Character inMask =
          mask[m] == '?' ? Character{inName.key, 1} : CharacterAt(mask, maskLength, m, utf8);
      if (inMask.key == inName.key) {
        m += inMask.size;
        n += inName.size;
        continue;
      }
    }
    // Mismatch: the current star takes one more character, if a try can still start.
    if (!haveStar) return 0;
    starName += CharacterAt(name, nameLength, starName, utf8).size;
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
  if (Stored.DotAsteriskMatchesNoExtension && tested.find('.') == std::string::npos) tested += '.';

  // A delimiter of code 0 never occurs inside the text: the whole list is one mask.
  const char delimiter = static_cast<char>(static_cast<unsigned char>(Stored.MaskDelimiter));
  // A negation character of code 0 cannot begin a mask, so no mask is an exclusion.
  const char negation = static_cast<char>(static_cast<unsigned char>(Stored.MaskNegation));

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
