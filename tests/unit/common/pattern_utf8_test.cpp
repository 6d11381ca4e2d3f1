// Patterns in the UTF-8 text model, and that the OEM model stays as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/pattern.h"
#include "unit/common/message_recorder.h"
#include "unit/text_model_scope.h"

namespace {

struct Compiled {
  Compiled(const char* text, int caseSensitive) {
    ok = CompilePattern(&pattern, text, caseSensitive) == 1;
  }
  ~Compiled() { ReleasePattern(&pattern); }
  CompiledPattern* pattern = nullptr;
  bool ok = false;
};

// The whole match, or "-" for none; "error" for anything but a match or no match.
std::string FirstMatch(const char* text, int caseSensitive, const std::string& subject,
                       std::size_t from = 0) {
  Compiled c(text, caseSensitive);
  EXPECT_TRUE(c.ok) << text;
  int ovector[2];
  const int rc = MatchPattern(c.pattern, subject.data(), subject.size(), from, 0, ovector, 1);
  if (rc == -1) return "-";
  if (rc < 0) return "error";
  return subject.substr(static_cast<std::size_t>(ovector[0]),
                        static_cast<std::size_t>(ovector[1] - ovector[0]));
}

struct MatchCase {
  const char* pattern;
  int caseSensitive;
  std::string subject;
  std::string match;  // "-": none
};

TEST(Utf8Pattern, CaselessFoldsEveryScript) {
  TextModelScope utf8(true);
  const MatchCase cases[] = {
      {"дом", 0, "МОЙ ДОМ", "ДОМ"},
      {"ДОМ", 0, "мой дом", "дом"},
      {"дом", 1, "МОЙ ДОМ", "-"},
      {"été", 0, "ÉTÉ", "ÉTÉ"},
      {"straße", 0, "STRAßE", "STRAßE"},
      {"σοφία", 0, "ΣΟΦΊΑ", "ΣΟΦΊΑ"},
      {"[а-я]+", 0, "ЖУК", "ЖУК"},
      {"Ёлка", 0, "ёлка", "ёлка"},
      {"日本", 0, "ab日本cd", "日本"},
      {"abc", 0, "xABCx", "ABC"},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(FirstMatch(c.pattern, c.caseSensitive, c.subject), c.match) << c.pattern;
}

TEST(Utf8Pattern, ClassesAndWordBoundariesKnowEveryScript) {
  TextModelScope utf8(true);
  const MatchCase cases[] = {
      {"\\w+", 1, "  дом! ", "дом"},
      {"\\bдом\\b", 1, "мой дом.", "дом"},
      {"\\bдом\\b", 1, "домик", "-"},
      {"^.$", 1, "д", "д"},
      {"^.$", 1, "日", "日"},
      {"^...$", 1, "été", "été"},
      {"\\W", 1, "жук-", "-"},
      {"[^а]", 1, "аб", "б"},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(FirstMatch(c.pattern, c.caseSensitive, c.subject), c.match) << c.pattern;
}

TEST(Utf8Pattern, InvalidUtf8SubjectsAreSearchedNotRejected) {
  TextModelScope utf8(true);
  const std::string binary = std::string("\xFF\xFE\x00\x80", 4) + "дом" + "\xC0\xAF\xED\xA0\x80";
  const MatchCase cases[] = {
      {"дом", 1, binary, "дом"},
      {"ДОМ", 0, binary, "дом"},
      {".", 1, "\xFF\xFE", "-"},
      {"[^x]", 1, "\x80", "-"},
      {"\\bдом\\b", 1, "\xFF" "дом" "\xFF", "дом"},
      {"a.b", 1, "a\xFF" "b", "-"},  // an invalid byte is no character
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(FirstMatch(c.pattern, c.caseSensitive, c.subject), c.match) << c.pattern;
  // A start offset inside a character is no error: the search goes on at the next one.
  EXPECT_EQ(FirstMatch("\\w", 1, "дж", 1), "ж");
}

TEST(Utf8Pattern, AnInvalidPatternTextIsAnErrorWithAMessage) {
  TextModelScope utf8(true);
  recorder::Host host;
  CompiledPattern* pattern = nullptr;
  EXPECT_EQ(CompilePattern(&pattern, "a\xFF", 0), 0);
  EXPECT_EQ(pattern, nullptr);
  ASSERT_EQ(recorder::Shown().size(), 1u);
  EXPECT_NE(recorder::Shown()[0].items.at(1).find("UTF-8"), std::string::npos);
}

TEST(Utf8Pattern, TheCaretCountsCharactersBeforeTheError) {
  TextModelScope utf8(true);
  recorder::Host host;
  CompiledPattern* pattern = nullptr;
  EXPECT_EQ(CompilePattern(&pattern, "дом(", 1), 0);
  ASSERT_EQ(recorder::Shown().size(), 1u);
  EXPECT_EQ(recorder::Shown()[0].items.at(4), "    ^");
}

TEST(Utf8Pattern, EmptyMatchesStepByWholeCharacters) {
  TextModelScope utf8(true);
  Compiled c("x*", 1);
  ASSERT_TRUE(c.ok);
  const std::string subject = "д日";
  std::vector<int> starts;
  int options = 0;
  for (std::size_t at = 0;;) {
    int ovector[2];
    if (MatchPattern(c.pattern, subject.data(), subject.size(), at, options, ovector, 1) < 0) break;
    starts.push_back(ovector[0]);
    at = static_cast<std::size_t>(ovector[1]);
    options = kMatchNotEmptyAtStart;  // as the replace does after an empty match
  }
  EXPECT_EQ(starts, (std::vector<int>{0, 2, 5}));
}

// The first and last required bytes must never make a scanner skip a line that matches.
TEST(Utf8Pattern, RequiredBytesNeverDropCaselessMatches) {
  TextModelScope utf8(true);
  struct Case {
    const char* pattern;
    int caseSensitive;
    std::string subject;  // a subject that matches
  } cases[] = {
      {"дом", 0, "ДОМ"},       {"рот", 0, "РОТ"},       {"xдом", 0, "XДОМ"},
      {"домx", 0, "ДОМX"},     {"(?-i)дом", 0, "дом"},  {"é", 0, "É"},
      {"ǆ", 0, "ǅ"},           {"k", 0, "\xE2\x84\xAA"}, // the Kelvin sign
      {"(?i)ж", 1, "Ж"},       {"s", 0, "\xC5\xBF"},    // the long s
  };
  for (const Case& c : cases) {
    Compiled compiled(c.pattern, c.caseSensitive);
    ASSERT_TRUE(compiled.ok) << c.pattern;
    ASSERT_GE(MatchPattern(compiled.pattern, c.subject.data(), c.subject.size(), 0, 0, nullptr, 0), 0)
        << c.pattern;
    RequiredByte bytes[2];
    const int count = GetRequiredBytes(compiled.pattern, bytes);
    for (int i = 0; i < count; ++i) {
      const unsigned char v = bytes[i].value;
      const bool present =
          c.subject.find(static_cast<char>(v)) != std::string::npos ||
          (bytes[i].eitherCase && c.subject.find(static_cast<char>(v ^ 0x20)) != std::string::npos);
      EXPECT_TRUE(present) << c.pattern << " requires byte " << int(v);
    }
  }
}

TEST(Utf8Pattern, CaseSensitivePatternsStillOfferTheirBytes) {
  TextModelScope utf8(true);
  Compiled c("дом", 1);
  RequiredByte bytes[2];
  ASSERT_EQ(GetRequiredBytes(c.pattern, bytes), 2);
  EXPECT_EQ(bytes[0].value, 0xD0);
  EXPECT_FALSE(bytes[0].eitherCase);
  EXPECT_EQ(bytes[1].value, 0xBC);  // the last byte of "м"
}

// A subject that begins the reach before the start offset finds what the whole one does.
TEST(Utf8Pattern, LookbehindReachCoversMultibyteCharacters) {
  TextModelScope utf8(true);
  const struct {
    const char* pattern;
    std::string before;
  } cases[] = {
      {"(?<=\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E)x", "\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E"},
      {"(?<=日本語)x", "日本語"},
      {"(?<=\\bдом)x", " дом"},
      {"(?<=(?<=ж)дом)x", "ждом"},
  };
  for (const auto& c : cases) {
    Compiled compiled(c.pattern, 1);
    ASSERT_TRUE(compiled.ok) << c.pattern;
    const std::string subject = std::string(40, '.') + c.before + "x";
    const std::size_t offset = subject.size() - 1;
    const std::size_t reach = PatternLookbehindReach(compiled.pattern);
    ASSERT_LE(reach, offset) << c.pattern;
    const std::string cut = subject.substr(offset - reach);
    EXPECT_GE(MatchPattern(compiled.pattern, cut.data(), cut.size(), reach, kMatchNotBol, nullptr, 0), 0)
        << c.pattern << " with reach " << reach;
  }
}

TEST(Utf8Pattern, FindPatternMatchGivesByteOffsets) {
  TextModelScope utf8(true);
  Compiled c("ж+", 1);
  std::size_t start = 0;
  std::size_t end = 0;
  const std::string subject = "аб жж";
  EXPECT_EQ(FindPatternMatch(c.pattern, subject.data(), subject.size(), 0, 0, &start, &end), 1);
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(end, 9u);
  EXPECT_EQ(FindPatternMatch(c.pattern, subject.data(), subject.size(), 9, 0, &start, &end), 0);
}

// The OEM model keeps the byte semantics: only A-Z fold, every byte is a character.
TEST(OemPattern, UnchangedByTheUtf8Model) {
  TextModelScope oem(false);
  const MatchCase cases[] = {
      {"дом", 0, "ДОМ", "-"},
      {"^.$", 1, "д", "-"},
      {"^..$", 1, "д", "д"},
      {"\\w", 1, "д", "-"},
      {"abc", 0, "ABC", "ABC"},
      {".", 1, "\xFF", "\xFF"},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(FirstMatch(c.pattern, c.caseSensitive, c.subject), c.match) << c.pattern;
  recorder::Host host;
  CompiledPattern* pattern = nullptr;
  EXPECT_EQ(CompilePattern(&pattern, "дом(", 1), 0);
  ASSERT_EQ(recorder::Shown().size(), 1u);
  EXPECT_EQ(recorder::Shown()[0].items.at(4), "       ^");  // bytes
  // A lookbehind counts bytes here, characters of up to four bytes in UTF-8.
  Compiled lookbehind("(?<=日本)x", 1);
  EXPECT_EQ(PatternLookbehindReach(lookbehind.pattern), 6u + 2);
  TextModelScope utf8(true);
  Compiled inUtf8("(?<=日本)x", 1);
  EXPECT_EQ(PatternLookbehindReach(inUtf8.pattern), (2u + 2) * 4);
}

}  // namespace
