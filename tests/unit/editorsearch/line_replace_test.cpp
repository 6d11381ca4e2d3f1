#include "editorsearch/line_replace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/pattern.h"
#include "common/template.h"
#include "unit/text_model_scope.h"

namespace {

struct Compiled {
  explicit Compiled(const char* text) { CompilePattern(&pattern, text, 1); }
  ~Compiled() { ReleasePattern(&pattern); }
  CompiledPattern* pattern = nullptr;
};

LineSearch PatternSearch(const CompiledPattern* pattern, bool reverse) {
  LineSearch search;
  search.regex = true;
  search.caseSensitive = true;
  search.reverse = reverse;
  search.pattern = pattern;
  return search;
}

// The run as it goes one match at a time: each search in the line as it then stands, the
// line rebuilt whole after every replacement.
LineReplacement ReplaceOneAtATime(const LineSearch& search, std::string line, int start,
                                  const char* templateText, const char* eol) {
  LineReplacement result;
  for (int at = start;;) {
    EditorGetString get{0, line.data(), eol, static_cast<int>(line.size()), -1, -1};
    LineHit hit;
    if (!LineRegion(search, get, at, true, &hit)) break;
    const std::string replacement = ExpandTemplate(
        line.data(), hit.pairs ? hit.ovector.data() : nullptr, hit.pairs, templateText, eol);
    line = line.substr(0, static_cast<std::size_t>(hit.start)) + replacement +
           line.substr(static_cast<std::size_t>(hit.start + hit.length));
    const int next = search.reverse ? hit.start : hit.start + static_cast<int>(replacement.size());
    result.position = next;
    ++result.replaced;
    if (hit.length > 0) {
      at = next;
    } else {
      at = search.reverse ? next - 1 : next + 1;
      if (at < 0) break;
    }
  }
  result.text = line;
  return result;
}

void ExpectSameAsOneAtATime(const char* pattern, bool reverse, const std::string& line, int start,
                            const char* templateText) {
  Compiled compiled(pattern);
  ASSERT_NE(compiled.pattern, nullptr) << pattern;
  const LineSearch search = PatternSearch(compiled.pattern, reverse);
  const LineReplacement expected = ReplaceOneAtATime(search, line, start, templateText, "\n");
  const LineReplacement got = ReplaceAllInLine(search, line, start, templateText, "\n",
                                               PatternLookbehindReach(compiled.pattern), nullptr);
  const std::string where = std::string(pattern) + (reverse ? " backward" : "") + " on \"" + line +
                            "\" from " + std::to_string(start) + " with " + templateText;
  EXPECT_EQ(got.text, expected.text) << where;
  EXPECT_EQ(got.replaced, expected.replaced) << where;
  EXPECT_EQ(got.position, expected.position) << where;
  EXPECT_FALSE(got.stopped) << where;
}

// Each forward case would come out differently if the search went on in the old line:
// what the pattern reads before the position was written by an earlier replacement.
TEST(ReplaceAllInLine, ForwardSeesTheTextItInserted) {
  struct Case {
    const char* pattern;
    const char* line;
    const char* with;
    const char* expected;
  } cases[] = {
      {"(?<=b)a", "baaa", "b", "bbbb"},          // lookbehind on the inserted text
      {"^[a-z]", "abc", "X\\n", "X\nX\nX\n"},    // a line start after an inserted line feed
      {"\\bx", "xxx", "x ", "x x x "},           // a word boundary after an inserted space
      {"(?<=(.))a", "aaa", "[$1]", "a[a][]]"},   // a group inside the lookbehind
      {"(?<=(?<!c)b)a", "babab", "c", "bcbab"},  // nested lookbehinds
  };
  // A pattern that reads further back than the room first kept in front of the line.
  const std::string x300(300, 'x');
  const std::string farBack = "(?<=x{300})b|^b";
  Compiled compiled(farBack.c_str());
  const LineReplacement got =
      ReplaceAllInLine(PatternSearch(compiled.pattern, false), "bbb", -1, x300.c_str(), "\n",
                       PatternLookbehindReach(compiled.pattern), nullptr);
  EXPECT_EQ(got.text, x300 + x300 + x300);
  ExpectSameAsOneAtATime(farBack.c_str(), false, "bbbab", -1, x300.c_str());
  for (const Case& c : cases) {
    Compiled compiled(c.pattern);
    const LineReplacement got =
        ReplaceAllInLine(PatternSearch(compiled.pattern, false), c.line, -1, c.with, "\n",
                         PatternLookbehindReach(compiled.pattern), nullptr);
    EXPECT_EQ(got.text, c.expected) << c.pattern;
    ExpectSameAsOneAtATime(c.pattern, false, c.line, -1, c.with);
  }
}

TEST(ReplaceAllInLine, PlainTextBothWays) {
  LineSearch search;
  search.text = "ab";
  search.textLength = 2;
  LineReplacement got = ReplaceAllInLine(search, "xabab ab", 2, "<>", "", 0, nullptr);
  EXPECT_EQ(got.text, "xab<> <>");
  EXPECT_EQ(got.replaced, 2);
  EXPECT_EQ(got.position, 8);
  search.reverse = true;
  got = ReplaceAllInLine(search, "abab ab", 5, "<$0>", "", 0, nullptr);
  EXPECT_EQ(got.text, "<$0><$0> ab");  // no groups in plain text
  EXPECT_EQ(got.position, 0);
}

// Random lines, patterns and templates: the one-pass line equals the line rebuilt after
// every replacement, in both directions and from any start.
TEST(ReplaceAllInLine, AgreesWithOneAtATime) {
  const char* patterns[] = {
      "a",          "a*",     "x*",      "$",         "^",         "^a|b$",
      "\\b",        "\\Ba",   "(?<=a)b", "(?<!a)b",   "(?<=ab;)a", "(a)(b)?",
      "(?<=(a|b))", "a(?=b)", "\\G.",    "(?<=\\n)a", "[ab]{2,}",  "(?<=(?<=a)b)a",
      "b|",         ";"};
  const char* templates[] = {"", "-", "$1$1", "\\n", "ab", "b;a", "$0$0", "a\\nb"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) line += "ab;\n"[random() % 4];
    const char* pattern = patterns[random() % std::size(patterns)];
    const char* with = templates[random() % std::size(templates)];
    const bool reverse = random() % 2 == 0;
    const int start = static_cast<int>(random() % 15) - 1;
    ExpectSameAsOneAtATime(pattern, reverse, line, start, with);
    if (HasFailure()) return;
  }
}

