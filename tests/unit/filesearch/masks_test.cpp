#include "filesearch/masks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "filesearch/settings.h"
#include "unit/text_model_scope.h"

namespace {

// The mask settings of one test, restored afterwards.
struct MaskSettings {
  MaskSettings(int delimiter, int negation, int dotAsterisk)
      : saved{Stored.MaskDelimiter, Stored.MaskNegation, Stored.DotAsteriskMatchesNoExtension} {
    Stored.MaskDelimiter = delimiter;
    Stored.MaskNegation = negation;
    Stored.DotAsteriskMatchesNoExtension = dotAsterisk;
  }
  ~MaskSettings() {
    Stored.MaskDelimiter = saved[0];
    Stored.MaskNegation = saved[1];
    Stored.DotAsteriskMatchesNoExtension = saved[2];
  }
  int saved[3];
};

struct ListCase {
  const char* list;
  const char* name;
  int dotAsterisk;
  int expected;
};

TEST(MatchMaskList, DefaultDelimiterAndNegation) {
  const ListCase cases[] = {
      {"*.*", "readme.txt", 1, 1},
      {"*.*", "Makefile", 1, 1},
      {"*.*", "Makefile", 0, 0},
      {"*.*", "readme.txt", 0, 1},
      {"*.", "Makefile", 1, 1},
      {"*.", "main.c", 1, 0},
      {"Makefile", "Makefile", 1, 0},  // tested as "Makefile."
      {"Makefile.", "Makefile", 1, 1},
      {"Makefile*", "Makefile", 1, 1},
      {"Makefile", "Makefile", 0, 1},
      {"*.c,*.h", "main.c", 1, 1},
      {"*.c,*.h", "main.h", 1, 1},
      {"*.c,*.h", "main.cpp", 1, 0},
      {"*.c, *.h", "main.h", 1, 0},  // the second mask begins with a blank
      {"*.c, *.h", " a.h", 1, 1},
      {"*.*,!*.bak", "a.bak", 1, 0},
      {"*.*,!*.bak", "a.txt", 1, 1},
      {"!*.bak,*.*", "a.bak", 1, 0},
      {"!*.bak,*.*", "a.txt", 1, 1},
      {"!*.bak", "a.txt", 1, 0},  // exclusions alone pass nothing
      {"", "a.txt", 1, 0},
      {"", "a", 0, 0},
      {"*.TXT", "notes.txt", 1, 1},
      {"a!b", "a!b", 0, 1},  // negation inside a mask is ordinary
      {"*.c,", "main.c", 1, 1},
      {",*.c", "main.c", 1, 1},
      {"x,,y", "a", 0, 0},  // an empty mask matches no name
      {"!", "a", 0, 0},
      {"*.*,!", "a.b", 1, 1},  // "!" alone excludes only the empty name
      {"*.*,!a*,!b*", "b.txt", 1, 0},
  };
  for (const ListCase& c : cases) {
    MaskSettings settings(',', '!', c.dotAsterisk);
    EXPECT_EQ(MatchMaskList(c.list, c.name), c.expected)
        << "list '" << c.list << "' name '" << c.name << "' dot " << c.dotAsterisk;
  }
}

TEST(MatchMaskList, OtherDelimiterAndNegationCharacters) {
  MaskSettings settings(';', '~', 1);
  EXPECT_EQ(MatchMaskList("*.c;*.h", "a.h"), 1);
  EXPECT_EQ(MatchMaskList("*.c,*.h", "a.h"), 0);  // "," is ordinary now
  EXPECT_EQ(MatchMaskList("*.*;~*.o", "a.o"), 0);
  EXPECT_EQ(MatchMaskList("*.*;!*.o", "a.o"), 1);
}

TEST(MatchMaskList, CodeZeroDelimiterMakesOneMaskAndCodeZeroNegationExcludesNothing) {
  {
    MaskSettings settings(0, '!', 0);
    EXPECT_EQ(MatchMaskList("*.c,*.h", "a.h"), 0);
    EXPECT_EQ(MatchMaskList("*.c,*.h", "a.c,x.h"), 1);
    EXPECT_EQ(MatchMaskList("!*.h", "a.h"), 0);
    EXPECT_EQ(MatchMaskList("*,!*.h", "a,!b.h"), 1);
  }
  {
    MaskSettings settings(',', 0, 0);
    EXPECT_EQ(MatchMaskList("*.*,!*.bak", "a.bak"), 1);
    EXPECT_EQ(MatchMaskList("!*.bak", "!a.bak"), 1);
    EXPECT_EQ(MatchMaskList(",", "a"), 0);
  }
}

TEST(MatchWildcard, Table) {
  struct Case {
    const char* mask;
    const char* name;
    int expected;
  } const cases[] = {
      {"a*", "a", 1},     {"a**", "a", 0},     {"a**", "ab", 1},   {"*", "", 1},
      {"**", "", 0},      {"**", "x", 1},      {"", "", 1},        {"", "a", 0},
      {"?", "", 0},       {"?", "a", 1},       {"??", "a", 0},     {"*?", "a", 1},
      {"*a", "a", 1},     {"*a", "ba", 1},     {"*a", "ab", 0},    {"a*b*c", "abc", 1},
      {"a*b*c", "aXbYc", 1}, {"a*b*c", "acb", 0}, {"A?C", "abc", 1}, {"\x80", "\xA0", 0},
      {"\x80", "\x80", 1}, {"*.*", "a.b.c", 1}, {"[ab]", "a", 0},  {"[ab]", "[AB]", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchWildcard(c.mask, c.name), c.expected)
        << "mask '" << c.mask << "' name '" << c.name << "'";
}

TEST(MatchWildcard, ManyStarsAgainstALongNameAreDecidedQuickly) {
  const std::string name(5000, 'a');
  EXPECT_EQ(MatchWildcard("*a*a*a*a*a*a*a*a*a*a*b", name.c_str()), 0);
  EXPECT_EQ(MatchWildcard("*a*a*a*a*a*a*a*a*a*a*", name.c_str()), 1);
  EXPECT_EQ(MatchWildcard("*a*a*a*a*a*a*a*a*a*a**", name.c_str()), 1);
}

// The rule as written, recursively: after a star the rest of the mask is tried from each
// position that leaves at least one character.
int ReferenceWildcard(const char* mask, const char* name) {
  auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  if (!*mask) return *name == '\0';
  if (*mask == '*') {
    if (!mask[1]) return 1;
    for (const char* p = name; *p; ++p)
      if (ReferenceWildcard(mask + 1, p)) return 1;
    return 0;
  }
  if (!*name) return 0;
  if (*mask != '?' && fold(*mask) != fold(*name)) return 0;
  return ReferenceWildcard(mask + 1, name + 1);
}

TEST(MatchWildcard, AgreesWithTheRecursiveRuleOnRandomMasks) {
  std::mt19937 random(20240611);
  const char maskChars[] = "ab*?.A";
  const char nameChars[] = "abB.";
  int matched = 0;
  for (int round = 0; round < 60000; ++round) {
    std::string mask;
    std::string name;
    const int maskLength = static_cast<int>(random() % 9);
    const int nameLength = static_cast<int>(random() % 10);
    for (int i = 0; i < maskLength; ++i) mask += maskChars[random() % 6];
    for (int i = 0; i < nameLength; ++i) name += nameChars[random() % 4];
    const int expected = ReferenceWildcard(mask.c_str(), name.c_str());
    matched += expected;
    ASSERT_EQ(MatchWildcard(mask.c_str(), name.c_str()), expected)
        << "mask '" << mask << "' name '" << name << "'";
  }
  EXPECT_GT(matched, 3000);  // both answers were well represented
}

// In the UTF-8 text model "?" stands for one character and letters of every script
// fold; the OEM model keeps one byte per character and folds A-Z only.
struct MaskCase {
  const char* mask;
  std::string name;
  int utf8;  // the answer in the UTF-8 model
  int oem;   // and in the OEM model
};

TEST(Utf8Masks, CharactersAndCaseOfEveryScript) {
  const MaskCase cases[] = {
      {"?.txt", "д.txt", 1, 0},
      {"??.txt", "д.txt", 0, 1},
      {"?.txt", "日.txt", 1, 0},
      {"*.TXT", "файл.txt", 1, 1},
      {"ФАЙЛ.*", "файл.txt", 1, 0},
      {"файл.*", "файл.txt", 1, 1},
      {"*ё*", "ЁЛКА", 1, 0},
      {"ΣΟΦΟΣ", "σοφοσ", 1, 0},
      {"?", "\xFF", 1, 1},        // a byte that is no UTF-8 is one character
      {"?", "\xD0", 1, 1},
      {"??", "\xD0\xB4", 0, 1},
      {"\xFF", "\xFF", 1, 1},
      {"\xFF", "\xFE", 0, 0},
      {"a*?", "aд", 1, 1},
      {"*д", "ддд", 1, 1},
      {"*?ж", "дж", 1, 1},
  };
  for (const MaskCase& c : cases) {
    {
      TextModelScope utf8(true);
      EXPECT_EQ(MatchWildcard(c.mask, c.name.c_str()), c.utf8) << c.mask << " " << c.name;
    }
    TextModelScope oem(false);
    EXPECT_EQ(MatchWildcard(c.mask, c.name.c_str()), c.oem) << c.mask << " " << c.name << " (OEM)";
  }
}

// Letters whose cases are not simple pairs meet in Unicode's mapping. Windows' own case
// tables, which the Windows build would use, leave them alone; the UTF-8 model serves hosts
// on Linux.
TEST(Utf8Masks, LettersWithMoreThanTwoCases) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows' case tables differ for these letters";
#endif
  TextModelScope utf8(true);
  EXPECT_EQ(MatchWildcard("ΣΟΦΟΣ", "σοφος"), 1);  // the final sigma
  EXPECT_EQ(MatchWildcard("σοφος", "σοφοσ"), 1);
  EXPECT_EQ(MatchWildcard("K", "\xE2\x84\xAA"), 1);  // the Kelvin sign folds to k
  EXPECT_EQ(MatchWildcard("K", "L"), 0);
}

TEST(Utf8Masks, ListsCutAndNegateAsBefore) {
  TextModelScope utf8(true);
  MaskSettings settings(',', '!', 1);
  EXPECT_EQ(MatchMaskList("*.*,!*.БАК", "отчёт.бак"), 0);
  EXPECT_EQ(MatchMaskList("*.*,!*.БАК", "отчёт.txt"), 1);
  EXPECT_EQ(MatchMaskList("*.", "Мейкфайл"), 1);
  EXPECT_EQ(MatchMaskList("д?м", "дом"), 0);  // tested as "дом."
}

}  // namespace
