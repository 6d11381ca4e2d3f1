// The UTF-8 name text. Windows names are UTF-16 that may hold unpaired surrogates; such a
// surrogate is written as its own 3-byte sequence (as WTF-8 does), so every name on disk
// has a spelling and comes back to the same name. Anything else that is not UTF-8
// (overlong forms, a surrogate pair written as two sequences, cut sequences, stray bytes,
// beyond U+10FFFF) is refused.
#include <string>

#include "platform/win32/names.h"

namespace platform {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool DecodeNameText(const char* text, std::size_t length, std::wstring* wide) {
  wide->clear();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  bool afterHighSurrogate = false;
  for (std::size_t at = 0; at < length;) {
    const unsigned char lead = bytes[at];
    std::size_t units;
    char32_t c;
    char32_t least;
    if (lead < 0x80) {
      units = 1, c = lead, least = 0;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      units = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      units = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
      units = 4, c = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (length - at < units) return false;
    for (std::size_t i = 1; i < units; ++i) {
      if (!IsContinuation(bytes[at + i])) return false;
      c = (c << 6) | (bytes[at + i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF) return false;
    const bool high = c >= 0xD800 && c < 0xDC00;
    const bool low = c >= 0xDC00 && c < 0xE000;
    // A pair written as two sequences would give a second spelling of the same name.
    if (low && afterHighSurrogate) return false;
    afterHighSurrogate = high;
    if (c >= 0x10000) {
      c -= 0x10000;
      wide->push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      wide->push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    } else {
      wide->push_back(static_cast<wchar_t>(c));
    }
    at += units;
  }
  return true;
}

bool EncodeNameText(const wchar_t* wide, std::size_t length, std::string* text) {
  text->clear();
  for (std::size_t at = 0; at < length; ++at) {
    char32_t c = static_cast<char16_t>(wide[at]);
    if (c >= 0xD800 && c < 0xDC00 && at + 1 < length && wide[at + 1] >= 0xDC00 &&
        wide[at + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[at + 1]) - 0xDC00);
      ++at;
    }
    if (c < 0x80) {
      text->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      text->push_back(static_cast<char>(0xC0 | (c >> 6)));
      text->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      text->push_back(static_cast<char>(0xE0 | (c >> 12)));
      text->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      text->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      text->push_back(static_cast<char>(0xF0 | (c >> 18)));
      text->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      text->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      text->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return true;
}

}  // namespace platform
