#include "editorsearch/far2l/wide_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::wstring Values(std::initializer_list<std::uint32_t> values) {
  std::wstring out;
  for (std::uint32_t v : values) out.push_back(static_cast<wchar_t>(v));
  return out;
}

// far2l's form of a byte that is not UTF-8.
std::wstring Escaped(unsigned char byte) {
  const char* hex = "0123456789abcdef";
  return Values({0xE5CA, static_cast<std::uint32_t>(hex[byte >> 4]),
                 static_cast<std::uint32_t>(hex[byte & 15])});
}

std::wstring RoundTrip(const std::wstring& values) {
  return DecodeToWide(EncodeWideLine(values.data(), values.size()).bytes);
}

TEST(WideText, TextOfEveryScriptIsItsUtf8) {
  struct Case {
    const wchar_t* values;
    const char* bytes;
  } cases[] = {
      {L"", ""},
      {L"plain ASCII", "plain ASCII"},
      {L"дом ДОМ", "\xd0\xb4\xd0\xbe\xd0\xbc \xd0\x94\xd0\x9e\xd0\x9c"},
      {L"日本語", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
      {L"café Ørsted", "caf\xc3\xa9 \xc3\x98rsted"},
      {L"\U0001F600", "\xf0\x9f\x98\x80"},
      {L"tab\there\0nul", "tab\there"},  // a literal stops at its zero; the zero itself below
  };
  for (const Case& c : cases) {
    const Utf8Line line = EncodeWideLine(c.values, std::wcslen(c.values));
    EXPECT_EQ(line.bytes, c.bytes);
    EXPECT_EQ(DecodeToWide(c.bytes), c.values);
  }
  const std::wstring withZero(L"a\0b", 3);
  EXPECT_EQ(EncodeWideLine(withZero.data(), 3).bytes, std::string("a\0b", 3));
  EXPECT_EQ(RoundTrip(withZero), withZero);
}

TEST(WideText, AnEscapedByteIsThatByteAndComesBackEscaped) {
  // A Latin-1 "é" (0xE9) in a UTF-8 file, and a lone continuation byte.
  const std::wstring values = L"caf" + Escaped(0xE9) + L" x" + Escaped(0x80);
  const Utf8Line line = EncodeWideLine(values.data(), values.size());
  EXPECT_EQ(line.bytes, "caf\xe9 x\x80");
  EXPECT_EQ(DecodeToWide(line.bytes), values);
}

TEST(WideText, EscapesThatWouldReadBackOtherwiseStayCharacters) {
  struct Case {
    const char* what;
    std::wstring values;
  } cases[] = {
      // Two escaped bytes that together are "é": as bytes they would read back as one letter.
      {"lead then continuation", Escaped(0xC3) + Escaped(0xA9)},
      // An escaped lead byte followed by a real continuation... cannot be: a character never
      // begins with one. But an escape of an ASCII byte would read back as the letter.
      {"escape of an ASCII byte", Escaped('A')},
      // Upper-case hex digits are not far2l's escape: plain characters.
      {"upper-case digits", Values({0xE5CA, 'A', '9'})},
      {"escape value alone", Values({0xE5CA})},
      {"escape value twice", Values({0xE5CA, 0xE5CA, 'a', '9'})},
      {"escape at the end, one digit", Values({'x', 0xE5CA, 'a'})},
      {"an escaped surrogate's bytes", Escaped(0xED) + Escaped(0xA0) + Escaped(0x80)},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundTrip(c.values), c.values) << c.what;
}

TEST(WideText, ValuesThatAreNoCharactersComeBackUnchanged) {
  const std::wstring values =
      Values({0xD800, 'a', 0xDFFF, 0xDC00, 0xD83D, 0x110000, 0x1FFFFF, 0x200000, 0x3FFFFFF,
              0x4000000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 0xFFFE, 0xFFFF, 0});
  const Utf8Line line = EncodeWideLine(values.data(), values.size());
  EXPECT_EQ(DecodeToWide(line.bytes), values);
  // Each has a form of its own, not a byte of the file.
  EXPECT_EQ(line.units.size(), values.size() + 1);
}

TEST(WideText, CesuBytesStayBytes) {
  // A surrogate pair written as two 3-byte forms (CESU-8), as far2l shows it: six bytes.
  std::wstring values;
  for (unsigned char byte : {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}) values += Escaped(byte);
  const Utf8Line line = EncodeWideLine(values.data(), values.size());
  EXPECT_EQ(line.bytes, "\xed\xa0\xbd\xed\xb8\x80");
  EXPECT_EQ(DecodeToWide(line.bytes), values);
}

TEST(WideText, EveryValueInEveryNeighbourhoodComesBack) {
  std::mt19937 random(20261208);
  const std::uint32_t interesting[] = {
      0,      0x7F,    0x80,     0x7FF,    0x800,      0xD7FF, 0xD800, 0xDFFF, 0xE000, 0xE5CA,
      0xFFFF, 0x10000, 0x10FFFF, 0x110000, 0x7FFFFFFF, 'a',    '0',    '9',    'f',    0xFFFFFFFFu};
  for (int round = 0; round < 20000; ++round) {
    std::wstring values;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) {
      switch (random() % 4) {
        case 0:
          values.push_back(static_cast<wchar_t>(interesting[random() % std::size(interesting)]));
          break;
        case 1:
          values += Escaped(static_cast<unsigned char>(random() % 256));
          break;
        case 2:
          values.push_back(static_cast<wchar_t>(random()));
          break;
        default:
          values.push_back(static_cast<wchar_t>(0x80 + random() % 0x800));
      }
    }
    ASSERT_EQ(RoundTrip(values), values) << "round " << round;
  }
}

