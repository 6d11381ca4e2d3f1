#include "filesearch/line_modes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/pattern.h"
#include "unit/common/message_recorder.h"
#include "unit/filesearch/search_run_fixture.h"

namespace {

const unsigned char* Data(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// Splits with FindLineEnd and SkipLineEnd: each line's text and its line end.
std::vector<std::pair<std::string, std::string>> SplitLines(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> lines;
  const unsigned char* cursor = Data(text);
  std::size_t remaining = text.size();
  while (remaining > 0) {
    const unsigned char* start = cursor;
    FindLineEnd(&cursor, &remaining);
    const unsigned char* end = cursor;
    SkipLineEnd(&cursor, &remaining);
    lines.emplace_back(std::string(start, end), std::string(end, cursor));
  }
  return lines;
}

TEST(LineRule, LineEndsAreCrLfOrCrLfPairs) {
  using Lines = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(SplitLines("a\rb"), (Lines{{"a", "\r"}, {"b", ""}}));
  EXPECT_EQ(SplitLines("a\nb"), (Lines{{"a", "\n"}, {"b", ""}}));
  EXPECT_EQ(SplitLines("a\r\nb"), (Lines{{"a", "\r\n"}, {"b", ""}}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{{"a", "\n"}, {"", "\r"}, {"b", ""}}));
  EXPECT_EQ(SplitLines("a\r\r\nb"), (Lines{{"a", "\r"}, {"", "\r\n"}, {"b", ""}}));
  EXPECT_EQ(SplitLines("a\n"), (Lines{{"a", "\n"}}));
  EXPECT_EQ(SplitLines("\n\n"), (Lines{{"", "\n"}, {"", "\n"}}));
}

std::vector<std::string> Windows;

// Each window, marked "|" when it ends where the range ends.
int RecordWindow(MatchContext&, const unsigned char* bytes, std::size_t count, bool endsRange) {
  Windows.emplace_back(reinterpret_cast<const char*>(bytes), count);
  if (endsRange) Windows.back() += '|';
  return 0;
}

std::vector<std::string> WindowsOf(const std::string& text, int lines) {
  Windows.clear();
  TestRun test(MakeSettings("", 3, 1));
  EXPECT_EQ(TestLineWindows(test.context, Data(text), text.size(), lines, RecordWindow), 0);
  return Windows;
}

TEST(LineWindows, EveryRunOfLinesThenTheLastWindowShrinking) {
  using W = std::vector<std::string>;
  const std::string four = "1\n2\n3\n4\n";
  EXPECT_EQ(WindowsOf(four, 1), (W{"1\n", "2\n", "3\n", "4\n|"}));
  EXPECT_EQ(WindowsOf(four, 3), (W{"1\n2\n3\n", "2\n3\n4\n|", "3\n4\n|", "4\n|"}));
  EXPECT_EQ(WindowsOf(four, 5), (W{"1\n2\n3\n4\n|", "2\n3\n4\n|", "3\n4\n|", "4\n|"}));
  const std::string mixed = "1\r\n2\r3\n\r5";
  EXPECT_EQ(WindowsOf(mixed, 1), (W{"1\r\n", "2\r", "3\n", "\r", "5|"}));
  EXPECT_EQ(WindowsOf(mixed, 3), (W{"1\r\n2\r3\n", "2\r3\n\r", "3\n\r5|", "\r5|", "5|"}));
  EXPECT_EQ(WindowsOf(mixed, 5),
            (W{"1\r\n2\r3\n\r5|", "2\r3\n\r5|", "3\n\r5|", "\r5|", "5|"}));
  EXPECT_EQ(WindowsOf("", 3), W{});
  EXPECT_EQ(WindowsOf("x", 0), W{"x|"});  // a height below 1 counts as 1
}

// The pattern of one test in its runs; the references match with it.
const CompiledPattern* SearchPattern = nullptr;
struct SearchPatternScope : PatternRuns {
  SearchPatternScope(const char* text, int caseSensitive) : PatternRuns(text, caseSensitive) {
    SearchPattern = Pattern();
    ok = SearchPattern != nullptr;
  }
  ~SearchPatternScope() { SearchPattern = nullptr; }
  bool ok = false;
};

TEST(PatternModes, LinesNeverShowTheirLineEnds) {
  recorder::Host host;
  struct Case {
    const char* pattern;
    std::string text;
    int lines, whole, windowsOf2;
  } const cases[] = {
      {"^$", "a\n\rb", 1, 0, 0},   // LF CR holds an empty line; $ only sees LF
      {"^$", "a\r\nb", 0, 0, 0},
      {"^$", "a\n", 0, 0, 0},      // no empty line after a final line end
      {"^$", "a\n\n", 1, 1, 1},
      {"a\\nb", "a\nb", 0, 1, 1},
      {"a\\r?$", "a\r\nb", 1, 1, 1},
      {"a$", "a\r\nb", 1, 0, 0},    // the CR stands before the end of the line
      {"\\n", "a\nb", 0, 1, 1},
      {"^b", "a\nb", 1, 1, 1},
      {"b\\s+c", "b\n\nc", 0, 1, 0},  // three lines: no window of two holds both
      // A window's end inside the file is no line end: "$" matches only where the file's
      // own lines end, as over the whole file.
      {"b\\n$", "a\nb\nc\n", 0, 0, 0},
      {"c\\n$", "a\nb\nc\n", 0, 1, 1},
  };
  for (const Case& c : cases) {
    SearchPatternScope scope(c.pattern, 1);
    ASSERT_TRUE(scope.ok) << c.pattern;
    MatchContext& context = scope.Context(2);
    const auto* bytes = Data(c.text);
    EXPECT_EQ(MatchLines(context, bytes, c.text.size()), c.lines) << c.pattern;
    EXPECT_EQ(MatchWholeFile(context, bytes, c.text.size()), c.whole) << c.pattern;
    EXPECT_EQ(MatchSeveralLines(context, bytes, c.text.size()), c.windowsOf2) << c.pattern;
  }
}

// Mode 1 as the rule says it, with a line split of its own.
int ReferenceLines(const std::vector<unsigned char>& bytes) {
  std::size_t start = 0;
  do {
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const char* subject = reinterpret_cast<const char*>(bytes.data()) + start;
    if (MatchPattern(SearchPattern, subject, end - start, 0, 0, nullptr, 0) >= 0) return 1;
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  } while (start < bytes.size());
  return 0;
}

TEST(PatternModes, LineByLineAgreesWithTheRuleOnRandomInputs) {
  recorder::Host host;
  const char* patterns[] = {
      "ab",     "a.b",      "^a",        "b$",         "^$",        "a\\x00",   "\\x00",
      "^",      "c+a?",     "[ab]c",     "a|b",        "(?i)ab",    "A",        "b\\s*a",
      "\\r",    "\\n",      "a\\nb",     "^A*$",       "(?-i)aB",   "x",        "a{2}",
      "\\bab\\b", "c(?=a)", "(?<=a)b",   "^ *c",       "B.*A$",     "\\Ac",     "a\\z",
      "[^ab]{3}", "ba?c",   "(?i:c)A",   "\\x00\\x00",
      // Patterns whose matches start with a text of their own: only lines holding it count.
      "abc",      "aba",    "ab c",      "bA+",      "ab\\b",     "cC*",      "aab?",
      "ab(?<=cab)", "ab(?<!bab)", "ab\\nc",  "bc$",
  };
  std::mt19937 random(314159);
  const unsigned char alphabet[] = {'a', 'b', 'A', 'B', 'c', 'C', ' ', '\r', '\n', 0};
  int matches = 0;
  int rounds = 0;
  for (const char* pattern : patterns) {
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive) {
      SearchPatternScope scope(pattern, caseSensitive);
      ASSERT_TRUE(scope.ok) << pattern;
      for (int round = 0; round < 400; ++round, ++rounds) {
        std::vector<unsigned char> bytes(random() % 48);
        for (auto& b : bytes) b = alphabet[random() % sizeof(alphabet)];
        const int expected = ReferenceLines(bytes);
        matches += expected;
        ASSERT_EQ(MatchLines(scope.Context(), bytes.data(), bytes.size()), expected)
            << "pattern " << pattern << " case " << caseSensitive << " round " << round;
        const int whole = MatchPattern(SearchPattern, reinterpret_cast<const char*>(bytes.data()),
                                       bytes.size(), 0, 0, nullptr, 0) >= 0;
        ASSERT_EQ(MatchWholeFile(scope.Context(), bytes.data(), bytes.size()), whole)
            << "pattern " << pattern << " case " << caseSensitive << " round " << round;
      }
    }
  }
  EXPECT_GT(matches, rounds / 5);
  EXPECT_LT(matches, rounds * 4 / 5);
}

// Mode 3 as the rule says it, with a line split of its own: every run of n lines, then the
// last window shrinking from the front; a window that stops short of the range's end is
// no line's end for "$".
int ReferenceWindows(const std::vector<unsigned char>& bytes, int n) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < bytes.size();) {
    starts.push_back(at);
    while (at < bytes.size() && bytes[at] != '\r' && bytes[at] != '\n') ++at;
    if (at < bytes.size() && bytes[at] == '\r') ++at;
    if (at < bytes.size() && bytes[at] == '\n') ++at;
  }
  const int lines = static_cast<int>(starts.size());
  auto endOf = [&](int line) { return line < lines ? starts[line] : bytes.size(); };
  auto test = [&](int first, int last) {
    const char* subject = reinterpret_cast<const char*>(bytes.data()) + starts[first];
    const std::size_t end = endOf(last);
    const int options = end == bytes.size() ? 0 : kMatchNotEol;
    return MatchPattern(SearchPattern, subject, end - starts[first], 0, options, nullptr, 0) >= 0;
  };
  for (int first = 0; first + n <= lines; ++first)
    if (test(first, first + n)) return 1;
  for (int first = lines >= n ? lines - n + 1 : 0; first < lines; ++first)
    if (test(first, lines)) return 1;
  return 0;
}