int g_stopAfter = 0;
bool StopAfterCount() { return g_stopAfter-- <= 0; }

TEST(ReplaceAllInLine, StopKeepsWhatWasDone) {
  LineSearch search;
  search.text = "a";
  search.textLength = 1;
  for (bool reverse : {false, true}) {
    search.reverse = reverse;
    g_stopAfter = 2;
    const LineReplacement got =
        ReplaceAllInLine(search, "a-a-a-a", -1, "bb", "", 0, StopAfterCount);
    EXPECT_TRUE(got.stopped);
    EXPECT_EQ(got.replaced, 2);
    EXPECT_EQ(got.text, reverse ? "a-a-bb-bb" : "bb-bb-a-a");
    EXPECT_EQ(got.position, reverse ? 4 : 5);
  }
}

// In the UTF-8 text model an empty match is stepped over by a whole character, forward
// and backward, and lookbehinds reach back over multibyte characters.
TEST(ReplaceAllInLine, Utf8StepsAndLooksBackByCharacters) {
  TextModelScope utf8(true);
  const struct {
    const char* pattern;
    bool reverse;
    std::string line;
    const char* with;
    std::string expected;
  } cases[] = {
      // No empty match at a region's end forward, nor before its start backward.
      {"x*", false, "дом", "-", "-д-о-м"},
      {"x*$", true, "дом", "-", "д-о-м-"},
      {"x*", false, "日\xFF" "a", "-", "-日-\xFF-a"},
      {"(?<=日)a", false, "日aaa", "日", "日日日日"},  // a lookbehind on inserted text
      {"(?<=\\w)\\b", false, "жук жук", "!", "жук! жук!"},
      {"(\\w+)", false, "жук и éte", "\\U$1", "ЖУК И ÉTE"},
      {"(?i)ЖУК", false, "жук Жук", "б", "б б"},
  };
  for (const auto& c : cases) {
    Compiled compiled(c.pattern);
    ASSERT_NE(compiled.pattern, nullptr) << c.pattern;
    const LineReplacement got =
        ReplaceAllInLine(PatternSearch(compiled.pattern, c.reverse), c.line, -1, c.with, "\n",
                         PatternLookbehindReach(compiled.pattern), nullptr);
    EXPECT_EQ(got.text, c.expected) << c.pattern << (c.reverse ? " backward" : "");
  }
}

TEST(ReplaceAllInLine, Utf8PlainCaselessText) {
  TextModelScope utf8(true);
  LineSearch search;
  search.text = "дом";
  search.textLength = std::strlen(search.text);
  LineReplacement got = ReplaceAllInLine(search, "Дом, ДОМ", -1, "ум", "", 0, nullptr);
  EXPECT_EQ(got.text, "ум, ум");
  EXPECT_EQ(got.replaced, 2);
  search.reverse = true;
  got = ReplaceAllInLine(search, "Дом, ДОМ", -1, "ум", "", 0, nullptr);
  EXPECT_EQ(got.text, "ум, ум");
  EXPECT_EQ(got.position, 0);
}

}  // namespace