TEST(WideText, AnyBytesDecodeAndEncodeBackToThemselves) {
  // What the editor holds after a line is set from the core's bytes saves as those bytes,
  // so the bytes must come back unchanged too.
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    const int length = static_cast<int>(random() % 10);
    for (int i = 0; i < length; ++i) bytes.push_back(static_cast<char>(random() % 256));
    const std::wstring values = DecodeToWide(bytes);
    ASSERT_EQ(EncodeWideLine(values.data(), values.size()).bytes, bytes) << "round " << round;
  }
  // The one exception: U+E5CA itself followed by two hex digits reads as far2l's escape of
  // a byte, as far2l itself would save it.
  const std::string escapeLike =
      "\xee\x97\x8a"
      "a9";
  const std::wstring values = DecodeToWide(escapeLike);
  EXPECT_EQ(values, Escaped(0xA9));
  EXPECT_EQ(EncodeWideLine(values.data(), values.size()).bytes, "\xa9");
}

TEST(WideText, PositionsMoveBetweenCharactersAndBytes) {
  // a д 日 <byte 0xFF> 😀 b
  const std::wstring values = L"aд日" + Escaped(0xFF) + L"\U0001F600b";
  const Utf8Line line = EncodeWideLine(values.data(), values.size());
  ASSERT_EQ(line.bytes,
            "a\xd0\xb4\xe6\x97\xa5\xff\xf0\x9f\x98\x80"
            "b");
  struct Case {
    int chars, bytes;
  } boundaries[] = {{0, 0}, {1, 1}, {2, 3}, {3, 6}, {6, 7}, {7, 11}, {8, 12}};
  for (const Case& c : boundaries) {
    EXPECT_EQ(CharToByte(line, c.chars), c.bytes) << c.chars;
    EXPECT_EQ(ByteToCharFloor(line, c.bytes), c.chars) << c.bytes;
    EXPECT_EQ(ByteToCharCeil(line, c.bytes), c.chars) << c.bytes;
  }
  // Inside a character: floor to its start, ceil past its end.
  EXPECT_EQ(ByteToCharFloor(line, 2), 1);
  EXPECT_EQ(ByteToCharCeil(line, 2), 2);
  EXPECT_EQ(ByteToCharFloor(line, 5), 2);
  EXPECT_EQ(ByteToCharCeil(line, 4), 3);
  EXPECT_EQ(ByteToCharFloor(line, 9), 6);
  EXPECT_EQ(ByteToCharCeil(line, 9), 7);
  // Inside an escaped byte's three values: its start.
  EXPECT_EQ(CharToByte(line, 4), 6);
  EXPECT_EQ(CharToByte(line, 5), 6);
  // Past the end the cursor counts one byte per position; -1 stays -1.
  EXPECT_EQ(CharToByte(line, 10), 14);
  EXPECT_EQ(ByteToCharFloor(line, 14), 10);
  EXPECT_EQ(ByteToCharCeil(line, 13), 9);
  EXPECT_EQ(CharToByte(line, -1), -1);
  EXPECT_EQ(ByteToCharFloor(line, -1), -1);
}

TEST(WideText, AnEmptyLineHasOnlyPositionsPastItsEnd) {
  const Utf8Line line = EncodeWideLine(L"", 0);
  EXPECT_EQ(line.bytes, "");
  EXPECT_EQ(CharToByte(line, 0), 0);
  EXPECT_EQ(CharToByte(line, 3), 3);
  EXPECT_EQ(ByteToCharFloor(line, 2), 2);
}

