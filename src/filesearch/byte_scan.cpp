#include "filesearch/byte_scan.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QUARIX_PAIR_AVX2 1
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

const unsigned char* FindLastByte(const unsigned char* bytes, std::size_t count,
                                  unsigned char value) {
  if (count == 0) return nullptr;
#ifdef __GLIBC__
  return static_cast<const unsigned char*>(memrchr(bytes, value, count));
#else
  for (std::size_t at = count; at > 0; --at)
    if (bytes[at - 1] == value) return bytes + at - 1;
  return nullptr;
#endif
}

namespace {

int GuessByteFrequency(unsigned char byte) {
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

}  // namespace

int RankByteFrequency(unsigned char byte) {
  // Asked for every byte of a text in every file: looked up, not worked out.
  static const auto kRanks = [] {
    std::array<unsigned char, 256> ranks{};
    for (int b = 0; b < 256; ++b)
      ranks[b] = static_cast<unsigned char>(GuessByteFrequency(static_cast<unsigned char>(b)));
    return ranks;
  }();
  return kRanks[byte];
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

PairFinder::PairFinder(const unsigned char* bytes, std::size_t count, std::size_t n, Pick first,
                       Pick second)
    : bytes_(bytes), count_(count), lastStart_(count - n), first_(first), second_(second) {
  // Only a letter has another case; for any other byte the flag would match a second byte.
  first_.eitherCase = first.eitherCase && IsAsciiLetter(first.value);
  second_.eitherCase = second.eitherCase && IsAsciiLetter(second.value);
}

#if defined(QUARIX_PAIR_AVX2)
namespace {

// Thirty-two starts at once where the processor has AVX2: the first byte is looked at
// alone, the second only in blocks where the first stands somewhere. Returns the first
// start at or after from and at most lastStart - 31 where both stand, or SIZE_MAX once
// fewer than 32 starts are left (the caller goes on from *next).
// The places among 32 bytes where the value stands (fold 0x20 takes both ASCII cases).
__attribute__((target("avx2"))) inline __m256i FindByteAvx2(const unsigned char* at,
                                                            __m256i value, __m256i fold) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  return _mm256_cmpeq_epi8(_mm256_or_si256(bytes, fold), value);
}

__attribute__((target("avx2"))) std::size_t NextPairAvx2(const unsigned char* bytes,
                                                         std::size_t from, std::size_t lastStart,
                                                         const PairFinder::Pick& first,
                                                         const PairFinder::Pick& second,
                                                         std::size_t* next) {
  const __m256i firstValue = _mm256_set1_epi8(static_cast<char>(first.value));
  const __m256i secondValue = _mm256_set1_epi8(static_cast<char>(second.value));
  const __m256i firstFold = _mm256_set1_epi8(first.eitherCase ? 0x20 : 0);
  const __m256i secondFold = _mm256_set1_epi8(second.eitherCase ? 0x20 : 0);
  std::size_t start = from;
  // Four blocks at a time while the first byte stands in none of them, as memchr runs.
  for (; lastStart >= 127 && start <= lastStart - 127; start += 128) {
    const auto* at = bytes + start;
    const __m256i h0 = FindByteAvx2(at + first.at, firstValue, firstFold);
    const __m256i h1 = FindByteAvx2(at + 32 + first.at, firstValue, firstFold);
    const __m256i h2 = FindByteAvx2(at + 64 + first.at, firstValue, firstFold);
    const __m256i h3 = FindByteAvx2(at + 96 + first.at, firstValue, firstFold);
    const __m256i any = _mm256_or_si256(_mm256_or_si256(h0, h1), _mm256_or_si256(h2, h3));
    if (_mm256_testz_si256(any, any)) continue;
    const __m256i hits[] = {h0, h1, h2, h3};
    for (int block = 0; block < 4; ++block) {
      const __m256i hitsB =
          FindByteAvx2(at + 32 * block + second.at, secondValue, secondFold);
      const auto mask = static_cast<unsigned>(
          _mm256_movemask_epi8(_mm256_and_si256(hits[block], hitsB)));
      if (mask != 0) return start + 32 * block + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  for (; lastStart >= 31 && start <= lastStart - 31; start += 32) {
    const auto* at = bytes + start;
    const __m256i hitsA = FindByteAvx2(at + first.at, firstValue, firstFold);
    if (_mm256_testz_si256(hitsA, hitsA)) continue;
    const __m256i hitsB = FindByteAvx2(at + second.at, secondValue, secondFold);
    const auto mask =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(hitsA, hitsB)));
    if (mask != 0) return start + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  *next = start;
  return SIZE_MAX;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace
#endif

std::size_t PairFinder::Next(std::size_t from) const {
  // Setting bit 5 makes an ASCII capital its small letter and leaves the small one.
  auto same = [](unsigned char byte, const Pick& pick) {
    return static_cast<unsigned char>(pick.eitherCase ? byte | 0x20 : byte) == pick.value;
  };
  std::size_t start = from;
#if defined(QUARIX_PAIR_AVX2)
  if (HasAvx2()) {
    const std::size_t found = NextPairAvx2(bytes_, from, lastStart_, first_, second_, &start);
    if (found != SIZE_MAX) return found;
  }
#endif
#if defined(__SSE2__)
  const __m128i firstValue = _mm_set1_epi8(static_cast<char>(first_.value));
  const __m128i secondValue = _mm_set1_epi8(static_cast<char>(second_.value));
  const __m128i firstFold = _mm_set1_epi8(first_.eitherCase ? 0x20 : 0);
  const __m128i secondFold = _mm_set1_epi8(second_.eitherCase ? 0x20 : 0);
  // Sixteen starts at once; the last byte read is below the count since both offsets are
  // below n.
  while (lastStart_ >= 15 && start <= lastStart_ - 15) {
    const auto* at = bytes_ + start;
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + first_.at));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + second_.at));
    const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstFold), firstValue),
                                       _mm_cmpeq_epi8(_mm_or_si128(b, secondFold), secondValue));
    const int mask = _mm_movemask_epi8(both);
    if (mask != 0)
      return start + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    start += 16;
  }
