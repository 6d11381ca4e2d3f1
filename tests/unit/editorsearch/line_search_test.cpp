#include "editorsearch/line_search.h"

#include <gtest/gtest.h>

#include <string>

#include "common/pattern.h"
#include "unit/text_model_scope.h"

namespace {

LineSearch Plain(const std::string& text, bool reverse = false, bool caseSensitive = false) {
  static std::string keep;
  keep = text;
  LineSearch search;
  search.text = keep.c_str();
  search.textLength = keep.size();
  search.reverse = reverse;
  search.caseSensitive = caseSensitive;
  return search;
}

struct Found {
  bool found;
  int start;
  int length;
};

Found Find(const LineSearch& search, const std::string& line, int from, int count) {
  LineHit hit;
  bool found = FindInLine(search, line.data(), from, count, false, &hit);
  return {found, found ? hit.start : -1, found ? hit.length : -1};
}

Found Region(const LineSearch& search, const std::string& line, int start, int selStart = -1,
             int selEnd = -1) {
  EditorGetString get{0, line.data(), "\n", static_cast<int>(line.size()), selStart, selEnd};
  LineHit hit;
  bool found = LineRegion(search, get, start, false, &hit);
  return {found, found ? hit.start : -1, found ? hit.length : -1};
}

void ExpectFound(const Found& found, int start, int length) {
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.start, start);
  EXPECT_EQ(found.length, length);
}

TEST(FindInLine, PlainForwardTakesTheFirstAndBackwardTheLast) {
  const std::string line = "ab ab ab";
  ExpectFound(Find(Plain("ab"), line, 1, 7), 3, 2);
  ExpectFound(Find(Plain("ab", true), line, 0, 7), 3, 2);  // the last one ends at 8
  ExpectFound(Find(Plain("ab", true), line, 0, 8), 6, 2);
  EXPECT_FALSE(Find(Plain("ab"), line, 7, 1).found);  // shorter than the text
  EXPECT_FALSE(Find(Plain("ab"), line, 0, 0).found);
}

TEST(FindInLine, PlainCaseFoldsOnlyAsciiLetters) {
  ExpectFound(Find(Plain("word"), "a WORD", 0, 6), 2, 4);
  EXPECT_FALSE(Find(Plain("word", false, true), "a WORD", 0, 6).found);
  // Code page 866: 0x80 is the capital of 0xA0; plain mode does not fold it.
  EXPECT_FALSE(Find(Plain("\xA0"), "\x80", 0, 1).found);
  ExpectFound(Find(Plain("\xA0"), "x\xA0", 0, 2), 1, 1);
  // '@' and '`' differ from 'A'/'a' by the case bit, but are not letters.
  EXPECT_FALSE(Find(Plain("@"), "`", 0, 1).found);
}

TEST(FindInLine, Utf8PlainCaselessFoldsEveryScriptBothWays) {
  TextModelScope utf8(true);
  const std::string line = "Дом, ДОМ и дом";  // at bytes 0, 8 and 18
  const int length = static_cast<int>(line.size());
  ExpectFound(Find(Plain("дом"), line, 0, length), 0, 6);
  ExpectFound(Find(Plain("дом"), line, 1, length - 1), 8, 6);
  ExpectFound(Find(Plain("дом", true), line, 0, length), 18, 6);
  ExpectFound(Find(Plain("дом", true), line, 0, 18), 8, 6);  // must end before the cursor
  ExpectFound(Find(Plain("дом", true, true), line, 0, length), 18, 6);
  ExpectFound(Find(Plain("ДОМ", false, true), line, 0, length), 8, 6);
  ExpectFound(Find(Plain("日本"), "x日本", 0, 7), 1, 6);
  ExpectFound(Find(Plain("ÉTÉ", true), "été, Été", 0, 12), 7, 5);
  ExpectFound(Find(Plain("ÉTÉ", true), "été, Été", 0, 11), 0, 5);
  ExpectFound(Find(Plain("ſ"), "xs", 0, 2), 1, 1);  // a hit shorter than the text
  TextModelScope oem(false);
  ExpectFound(Find(Plain("дом"), line, 0, length), 18, 6);  // only the exact bytes
}

TEST(FindInLine, EmptyPlainTextFindsNothing) { EXPECT_FALSE(Find(Plain(""), "abc", 0, 3).found); }

TEST(FindInLine, PlainBytesIncludeZeros) {
  const std::string line("a\0b", 3);
  ExpectFound(Find(Plain(std::string("\0b", 2)), line, 0, 3), 1, 2);
}

