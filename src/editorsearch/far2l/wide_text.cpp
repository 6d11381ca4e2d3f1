#include "editorsearch/far2l/wide_text.h"

#include <algorithm>
#include <cstdint>

namespace {

// UTF-8's scheme stretched to every 32-bit value: up to U+10FFFF (surrogates aside) it is
// UTF-8 itself; larger values take the same lead and continuation bytes (5 and 6 bytes as
// UTF-8 first had them, 7 bytes led by 0xFE above 0x7FFFFFFF). A surrogate takes 4 bytes
// rather than its 3-byte form, which is what CESU-8 text holds: such bytes in a file stay
// bytes. Only these forms are read back, so each value has exactly one form.
bool IsSurrogate(std::uint64_t value) { return value >= 0xD800 && value <= 0xDFFF; }

int FormLength(std::uint32_t value) {
  if (value < 0x80) return 1;
  if (value < 0x800) return 2;
  if (value < 0x10000 && !IsSurrogate(value)) return 3;
  if (value < 0x200000) return 4;
  if (value < 0x4000000) return 5;
  if (value < 0x80000000u) return 6;
  return 7;
}

void AppendForm(std::uint32_t value, std::string* out) {
  static const unsigned char kLead[8] = {0, 0, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};
  const int n = FormLength(value);
  if (n == 1) {
    out->push_back(static_cast<char>(value));
    return;
  }
  const std::uint64_t wide = value;
  out->push_back(static_cast<char>(kLead[n] | (wide >> (6 * (n - 1)))));
  for (int k = n - 2; k >= 0; --k)
    out->push_back(static_cast<char>(0x80 | ((wide >> (6 * k)) & 0x3F)));
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the form a byte of 0x80 or more leads; 0 for a continuation byte or 0xFF.
int FormLengthOfLead(unsigned char lead) {
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  if (lead < 0xFC) return 5;
  if (lead < 0xFE) return 6;
  return lead == 0xFE ? 7 : 0;
}

// The value whose form starts at bytes[at], and the form's length; 0 when none starts there.
int ReadForm(std::string_view bytes, std::size_t at, std::uint32_t* value) {
  static const std::uint64_t kShortest[8] = {0,       0,        0x80,      0x800,
                                             0x10000, 0x200000, 0x4000000, 0x80000000u};
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80) {
    *value = lead;
    return 1;
  }
  const int n = FormLengthOfLead(lead);
  if (n == 0 || bytes.size() - at < static_cast<std::size_t>(n)) return 0;
  std::uint64_t result = lead & (0x7F >> n);
  for (int k = 1; k < n; ++k) {
    const auto byte = static_cast<unsigned char>(bytes[at + k]);
    if (!IsContinuation(byte)) return 0;
    result = (result << 6) | (byte & 0x3F);
  }
  if (result > 0xFFFFFFFFu) return 0;
  if (IsSurrogate(result) ? n != 4 : result < kShortest[n]) return 0;
  *value = static_cast<std::uint32_t>(result);
  return n;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

char HexDigit(int value) { return static_cast<char>(value < 10 ? '0' + value : 'a' + value - 10); }

// The byte an escape at text[i] stands for, or -1. Escapes of bytes below 0x80 are not
// taken as bytes: such a byte would read back as a character of its own.
int EscapedByte(const wchar_t* text, std::size_t length, std::size_t i) {
  if (text[i] != kByteEscape || length - i < 3) return -1;
  const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
  if (high < 0 || low < 0) return -1;
  const int byte = high * 16 + low;
  return byte >= 0x80 ? byte : -1;
}

struct Piece {
  int chars;          // 1, or 3 for an escaped byte
  std::string bytes;  // the form, or the one byte
};

}  // namespace

Utf8Line EncodeWideLine(const wchar_t* text, std::size_t length) {
  std::vector<Piece> pieces;
  pieces.reserve(length);
  for (std::size_t i = 0; i < length;) {
    const int byte = EscapedByte(text, length, i);
    if (byte >= 0) {
      pieces.push_back({3, std::string(1, static_cast<char>(byte))});
      i += 3;
      continue;
    }
    Piece piece{1, {}};
    AppendForm(static_cast<std::uint32_t>(text[i]), &piece.bytes);
    pieces.push_back(std::move(piece));
    ++i;
  }
  // An escaped byte stays a byte only when it reads back alone: followed by continuation
  // bytes it could start a form and swallow them. Such an escape (far2l never makes one
  // from a file, but a line may hold any values) keeps its three values as characters.
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (pieces[k].chars != 3) continue;
    std::string ahead = pieces[k].bytes;
    for (std::size_t next = k + 1; next < pieces.size() && ahead.size() < 7; ++next)
      ahead += pieces[next].bytes;
    std::uint32_t value = 0;
    if (ReadForm(ahead, 0, &value) <= 1) continue;
    const auto byte = static_cast<unsigned char>(pieces[k].bytes[0]);
    pieces[k] = {1, {}};
    AppendForm(kByteEscape, &pieces[k].bytes);
    pieces.insert(
        pieces.begin() + static_cast<std::ptrdiff_t>(k) + 1,
        {{1, std::string(1, HexDigit(byte >> 4))}, {1, std::string(1, HexDigit(byte & 0xF))}});
  }
  Utf8Line line;
  line.units.reserve(pieces.size() + 1);
  int chars = 0;
  for (const Piece& piece : pieces) {
    line.units.push_back({chars, static_cast<int>(line.bytes.size())});
    line.bytes += piece.bytes;
    chars += piece.chars;
  }
  line.units.push_back({chars, static_cast<int>(line.bytes.size())});
  return line;
}

std::wstring DecodeToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    std::uint32_t value = 0;
    const int n = ReadForm(bytes, at, &value);
    if (n > 0) {
      out.push_back(static_cast<wchar_t>(value));
      at += static_cast<std::size_t>(n);
      continue;
    }
    const auto byte = static_cast<unsigned char>(bytes[at]);
    out.push_back(kByteEscape);
    out.push_back(static_cast<wchar_t>(HexDigit(byte >> 4)));
    out.push_back(static_cast<wchar_t>(HexDigit(byte & 0xF)));
    ++at;
  }
  return out;
}

std::wstring MergeLineValues(const std::wstring& before, const Utf8Line& encoded,
                             std::string_view bytes) {
  return MergeLineValues(before, encoded, bytes, DecodeToWide);
}

std::string EncodeWide(std::wstring_view text) {
  return EncodeWideLine(text.data(), text.size()).bytes;
}
