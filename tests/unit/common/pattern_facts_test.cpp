#include "common/pattern_facts.h"

#include <gtest/gtest.h>

#include <string>

#include "common/pattern.h"
#include "unit/common/message_recorder.h"
#include "unit/text_model_scope.h"

namespace {

TEST(PatternFacts, OnlyPatternsThatCannotTakeInAnLfStayInOneLine) {
  const char* inLine[] = {
      "ab",         "Quarix[A-Z][a-z]+Token\\(\\d+\\)", "^a.*b$",  "\\bword\\b", "(?i)x\\S+",
      "a(?=b)",     "(?<!a)b",  "[\\]\\-a-z_]+",     "x{2,3}",    "\\h+\\V",     "a\tb",
      "(?:ab|cd)?", "(?-i:A)",  "\xc3\xa9t\xc3\xa9",
  };
  const char* notInLine[] = {
      "",       "a\\sb",   "a\\nb",  "a\nb",     "a\rb",      "[^a]",     "[\\s]",  "[[:space:]]",
      "a\\Rb",  "\\D",     "\\W",    "\\H",       "\\v",        "\\x0a",    "\\012",  "\\cJ",
      "\\N{U+000A}", "\\p{Cc}", "\\X", "\\C",   "(?s).",      "(?x)a b",  "(*CRLF)a", "(*ANY)a",
      "a\\z",   "a\\Z",    "\\Aa",   "\\Ga",      "(a)\\1",     "(?<n>a)",  "(?|a)",    "(?#c)a",
      "\\Qa\\E", "[\\t-z]", "[\\x00-z]", "a\\",   "[ab",        "(?m)a",    "\\Ka",
  };
  for (const char* text : inLine) EXPECT_TRUE(IsPatternConfinedToLine(text)) << text;
  for (const char* text : notInLine) EXPECT_FALSE(IsPatternConfinedToLine(text)) << text;
}

TEST(PatternFacts, TheLeadingTextIsWhatEveryMatchStartsWith) {
  const struct {
    const char* pattern;
    bool caseless;
    const char* text;
  } cases[] = {
      {"zebra\\s+cross", false, "zebra"},
      {"^needle_\\w+", false, "needle_"},
      {"Quarix[A-Z]", false, "Quarix"},
      {"a\\.b\\(c", false, "a.b(c"},
      {"abc?", false, "ab"},        // the c may be left out
      {"abc*", false, "ab"},
      {"abc{0,2}", false, "ab"},
      {"abc+", false, "abc"},       // at least one c
      {"ab\\.?", false, "ab"},
      {"a", false, ""},             // too short to help
      {"ab?", false, ""},
      {"ab|cd", false, ""},         // either may match
      {"x(a|b)yz", false, ""},
      {"(?i)abc", false, ""},
      {"(ab)c", false, ""},
      {"[ab]cd", false, ""},
      {".abc", false, ""},
      {"\\babc", false, ""},
      {"\\Qabc\\E", false, ""},
      {"ab\\dcd", false, "ab"},
      {"risk", true, "ri"},         // caseless k and s also match the Kelvin sign, long s
      {"risk", false, "risk"},
      {"bus stop", true, "bu"},
      {"ABC", true, "ABC"},
      {"\xc3\xa9t\xc3\xa9x", false, ""},  // beyond ASCII
      {"ab\xc3\xa9", false, "ab"},
      {"a\tb", false, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindLeadingText(c.pattern, c.caseless), c.text) << c.pattern << " " << c.caseless;
}

// The leading text is compared in ASCII case only: that holds for caseless patterns in the
// UTF-8 model as long as no ASCII letter but k and s has a case partner beyond ASCII.
TEST(PatternFacts, OnlyKAndSHaveCasePartnersBeyondAscii) {
  TextModelScope utf8(true);
  recorder::Host host;
  std::string beyondAscii;
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    char bytes[4];
    const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    const unsigned lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (int i = n - 1; i > 0; --i)
      bytes[i] = static_cast<char>(0x80 | ((c >> (6 * (n - 1 - i))) & 0x3F));
    bytes[0] = static_cast<char>(lead[n] | (c >> (6 * (n - 1))));
    beyondAscii.append(bytes, static_cast<std::size_t>(n));
  }
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    CompiledPattern* pattern = nullptr;
    const char text[] = {letter, 0};
    ASSERT_EQ(CompilePattern(&pattern, text, 0), 1);
    std::size_t start = 0, end = 0;
    const int found =
        FindPatternMatch(pattern, beyondAscii.data(), beyondAscii.size(), 0, 0, &start, &end);
    EXPECT_EQ(found, letter == 'k' || letter == 's' ? 1 : 0) << letter;
    ReleasePattern(&pattern);
  }
}

}  // namespace
