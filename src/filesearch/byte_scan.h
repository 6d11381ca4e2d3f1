// Byte scans shared by the content matchers: a guess at how common each byte is in
// text, a forward search for one byte in either ASCII case that never rescans, one for
// two bytes at a fixed distance, and one for a short text built on both.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Higher means more common in typical source and text files.
int RankByteFrequency(unsigned char byte);

inline unsigned char FoldAsciiCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
inline bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The rank of a byte of a text to search for; a letter matched in either ASCII case ranks
// as both its cases together.
int RankTextByte(unsigned char c, bool caseless);
// The offset of the text's byte that ranks rarest (the first of equals).
std::size_t FindRarestByte(const unsigned char* text, std::size_t n, bool caseless);

// The last occurrence of value in the range, or null.
const unsigned char* FindLastByte(const unsigned char* bytes, std::size_t count,
                                  unsigned char value);

// Finds the next occurrence of a byte (and, when asked, of its other ASCII case) at or after
// a position. Each case is searched with memchr and remembered until it is passed, so a
// walk over the whole range costs one pass per case.
class ByteFinder {
 public:
  ByteFinder(const unsigned char* bytes, std::size_t count, unsigned char value, bool eitherCase);
  // The offset of the next occurrence at or after from, or the count when there is none.
  std::size_t Next(std::size_t from);

 private:
  std::size_t Search(std::size_t from, unsigned char value) const;

  const unsigned char* bytes_;
  std::size_t count_;
  unsigned char first_;
  unsigned char second_;
  bool two_;
  bool valid_ = false;  // both cached offsets refer to searches already made
  std::size_t nextFirst_ = 0;
  std::size_t nextSecond_ = 0;
};

// Finds where a text of n bytes may start: the places where two of its bytes stand at
// their offsets in it. Far fewer than the places of its rarest byte alone, and tested
// sixteen places at a time where the processor has SSE2. A byte given in lower case with
// eitherCase stands for both its ASCII cases.
class PairFinder {
 public:
  struct Pick {
    unsigned char value;
    std::size_t at;  // its offset in the text
    bool eitherCase;
  };
  // count is at least n; first.at and second.at are below n.
  PairFinder(const unsigned char* bytes, std::size_t count, std::size_t n, Pick first,
             Pick second);
  // The first start at or after from (at most count - n) where both bytes stand, or the
  // count when there is none.
  std::size_t Next(std::size_t from) const;

 private:
  const unsigned char* bytes_;
  std::size_t count_;
  std::size_t lastStart_;
  Pick first_;
  Pick second_;
};

// Two offsets of a text of n bytes (n >= 2) to find it by, with PairFinder.
struct TextPair {
  std::size_t first;
  std::size_t second;
};
// The two bytes of the text that are rarest in the sample of the data (a caseless letter
// counted in both cases): where a guess from text in general was wrong, the data itself
// tells. RankByteFrequency breaks ties; a second copy of the first byte tells little.
TextPair ChooseRarePair(const unsigned char* sample, std::size_t size, const unsigned char* text,
                        std::size_t n, bool caseless);
// How much of the data ChooseRarePair looks at.
constexpr std::size_t kPairSample = 64 << 10;

// Finds the places where a text stands (in either ASCII case with caseless): by memchr on
// its rarest byte, the fastest scan while that byte is rare in the range, then, once it
// proves common (or from the start, with pairsFirst), by the two of its bytes rarest in
// the data, at their distance. The text has two bytes or more and outlives the finder.
class TextFinder {
 public:
  TextFinder(const unsigned char* bytes, std::size_t count, const std::string& text,
             bool caseless, const TextPair* pairsFirst = nullptr);
  // The first place at or after from where the text stands, or the count.
  std::size_t Next(std::size_t from);
  // The pair it turned to, once the rarest byte proved common: the next range of the same
  // kind had better start with it. Null before.
  const TextPair* UsedPair() const { return pairs_ ? &pair_ : nullptr; }

 private:
  bool HoldsTextAt(std::size_t at) const;
  void StartPairs(const TextPair& pair);

  const unsigned char* bytes_;
  std::size_t count_;
  const std::string& text_;
  bool caseless_;
  PairFinder::Pick first_{};  // the rarest byte by the guess, for the scan by one byte
  TextPair pair_{};
  std::optional<ByteFinder> rare_;
  std::optional<PairFinder> pairs_;
  std::size_t misses_ = 0;
};
