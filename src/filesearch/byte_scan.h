// Byte scans shared by the content matchers: a guess at how common each byte is in
// text, and a forward search for one byte in either ASCII case that never rescans.
#pragma once

#include <cstddef>

// Higher means more common in typical source and text files.
int RankByteFrequency(unsigned char byte);

inline unsigned char FoldAsciiCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
inline bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

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
