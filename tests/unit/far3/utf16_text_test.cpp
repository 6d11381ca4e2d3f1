#include "flavour/far3/utf16_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  const char* name;
  std::u16string units;
  std::string bytes;
};

// Each host line, what the core sees of it, and back.
TEST(Utf16TextTest, EncodesAndDecodesEveryUnit) {
  const Case cases[] = {
      {"ascii", u"foo bar", "foo bar"},
      {"empty", u"", ""},
      {"cyrillic", u"Жук", "\xD0\x96\xD1\x83\xD0\xBA"},
      {"cjk", u"日本語", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
      {"accented", u"ÿ", "\xC3\xBF"},
      {"emoji pair", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"lone high", std::u16string(u"a\xD83D" u"b"), "a\xED\xA0\xBD" "b"},
      {"lone low", std::u16string(u"\xDE00" u"x"), "\xED\xB8\x80x"},
      {"low before high", std::u16string(u"\xDE00\xD83D"), "\xED\xB8\x80\xED\xA0\xBD"},
      {"high at end", std::u16string(u"z\xDBFF"), "z\xED\xAF\xBF"},
      {"zero unit", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {"replacement char", u"\xFFFD", "\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeUtf16(c.units), c.bytes) << c.name;
    EXPECT_EQ(DecodeToUtf16(c.bytes), c.units) << c.name;
  }
}

TEST(Utf16TextTest, BytesThatAreNoCharacterBecomeTheReplacementCharacter) {
  EXPECT_EQ(DecodeToUtf16("a\xFF" "b"), u"a\xFFFD" u"b");
  EXPECT_EQ(DecodeToUtf16("\xC3"), u"\xFFFD");            // cut sequence
  EXPECT_EQ(DecodeToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");  // overlong
  EXPECT_EQ(DecodeToUtf16("\xED\xA0"), u"\xFFFD\xFFFD");  // cut surrogate form
}

// Positions are counted in code units, as Far 3 counts them: the emoji takes two.
TEST(Utf16TextTest, MapsPositionsInCodeUnits) {
  const Utf8Line line = EncodeUtf16Line(u"a\xD83D\xDE00Ж\xDC00z");
  // units: a@0/0, emoji@1/1, Ж@3/5, lone low@4/7, z@5/10, end@6/11
  const struct {
    int units, bytes;
  } at[] = {{0, 0}, {1, 1}, {3, 5}, {4, 7}, {5, 10}, {6, 11}, {8, 13}};
  for (const auto& c : at) {
    EXPECT_EQ(CharToByte(line, c.units), c.bytes) << c.units;
    EXPECT_EQ(ByteToCharFloor(line, c.bytes), c.units) << c.bytes;
    EXPECT_EQ(ByteToCharCeil(line, c.bytes), c.units) << c.bytes;
  }
  // Inside the emoji's second unit or its bytes.
  EXPECT_EQ(CharToByte(line, 2), 1);
  EXPECT_EQ(ByteToCharFloor(line, 3), 1);
  EXPECT_EQ(ByteToCharCeil(line, 3), 3);
}

// The line of the report that showed data loss: only the replaced words change; every
// other unit, the lone surrogates included, stays as the host held it.
TEST(Utf16TextTest, MergeChangesOnlyWhatTheCoreChanged) {
  const std::u16string before =
      std::u16string(u"foo 日本語 Жук ÿ \xD83D\xDE00 foo ") + u'\xDC01' + u"!";
  const Utf8Line encoded = EncodeUtf16Line(before);
  std::string bytes = encoded.bytes;
  bytes.replace(0, 3, "bar");
  const std::size_t second = bytes.find("foo");
  ASSERT_NE(second, std::string::npos);
  bytes.replace(second, 3, "bar");
  const std::u16string after = MergeUtf16Line(before, encoded, bytes);
  EXPECT_EQ(after, std::u16string(u"bar 日本語 Жук ÿ \xD83D\xDE00 bar ") + u'\xDC01' + u"!");
}

TEST(Utf16TextTest, MergeOfAnInsertionBesideAPairKeepsThePair) {
  const std::u16string before = u"\xD83D\xDE00x";
  const Utf8Line encoded = EncodeUtf16Line(before);
  EXPECT_EQ(MergeUtf16Line(before, encoded, encoded.bytes + "Ё"), u"\xD83D\xDE00xЁ");
  EXPECT_EQ(MergeUtf16Line(before, encoded, "Ё" + encoded.bytes), u"Ё\xD83D\xDE00x");
  EXPECT_EQ(MergeUtf16Line(before, encoded, "x"), u"x");
}

}  // namespace
