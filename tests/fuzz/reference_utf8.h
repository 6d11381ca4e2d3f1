// UTF-8 written out from Unicode's table of well-formed byte sequences, as the reference
// the fuzz targets hold the product's decoding against.
#pragma once

#include <cstddef>
#include <string>

namespace fuzz {

// The well-formed sequences by their first byte: the range of the second byte, the length.
struct SequenceRow {
  unsigned char firstLow, firstHigh, secondLow, secondHigh;
  int length;
};
inline constexpr SequenceRow kSequenceRows[] = {
    {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3}, {0xE1, 0xEC, 0x80, 0xBF, 3},
    {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3}, {0xF0, 0xF0, 0x90, 0xBF, 4},
    {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

// 1 for ASCII, the length of the row a first byte opens, or 0.
inline int ReferenceLeadLength(unsigned char first) {
  if (first < 0x80) return 1;
  for (const SequenceRow& row : kSequenceRows)
    if (first >= row.firstLow && first <= row.firstHigh) return row.length;
  return 0;
}

// The length of the well-formed sequence at p (at most left bytes), with its code point;
// 0 when there is none.
inline int ReferenceDecode(const unsigned char* p, std::size_t left, char32_t* c) {
  if (left == 0) return 0;
  if (p[0] < 0x80) {
    *c = p[0];
    return 1;
  }
  for (const SequenceRow& row : kSequenceRows) {
    if (p[0] < row.firstLow || p[0] > row.firstHigh) continue;
    if (left < static_cast<std::size_t>(row.length)) return 0;
    if (p[1] < row.secondLow || p[1] > row.secondHigh) return 0;
    for (int k = 2; k < row.length; ++k)
      if (p[k] < 0x80 || p[k] > 0xBF) return 0;
    const unsigned char leadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t value = p[0] & leadBits[row.length];
    for (int k = 1; k < row.length; ++k) value = value * 64 + (p[k] - 0x80);
    *c = value;
    return row.length;
  }
  return 0;
}

inline int ReferenceDecode(const std::string& text, std::size_t at, char32_t* c) {
  return ReferenceDecode(reinterpret_cast<const unsigned char*>(text.data()) + at,
                         text.size() - at, c);
}

}  // namespace fuzz
