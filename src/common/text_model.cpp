#include "common/text_model.h"

#include "common/utf8.h"

namespace {

bool g_textIsUtf8 = false;

}  // namespace

void SetTextIsUtf8(bool on) { g_textIsUtf8 = on; }

bool TextIsUtf8() { return g_textIsUtf8; }

std::size_t CharacterLengthAt(const char* text, std::size_t length, std::size_t at) {
  if (!g_textIsUtf8 || static_cast<unsigned char>(text[at]) < 0x80) return 1;
  char32_t c;
  const int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(text) + at, length - at, &c);
  return n > 0 ? static_cast<std::size_t>(n) : 1;
}

std::size_t CharacterStartBefore(const char* text, std::size_t at) {
  if (!g_textIsUtf8 || static_cast<unsigned char>(text[at - 1]) < 0x80) return at - 1;
  // A valid sequence ending at at begins at most four bytes back.
  for (std::size_t back = 2; back <= 4 && back <= at; ++back) {
    char32_t c;
    const auto* start = reinterpret_cast<const unsigned char*>(text) + (at - back);
    if (DecodeUtf8(start, back, &c) == static_cast<int>(back)) return at - back;
  }
  return at - 1;
}
