#include "filesearch/byte_scan.h"

#include <cstring>

int RankByteFrequency(unsigned char byte) {
  // Letters by their frequency in English text; the rest by class.
  static const char kLetters[] = "etaoinsrhldcumfpgwybvkxjqz";
  if (byte == ' ' || byte == '\n' || byte == '\t' || byte == '\r') return 250;
  if (byte >= 'a' && byte <= 'z') {
    const char* at = std::strchr(kLetters, byte);
    return 240 - 4 * static_cast<int>(at - kLetters);
  }
  if (byte >= 'A' && byte <= 'Z') return 110;
  if (byte >= '0' && byte <= '9') return 120;
  if (byte == '_') return 200;
  if (std::strchr("().,;=\"'-*/:", byte) && byte != 0) return 150;
  if (byte >= 0x21 && byte < 0x7F) return 90;
  if (byte >= 0x80) return 60;
  return 20;  // other control characters, NUL
}

ByteFinder::ByteFinder(const unsigned char* bytes, std::size_t count, unsigned char value,
                       bool eitherCase)
    : bytes_(bytes), count_(count), first_(value), second_(value), two_(false) {
  if (eitherCase && IsAsciiLetter(value)) {
    second_ = static_cast<unsigned char>(value ^ 0x20);
    two_ = true;
  }
}

std::size_t ByteFinder::Search(std::size_t from, unsigned char value) const {
  if (from >= count_) return count_;
  const void* at = std::memchr(bytes_ + from, value, count_ - from);
  return at ? static_cast<std::size_t>(static_cast<const unsigned char*>(at) - bytes_) : count_;
}

std::size_t ByteFinder::Next(std::size_t from) {
  if (!valid_ || nextFirst_ < from) nextFirst_ = Search(from, first_);
  if (two_ && (!valid_ || nextSecond_ < from)) nextSecond_ = Search(from, second_);
  valid_ = true;
  if (!two_) return nextFirst_;
  return nextFirst_ < nextSecond_ ? nextFirst_ : nextSecond_;
}