// Windows that lack a byte every match needs are skipped: the answers stay the rule's.
TEST(PatternModes, WindowsOfLinesAgreeWithTheRuleOnRandomInputs) {
  recorder::Host host;
  const char* patterns[] = {
      "ab",      "a.b",     "^a",      "b$",       "a\\s+b", "c\\nA",  "(?i)ab",  "A",
      "b\\s*a", "\\r",   "\\n",   "a\\nb",  "^A*$",    "(?-i)aB",  "c(?=a)", "(?<=a)b",
      "B.*A$",   "\\Ac",  "a\\z",  "b(?!\\n)", "^c\\r?$", "a[^x]{4}c", "(?s)a.*c",
      // Patterns that stay in one line, answered line by line where lines end with LFs.
      "^b",      "a$",      "^$",      "\\bab",    "(?<!a)b", "(?<=b)a",  "a[ -~]b", "[\\]ab]c",
      "x*",      "\\Bb",    "(?i)A\\w", "a(?=b|$)", "\\S+$",   "^\\V{2}$", "c\\h",  "c.{0,3}a",
      "(?<!.)a", "b(?!.)",  "^(?:ab|c)+$", "(?<!a)$", "\\B$",   "$",      "(?<=b)$",
  };
  std::mt19937 random(271828);
  const unsigned char alphabet[] = {'a', 'b', 'A', 'B', 'c', 'C', ' ', '\n', 'x', '\r'};
  int matches = 0;
  int rounds = 0;
  for (const char* pattern : patterns) {
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive) {
      SearchPatternScope scope(pattern, caseSensitive);
      ASSERT_TRUE(scope.ok) << pattern;
      for (int round = 0; round < 300; ++round, ++rounds) {
        std::vector<unsigned char> bytes(random() % 40);
        // Every other input has LFs alone for line ends.
        const std::size_t letters = sizeof(alphabet) - round % 2;
        for (auto& b : bytes) b = alphabet[random() % letters];
        const int severalLines = 1 + static_cast<int>(random() % 4);
        const int expected = ReferenceWindows(bytes, severalLines);
        matches += expected;
        ASSERT_EQ(MatchSeveralLines(scope.Context(severalLines), bytes.data(), bytes.size()),
                  expected)
            << "pattern " << pattern << " case " << caseSensitive << " lines " << severalLines
            << " round " << round;
      }
    }
  }
  EXPECT_GT(matches, rounds / 5);
  EXPECT_LT(matches, rounds * 4 / 5);
}

}  // namespace