TEST(LineRegion, ForwardFromTheStartBackwardBeforeIt) {
  const std::string line = "xx xx";
  ExpectFound(Region(Plain("xx"), line, 0), 0, 2);  // a match at the start position counts
  ExpectFound(Region(Plain("xx"), line, 1), 3, 2);
  ExpectFound(Region(Plain("xx", true), line, 4), 0, 2);  // must end at or before 4
  ExpectFound(Region(Plain("xx", true), line, 5), 3, 2);
  EXPECT_FALSE(Region(Plain("xx", true), line, 1).found);
}

TEST(LineRegion, StartBeyondTheEnd) {
  // Forward nothing is left; backward the whole line is searched.
  EXPECT_FALSE(Region(Plain("b"), "ab", 10).found);
  ExpectFound(Region(Plain("b", true), "ab", 10), 1, 1);
  ExpectFound(Region(Plain("a"), "ab", -1), 0, 1);
}

TEST(LineRegion, SelectionCutsTheRegion) {
  LineSearch search = Plain("ab");
  search.inSelection = true;
  const std::string line = "ab ab ab";
  EXPECT_FALSE(Region(search, line, -1, -1, -1).found);  // the line holds no selection
  ExpectFound(Region(search, line, -1, 1, -1), 3, 2);    // to the line's end
  EXPECT_FALSE(Region(search, line, -1, 1, 4).found);    // [1,4) holds no whole "ab"
  ExpectFound(Region(search, line, -1, 1, 5), 3, 2);
  ExpectFound(Region(search, line, 4, 0, -1), 6, 2);   // the start cuts it too
  ExpectFound(Region(search, line, -1, 4, 99), 6, 2);  // an end past the line is cut
}

class PatternLine : public ::testing::Test {
 protected:
  void TearDown() override { ReleasePattern(&pattern_); }
  LineSearch Compile(const char* text, bool reverse = false) {
    ReleasePattern(&pattern_);
    EXPECT_EQ(CompilePattern(&pattern_, text, 0), 1) << text;
    LineSearch search;
    search.regex = true;
    search.reverse = reverse;
    search.pattern = pattern_;
    return search;
  }
  CompiledPattern* pattern_ = nullptr;
};

TEST_F(PatternLine, CaretMatchesOnlyAtTheLineStart) {
  ExpectFound(Region(Compile("^a"), "aaa", 0), 0, 1);
  EXPECT_FALSE(Region(Compile("^a"), "aaa", 1).found);
  ExpectFound(Region(Compile("^b"), std::string("a\nb"), 1), 2, 1);  // after a line feed
}

TEST_F(PatternLine, BackwardSubjectEndsAtTheCursor) {
  ExpectFound(Region(Compile("b$", true), "abab", 2), 1, 1);
  // The engine goes forward: the leftmost match before the cursor.
  ExpectFound(Region(Compile("ab", true), "ababab", 6), 0, 2);
}

TEST_F(PatternLine, LookBehindSeesTheWholeLine) {
  ExpectFound(Region(Compile("(?<=x)y"), "xy", 1), 1, 1);
}

TEST_F(PatternLine, KeepHandsOverTheVector) {
  LineSearch search = Compile("(a)(z)?b");
  const std::string line = "xab";
  EditorGetString get{0, line.data(), "", 3, -1, -1};
  LineHit hit;
  ASSERT_TRUE(LineRegion(search, get, -1, true, &hit));
  EXPECT_EQ(hit.pairs, 3);
  ASSERT_EQ(hit.ovector.size(), 6u);
  EXPECT_EQ(hit.ovector[0], 1);
  EXPECT_EQ(hit.ovector[1], 3);
  EXPECT_EQ(hit.ovector[2], 1);
  EXPECT_EQ(hit.ovector[3], 2);
  EXPECT_EQ(hit.ovector[4], -1);
  ASSERT_TRUE(LineRegion(search, get, -1, false, &hit));
  EXPECT_EQ(hit.pairs, 0);
  EXPECT_TRUE(hit.ovector.empty());
}

TEST_F(PatternLine, EmptyRegionHasNoMatchAndNoPatternFindsNothing) {
  EXPECT_FALSE(Region(Compile("x*"), "abc", 3).found);
  LineSearch none;
  none.regex = true;
  EXPECT_FALSE(Region(none, "abc", -1).found);
}

}  // namespace
