// The bridge between far2l's wide editor lines and Linquo's UTF-8 core: any bytes decode
// to values that encode back to the same bytes (a file's bytes are saved as they were),
// any values encode to bytes that decode back to the same values, the map between byte
// offsets and character positions agrees with the units it is made of, a line left as it
// was merges back to its own values, a changed one merges without a fault, and FitUtf8
// cuts before a character.
//
// Input: a flags byte (bit 0: the rest are values, read as below; else bytes). Values:
// a byte below 0x80 is that character, 0x80 far2l's escape mark U+E5CA, 0x81 a value made
// of the next four bytes, any other byte one of the values at the edges of the encoding.
#include <cstdint>
#include <string>
#include <vector>

#include "editorsearch/far2l/wide_text.h"
#include "fuzz_support.h"

namespace {

constexpr std::uint32_t kEdges[] = {
    0x7F,     0x80,      0x7FF,      0x800,      0xD7FF,     0xD800,    0xDBFF,
    0xDC00,   0xDFFF,    0xE000,     0xE5C9,     0xFFFD,     0xFFFF,    0x10000,
    0x10FFFF, 0x110000,  0x1FFFFF,   0x200000,   0x3FFFFFF,  0x4000000, 0x7FFFFFFF,
    0x80000000, 0xFFFFFFFF, 0x434,   0x65E5,     'a',        'f',       '0',
    '9',      'A',
};

std::wstring ReadValues(const std::string& rest) {
  std::wstring values;
  for (std::size_t at = 0; at < rest.size();) {
    const auto b = static_cast<unsigned char>(rest[at++]);
    std::uint32_t value;
    if (b < 0x80) {
      value = b;
    } else if (b == 0x80) {
      value = kByteEscape;
    } else if (b == 0x81) {
      value = 0;
      for (int k = 0; k < 4 && at < rest.size(); ++k)
        value = value << 8 | static_cast<unsigned char>(rest[at++]);
    } else {
      value = kEdges[(b - 0x82) % (sizeof kEdges / sizeof kEdges[0])];
    }
    values.push_back(static_cast<wchar_t>(value));
  }
  return values;
}

std::string ShowValues(const std::wstring& values) {
  std::string out = "[";
  for (wchar_t v : values) out += std::to_string(static_cast<std::uint32_t>(v)) + " ";
  return out + "]";
}

void CheckMap(const std::wstring& values, const Utf8Line& line) {
  if (line.units.empty() || line.units.front().chars != 0 || line.units.front().bytes != 0 ||
      line.units.back().chars != static_cast<int>(values.size()) ||
      line.units.back().bytes != static_cast<int>(line.bytes.size()))
    fuzz::Fail("the units of " + ShowValues(values) + " do not span the line");
  for (std::size_t u = 0; u + 1 < line.units.size(); ++u) {
    const Utf8Line::Unit here = line.units[u], next = line.units[u + 1];
    if (next.chars <= here.chars || next.bytes <= here.bytes)
      fuzz::Fail("units of " + ShowValues(values) + " do not advance at " + std::to_string(u));
    for (int c = here.chars; c < next.chars; ++c)
      if (CharToByte(line, c) != here.bytes)
        fuzz::Fail("CharToByte(" + std::to_string(c) + ") in " + ShowValues(values));
    for (int b = here.bytes; b < next.bytes; ++b) {
      const int floor = ByteToCharFloor(line, b), ceil = ByteToCharCeil(line, b);
      if (floor != here.chars || ceil != (b == here.bytes ? here.chars : next.chars))
        fuzz::Fail("ByteToChar(" + std::to_string(b) + ") in " + ShowValues(values));
    }
  }
  // Past the end one for one, as the cursor may stand there.
  const Utf8Line::Unit end = line.units.back();
  if (CharToByte(line, end.chars + 3) != end.bytes + 3 ||
      ByteToCharFloor(line, end.bytes + 2) != end.chars + 2)
    fuzz::Fail("positions past the end of " + ShowValues(values));
}

void CheckValues(const std::wstring& values, const std::string& change) {
  const Utf8Line line = EncodeWideLine(values.data(), values.size());
  if (EncodeWide(values) != line.bytes) fuzz::Fail("EncodeWide differs from EncodeWideLine");
  const std::wstring back = DecodeToWide(line.bytes);
  if (back != values)
    fuzz::Fail("the values " + ShowValues(values) + " encoded as " + fuzz::Show(line.bytes) +
               " decode as " + ShowValues(back));
  CheckMap(values, line);
  if (MergeLineValues(values, line, line.bytes) != values)
    fuzz::Fail("the unchanged line " + ShowValues(values) + " did not merge back to itself");
  // A change in the middle: the bytes before and after it keep their values.
  const std::size_t cut = line.bytes.size() / 3;
  const std::string changed = line.bytes.substr(0, cut) + change + line.bytes.substr(2 * cut);
  MergeLineValues(values, line, changed);  // only its faults are looked for here
}

void CheckBytes(const std::string& bytes) {
  const std::wstring values = DecodeToWide(bytes);
  const std::string back = EncodeWide(values);
  if (back != bytes)
    fuzz::Fail("the bytes " + fuzz::Show(bytes) + " decode as " + ShowValues(values) +
               " and encode as " + fuzz::Show(back));
  // The longest prefix within the limit that ends before a character: the cut moves back
  // over continuation bytes only.
  auto continues = [&](std::size_t at) { return (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80; };
  for (std::size_t limit = 0; limit <= bytes.size() + 1; ++limit) {
    const std::size_t fit = FitUtf8(bytes, limit);
    bool right = bytes.size() <= limit ? fit == bytes.size()
                                       : fit <= limit && (fit == 0 || !continues(fit));
    for (std::size_t at = fit + 1; right && at <= limit && at < bytes.size(); ++at)
      right = continues(at);
    if (!right)
      fuzz::Fail("FitUtf8(" + fuzz::Show(bytes) + ", " + std::to_string(limit) + ") gave " +
                 std::to_string(fit));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const bool values = input.TakeByte() & 1;
  const std::string rest = input.TakeRest();
  if (values) {
    const std::size_t half = rest.find('\xFF');
    CheckValues(ReadValues(rest.substr(0, half)),
                half == std::string::npos ? std::string() : rest.substr(half + 1));
  } else {
    CheckBytes(rest);
  }
  return 0;
}
