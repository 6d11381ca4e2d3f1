#include "flavour/far3/utf16_text.h"

#include "common/utf8.h"

namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The three bytes of a value below 0x10000, surrogates included.
void AppendThreeBytes(std::string* out, char32_t value) {
  out->push_back(static_cast<char>(0xE0 | (value >> 12)));
  out->push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
  out->push_back(static_cast<char>(0x80 | (value & 0x3F)));
}

// A lone surrogate's form at bytes[at]: ED A0..BF 80..BF. 0 when there is none.
char16_t ReadSurrogateForm(std::string_view bytes, std::size_t at) {
  if (bytes.size() - at < 3) return 0;
  const auto b0 = static_cast<unsigned char>(bytes[at]);
  const auto b1 = static_cast<unsigned char>(bytes[at + 1]);
  const auto b2 = static_cast<unsigned char>(bytes[at + 2]);
  if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80) return 0;
  return static_cast<char16_t>(0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
}

}  // namespace

Utf8Line EncodeUtf16Line(std::u16string_view text) {
  Utf8Line line;
  line.bytes.reserve(text.size());
  line.units.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size();) {
    line.units.push_back({static_cast<int>(i), static_cast<int>(line.bytes.size())});
    const char16_t unit = text[i];
    if (IsHigh(unit) && i + 1 < text.size() && IsLow(text[i + 1])) {
      const char32_t c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                         (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      AppendUtf8(line.bytes, c);
      i += 2;
    } else if (IsHigh(unit) || IsLow(unit)) {
      AppendThreeBytes(&line.bytes, unit);
      ++i;
    } else {
      AppendUtf8(line.bytes, unit);
      ++i;
    }
  }
  line.units.push_back({static_cast<int>(text.size()), static_cast<int>(line.bytes.size())});
  return line;
}

std::string EncodeUtf16(std::u16string_view text) { return EncodeUtf16Line(text).bytes; }

std::u16string DecodeToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t c = 0;
    const int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()) + at,
                             bytes.size() - at, &c);
    if (n > 0) {
      if (c >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(c));
      }
      at += static_cast<std::size_t>(n);
    } else if (const char16_t surrogate = ReadSurrogateForm(bytes, at)) {
      out.push_back(surrogate);
      at += 3;
    } else {
      out.push_back(u'\xFFFD');
      ++at;
    }
  }
  return out;
}

std::u16string MergeUtf16Line(const std::u16string& before, const Utf8Line& encoded,
                              std::string_view bytes) {
  return MergeLineValues(before, encoded, bytes, DecodeToUtf16);
}