#endif
  for (; start <= lastStart_; ++start)
    if (same(bytes_[start + first_.at], first_) && same(bytes_[start + second_.at], second_))
      return start;
  return count_;
}

int RankTextByte(unsigned char c, bool caseless) {
  return caseless && IsAsciiLetter(c) ? RankByteFrequency(FoldAsciiCase(c)) + 110
                                      : RankByteFrequency(c);
}

std::size_t FindRarestByte(const unsigned char* text, std::size_t n, bool caseless) {
  std::size_t rare = 0;
  for (std::size_t i = 1; i < n; ++i)
    if (RankTextByte(text[i], caseless) < RankTextByte(text[rare], caseless)) rare = i;
  return rare;
}

TextPair ChooseRarePair(const unsigned char* sample, std::size_t size, const unsigned char* text,
                        std::size_t n, bool caseless) {
  std::size_t counts[256] = {};
  const auto fold = [caseless](unsigned char c) { return caseless ? FoldAsciiCase(c) : c; };
  for (std::size_t i = 0; i < size; ++i) ++counts[fold(sample[i])];
  // The count decides; the guess only among equal counts.
  const auto score = [&](std::size_t i) {
    const auto guess = static_cast<std::size_t>(RankTextByte(text[i], caseless));
    return counts[fold(text[i])] * 1024 + guess;
  };
  TextPair pair{0, 1};
  for (std::size_t i = 1; i < n; ++i)
    if (score(i) < score(pair.first)) pair.first = i;
  pair.second = pair.first == 0 ? 1 : 0;
  std::size_t best = SIZE_MAX;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == pair.first) continue;
    const bool copy = fold(text[i]) == fold(text[pair.first]);
    const std::size_t value = copy ? SIZE_MAX - 1 : score(i);
    if (value < best) {
      best = value;
      pair.second = i;
    }
  }
  return pair;
}

TextFinder::TextFinder(const unsigned char* bytes, std::size_t count, const std::string& text,
                       bool caseless, const TextPair* pairsFirst)
    : bytes_(bytes), count_(count), text_(text), caseless_(caseless) {
  if (count < text.size() || text.size() < 2) return;
  const std::size_t rare = FindRarestByte(reinterpret_cast<const unsigned char*>(text.data()),
                                          text.size(), caseless);
  const auto c = static_cast<unsigned char>(text[rare]);
  first_ = PairFinder::Pick{caseless ? FoldAsciiCase(c) : c, rare, caseless};
  rare_.emplace(bytes, count, first_.value, caseless);
  if (pairsFirst) StartPairs(*pairsFirst);
}

void TextFinder::StartPairs(const TextPair& pair) {
  pair_ = pair;
  const auto pick = [&](std::size_t i) {
    const auto c = static_cast<unsigned char>(text_[i]);
    return PairFinder::Pick{caseless_ ? FoldAsciiCase(c) : c, i, caseless_};
  };
  pairs_.emplace(bytes_, count_, text_.size(), pick(pair.first), pick(pair.second));
}

bool TextFinder::HoldsTextAt(std::size_t at) const {
  if (!caseless_) return std::memcmp(bytes_ + at, text_.data(), text_.size()) == 0;
  for (std::size_t i = 0; i < text_.size(); ++i)
    if (FoldAsciiCase(bytes_[at + i]) != FoldAsciiCase(static_cast<unsigned char>(text_[i])))
      return false;
  return true;
}

std::size_t TextFinder::Next(std::size_t from) {
  if (!rare_) return count_;  // the range is shorter than the text
  const std::size_t lastStart = count_ - text_.size();
  for (;;) {
    std::size_t at;
    if (pairs_) {
      at = pairs_->Next(from);
    } else {
      const std::size_t rareAt = rare_->Next(from + first_.at);
      at = rareAt < count_ && rareAt - first_.at <= lastStart ? rareAt - first_.at : count_;
    }
    if (at >= count_ || HoldsTextAt(at)) return at;
    if (!pairs_ && ++misses_ > 16 && misses_ > at / 256) {
      const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
      StartPairs(ChooseRarePair(bytes_, count_ < kPairSample ? count_ : kPairSample, text,
                                text_.size(), caseless_));
    }
    from = at + 1;
  }
}