std::wstring Merge(const std::wstring& before, const std::string& bytes) {
  return MergeLineValues(before, EncodeWideLine(before.data(), before.size()), bytes);
}

TEST(WideText, ASetLineKeepsTheValuesTheCoreLeftAlone) {
  const std::wstring lone = Values({0xD800});
  const std::wstring wide = Values({0x7FFFFFFF});
  struct Case {
    const char* what;
    std::wstring before;
    std::string bytes;
    std::wstring after;
  } cases[] = {
      {"a change between values that are no characters", lone + L"ab日本cd" + wide,
       "\xf0\x8d\xa0\x80"
       "ab<\xd0\xb4>cd\xfd\xbf\xbf\xbf\xbf\xbf",
       lone + L"ab<д>cd" + wide},
      {"a change beside an escaped byte", L"x" + Escaped(0xFF) + L"y", "x\xffZ",
       L"x" + Escaped(0xFF) + L"Z"},
      // Decoded whole, the two bytes would read as "ê": the kept byte stays what it was.
      {"a byte set after a kept escaped byte", L"x" + Escaped(0xC3) + L"y", "x\xc3\xaa",
       L"x" + Escaped(0xC3) + Escaped(0xAA)},
      {"one letter for another of the same lead byte", L"café", "caf\xc3\xa8", L"cafè"},
      {"an insertion", L"дом", "д-ом", L"д-ом"},
      {"a deletion to nothing", L"日本", "", L""},
      {"a line that was empty", L"", "new", L"new"},
      {"nothing changed", lone + Escaped(0xC3) + L"é", "\xf0\x8d\xa0\x80\xc3\xc3\xa9",
       lone + Escaped(0xC3) + L"é"},
  };
  for (const Case& c : cases) EXPECT_EQ(Merge(c.before, c.bytes), c.after) << c.what;
}

// The bytes far2l saves for a line of characters and escaped bytes.
std::string SavedBytes(const std::wstring& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] == 0xE5CA && i + 2 < values.size()) {
      out += static_cast<char>(
          std::stoi(std::string{static_cast<char>(values[i + 1]), static_cast<char>(values[i + 2])},
                    nullptr, 16));
      i += 2;
    } else {
      out += EncodeWide(values.substr(i, 1));
    }
  }
  return out;
}

TEST(WideText, ASetLineSavesAsTheCoreLeftIt) {
  // Lines as far2l reads them from a file (characters and escaped bytes), changed in one
  // place as a replacement does, bytes that are not UTF-8 inserted too: far2l then saves
  // exactly the core's bytes, and a line left as it was keeps its values.
  std::mt19937 random(11);
  const std::string pieces[] = {"a", "\xc3\xa9", "\xe6\x97\xa5", "\xe9", "\xc3", "\xaa"};
  const std::string inserts[] = {"", "\xd0\xb4", "\xaa", "\xc3"};
  for (int round = 0; round < 5000; ++round) {
    std::string old;
    for (int i = static_cast<int>(random() % 8); i > 0; --i)
      old += pieces[random() % std::size(pieces)];
    const std::wstring before = DecodeToWide(old);  // as far2l reads the file's line
    ASSERT_EQ(EncodeWideLine(before.data(), before.size()).bytes, old);
    const std::size_t from = random() % (old.size() + 1);
    const std::size_t count = random() % (old.size() - from + 1);
    const std::string bytes =
        old.substr(0, from) + inserts[random() % std::size(inserts)] + old.substr(from + count);
    const std::wstring after = Merge(before, bytes);
    ASSERT_EQ(SavedBytes(after), bytes) << "round " << round;
    if (bytes == old) {
      ASSERT_EQ(after, before) << "round " << round;
    }
  }
}

TEST(WideText, FitCutsBeforeACharacter) {
  const std::string text = "ab\xd0\xb4\xe6\x97\xa5";  // a b д 日
  EXPECT_EQ(FitUtf8(text, 100), text.size());
  EXPECT_EQ(FitUtf8(text, 7), 7u);
  EXPECT_EQ(FitUtf8(text, 6), 4u);
  EXPECT_EQ(FitUtf8(text, 5), 4u);
  EXPECT_EQ(FitUtf8(text, 3), 2u);
  EXPECT_EQ(FitUtf8(text, 0), 0u);
}

}  // namespace
