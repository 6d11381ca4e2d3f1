#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/platform.h"

namespace {

unsigned char ToAnsi(unsigned char oem) {
  unsigned char ansi = 0;
  EXPECT_TRUE(platform::ConvertOemToAnsi(oem, &ansi)) << int(oem);
  return ansi;
}

unsigned char ToOem(unsigned char ansi) {
  unsigned char oem = 0;
  EXPECT_TRUE(platform::ConvertAnsiToOem(ansi, &oem)) << int(ansi);
  return oem;
}

TEST(CharactersTest, AsciiIsItsOwnCounterpartAndFoldsOnlyItsLetters) {
  for (int c = 0; c < 128; ++c) {
    auto b = static_cast<unsigned char>(c);
    EXPECT_EQ(ToAnsi(b), b);
    EXPECT_EQ(ToOem(b), b);
    unsigned char upper = c >= 'a' && c <= 'z' ? b - 32 : b;
    unsigned char lower = c >= 'A' && c <= 'Z' ? b + 32 : b;
    EXPECT_EQ(platform::UpperAnsi(b), upper) << c;
    EXPECT_EQ(platform::LowerAnsi(b), lower) << c;
  }
}

TEST(CharactersTest, CyrillicLettersChangeCaseThroughTheAnsiCodePage) {
  struct Letter {
    unsigned char oemSmall, ansiSmall, ansiCapital, oemCapital;
  };
  const Letter letters[] = {
      {0xA0, 0xE0, 0xC0, 0x80},  // а А
      {0xAF, 0xEF, 0xCF, 0x8F},  // п П
      {0xE0, 0xF0, 0xD0, 0x90},  // р Р
      {0xEF, 0xFF, 0xDF, 0x9F},  // я Я
      {0xF1, 0xB8, 0xA8, 0xF0},  // ё Ё
  };
  for (const Letter& l : letters) {
    SCOPED_TRACE(int(l.oemSmall));
    EXPECT_EQ(ToAnsi(l.oemSmall), l.ansiSmall);
    EXPECT_EQ(platform::UpperAnsi(l.ansiSmall), l.ansiCapital);
    EXPECT_EQ(platform::LowerAnsi(l.ansiCapital), l.ansiSmall);
    EXPECT_EQ(platform::UpperAnsi(l.ansiCapital), l.ansiCapital);
    EXPECT_EQ(ToOem(l.ansiCapital), l.oemCapital);
  }
  // The micro sign's capital is a Greek letter outside 1251: no single-byte result.
  EXPECT_EQ(platform::UpperAnsi(0xB5), 0xB5);
}

TEST(CharactersTest, BoxDrawingHasNoAnsiCounterpartAndEveryOtherRoundTrips) {
  for (unsigned char box : {0xB3, 0xC4, 0xC5, 0xCD, 0xDB}) {
    unsigned char ansi = 0x55;
    EXPECT_FALSE(platform::ConvertOemToAnsi(box, &ansi)) << int(box);
    EXPECT_EQ(ansi, 0x55) << "left alone on failure";
  }
  int converted = 0;
  for (int c = 0; c < 256; ++c) {
    unsigned char ansi = 0;
    if (!platform::ConvertOemToAnsi(static_cast<unsigned char>(c), &ansi)) continue;
    ++converted;
    EXPECT_EQ(ToOem(ansi), c);
  }
  EXPECT_GE(converted, 128 + 66) << "ASCII and the 66 Cyrillic letters at least";
}

// The tables are built once per process, so other code pages are checked in a fresh one.
TEST(CharactersDeathTest, TheCodePagesCanBeChosenByEnvironment) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("QUARIX_OEM_CP", "437", 1);
        setenv("QUARIX_ANSI_CP", "1252", 1);
        unsigned char ansi = 0;
        bool ok = platform::ConvertOemToAnsi(0x81, &ansi) && ansi == 0xFC &&  // ü
                  platform::UpperAnsi(0xFC) == 0xDC && !platform::ConvertOemToAnsi(0xC4, &ansi);
        exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// Unicode's simple case mapping, whatever the process's locale (the tests run in "C").
TEST(Characters, UnicodeCaseOfOneCharacter) {
  struct Case {
    char32_t c;
    char32_t upper;
    char32_t lower;
  } cases[] = {
      {U'a', U'A', U'a'},       {U'Z', U'Z', U'z'},       {U'1', U'1', U'1'},
      {U'д', U'Д', U'д'},       {U'Ё', U'Ё', U'ё'},       {U'é', U'É', U'é'},
      {U'σ', U'Σ', U'σ'},       {U'ς', U'Σ', U'ς'},       {U'ß', U'ß', U'ß'},
      {U'ı', U'I', U'ı'},       {U'\x212A', U'\x212A', U'k'},  // the Kelvin sign
      {U'日', U'日', U'日'},     {U'\U0001D11E', U'\U0001D11E', U'\U0001D11E'},
      {U'\U00010428', U'\U00010400', U'\U00010428'},        // Deseret, beyond 16 bits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::UpperCharacter(c.c), c.upper) << static_cast<unsigned>(c.c);
    EXPECT_EQ(platform::LowerCharacter(c.c), c.lower) << static_cast<unsigned>(c.c);
  }
  // Not characters: returned as they are.
  EXPECT_EQ(platform::UpperCharacter(0xD800), 0xD800u);
  EXPECT_EQ(platform::UpperCharacter(0x110000), 0x110000u);
}

}  // namespace
