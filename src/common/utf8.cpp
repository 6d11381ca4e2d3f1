#include "common/utf8.h"

int Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;  // a continuation byte, C0, C1 or F5 to FF
}

int DecodeUtf8(const unsigned char* p, std::size_t left, char32_t* c) {
  if (left == 0) return 0;
  const int length = Utf8SequenceLength(p[0]);
  if (length == 0 || left < static_cast<std::size_t>(length)) return 0;
  if (length == 1) {
    *c = p[0];
    return 1;
  }
  // The lead byte's share of the code point, and the smallest code point of this length:
  // anything below is an overlong form.
  char32_t value = p[0] & (0x7F >> length);
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  for (int i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    value = (value << 6) | (p[i] & 0x3F);
  }
  if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return 0;
  *c = value;
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool HasNonAscii(const char* text, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return true;
  return false;
}
