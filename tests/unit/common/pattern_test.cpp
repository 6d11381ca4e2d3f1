#include "common/pattern.h"

#include <gtest/gtest.h>

#include <string>

#include "unit/common/message_recorder.h"

namespace {

// A compiled pattern that is released when the test ends.
struct Compiled {
  CompiledPattern* pattern = nullptr;
  ~Compiled() { ReleasePattern(&pattern); }
};

bool Matches(const char* text, int caseSensitive, const std::string& subject, int options = 0) {
  Compiled c;
  EXPECT_EQ(CompilePattern(&c.pattern, text, caseSensitive), 1) << text;
  return MatchPattern(c.pattern, subject.data(), subject.size(), 0, options, nullptr, 0) >= 0;
}

TEST(CompilePattern, EmptyTextCompilesNothingAndShowsNothing) {
  recorder::Host host;
  auto* marker = reinterpret_cast<CompiledPattern*>(&host);
  CompiledPattern* pattern = marker;
  EXPECT_EQ(CompilePattern(&pattern, "", 0), 1);
  EXPECT_EQ(pattern, marker);  // not touched
  EXPECT_TRUE(recorder::Shown().empty());
}

TEST(CompilePattern, SyntaxErrorShowsTheLibraryTextAndACaretAtTheOffset) {
  recorder::Host host;
  auto* marker = reinterpret_cast<CompiledPattern*>(&host);
  CompiledPattern* pattern = marker;
  EXPECT_EQ(CompilePattern(&pattern, "a(b", 1), 0);
  EXPECT_EQ(pattern, nullptr);
  ASSERT_EQ(recorder::Shown().size(), 1u);
  const recorder::ShownMessage& shown = recorder::Shown()[0];
  EXPECT_EQ(shown.flags, FMSG_WARNING);
  EXPECT_EQ(shown.helpTopic, "RegExpError");
  EXPECT_EQ(shown.buttons, 1);
  const std::vector<std::string> expected = {"RegExp error", "missing closing parenthesis",
                                             "\x01", "a(b", "   ^", "msg0"};
  EXPECT_EQ(shown.items, expected);
}

TEST(CompilePattern, CaretOfAHugeOffsetStaysWithinADialogLine) {
  recorder::Host host;
  const std::string text = std::string(5000, 'x') + "(";
  CompiledPattern* pattern = nullptr;
  EXPECT_EQ(CompilePattern(&pattern, text.c_str(), 1), 0);
  ASSERT_EQ(recorder::Shown().size(), 1u);
  const std::string& caret = recorder::Shown()[0].items.at(4);
  EXPECT_LT(caret.size(), 512u);
  EXPECT_EQ(caret.back(), '^');
  EXPECT_EQ(caret.find_first_not_of(' '), caret.size() - 1);
}

TEST(CompilePattern, CaselessFoldsAsciiLettersOnly) {
  EXPECT_TRUE(Matches("abc", 0, "xABCx"));
  EXPECT_FALSE(Matches("abc", 1, "xABCx"));
  // OEM capital and small letters (0x80 and 0xA0 in code page 866) are distinct bytes.
  EXPECT_FALSE(Matches("\x80", 0, "\xA0"));
  EXPECT_FALSE(Matches("\xA0", 0, "\x80"));
  EXPECT_TRUE(Matches("\x80", 0, "\x80"));
}

TEST(CompilePattern, AnchorsMatchAtEveryInnerLineStartAndEnd) {
  EXPECT_TRUE(Matches("^two$", 1, "one\ntwo\nthree"));
  EXPECT_TRUE(Matches("^three", 1, "one\ntwo\nthree"));
  // In a CR LF text the CR stands before the point where $ matches.
  EXPECT_FALSE(Matches("two$", 1, "one\r\ntwo\r\nthree"));
  EXPECT_TRUE(Matches("two\\r$", 1, "one\r\ntwo\r\nthree"));
}

TEST(MatchPattern, FillsOffsetPairsAndMarksUnsetGroups) {
  Compiled c;
  ASSERT_EQ(CompilePattern(&c.pattern, "(a)|(b)(c)?", 1), 1);
  EXPECT_EQ(PatternGroupCount(c.pattern), 3);
  int ov[8] = {7, 7, 7, 7, 7, 7, 7, 7};
  const std::string subject = "xxb";
  EXPECT_EQ(MatchPattern(c.pattern, subject.data(), subject.size(), 0, 0, ov, 4), 3);
  const int expected[8] = {2, 3, -1, -1, 2, 3, -1, -1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ov[i], expected[i]) << i;
  // A vector too small for the groups set: still a match, reported as 0.
  int small[2] = {7, 7};
  EXPECT_EQ(MatchPattern(c.pattern, subject.data(), subject.size(), 0, 0, small, 1), 0);
  EXPECT_EQ(small[0], 2);
  EXPECT_EQ(small[1], 3);
  EXPECT_LT(MatchPattern(c.pattern, "xyz", 3, 0, 0, ov, 4), 0);
}

TEST(MatchPattern, StartOffsetAndNotBol) {
  Compiled c;
  ASSERT_EQ(CompilePattern(&c.pattern, "^b", 1), 1);
  const std::string subject = "ab\nb";
  int ov[2];
  EXPECT_EQ(MatchPattern(c.pattern, subject.data(), subject.size(), 0, 0, ov, 1), 1);
  EXPECT_EQ(ov[0], 3);
  EXPECT_GE(MatchPattern(c.pattern, subject.data() + 3, 1, 0, 0, nullptr, 0), 0);
  EXPECT_LT(MatchPattern(c.pattern, subject.data() + 3, 1, 0, kMatchNotBol, nullptr, 0), 0);
  EXPECT_LT(MatchPattern(c.pattern, subject.data(), subject.size(), 9, 0, nullptr, 0), 0);
  EXPECT_LT(MatchPattern(nullptr, subject.data(), subject.size(), 0, 0, nullptr, 0), 0);
}

TEST(MatchPattern, DeepBacktrackingOverALongSubjectIsStillDecided) {
  // Alternation under a repeat keeps a frame per character; a hundred thousand of them exceed the
  // JIT's default stack, and the answer must not turn into "no match".
  Compiled c;
  ASSERT_EQ(CompilePattern(&c.pattern, "^(?:a|b)*c", 1), 1);
  std::string subject(100000, 'a');
  subject += 'c';
  EXPECT_GE(MatchPattern(c.pattern, subject.data(), subject.size(), 0, 0, nullptr, 0), 0);
}

TEST(MatchPattern, APatternThatTurnsTheJitOffStillMatches) {
  EXPECT_TRUE(Matches("(*NO_JIT)fo+", 1, "xfoo"));
  EXPECT_FALSE(Matches("(*NO_JIT)fo+", 1, "xf"));
}

TEST(MatchPattern, NotEolKeepsDollarOffTheSubjectsEndButNotOffItsLastLineBreak) {
  EXPECT_TRUE(Matches("a$", 1, "a"));
  EXPECT_FALSE(Matches("a$", 1, "a", kMatchNotEol));
  EXPECT_TRUE(Matches("a$", 1, "a\n", kMatchNotEol));
  EXPECT_FALSE(Matches("a\\n$", 1, "a\n", kMatchNotEol));
}

// The engine's answer for one subject: 1, 0, or minus the limit it gave up on.
int Answer(const char* text, const std::string& subject) {
  Compiled c;
  EXPECT_EQ(CompilePattern(&c.pattern, text, 1), 1) << text;
  return AnswerOfMatch(MatchPattern(c.pattern, subject.data(), subject.size(), 0, 0, nullptr, 0));
}

TEST(MatchPattern, AnEngineThatGivesUpIsToldApartFromNoMatch) {
  const std::string hard = std::string(40, 'a') + "c";
  EXPECT_EQ(Answer("(a+)+$", hard), -kLimitBacktracking);  // the library's own limits
  EXPECT_EQ(Answer("(a+)+$", "aaa"), 1);
  EXPECT_EQ(Answer("(a+)+$", "bbb"), 0);
  EXPECT_EQ(Answer("(*LIMIT_MATCH=1000)(a+)+$", hard), -kLimitBacktracking);
  EXPECT_EQ(Answer("(*NO_JIT)(*LIMIT_DEPTH=10)(a+)+$", hard), -kLimitDepth);
  EXPECT_EQ(Answer("(*NO_JIT)(*LIMIT_HEAP=1)(a+)+$", hard), -kLimitMemory);
  EXPECT_EQ(AnswerOfMatch(-1), 0);
}

TEST(GetRequiredBytes, ReportsFirstAndLastUnitsWithTheirCase) {
  struct Case {
    const char* text;
    int caseSensitive;
    int count;
    RequiredByte first;
  };
  const Case cases[] = {
      {"foo\\d+bar", 1, 2, {'f', false}},
      {"foo", 0, 2, {'f', true}},
      {"(?i)foo", 1, 2, {'f', true}},  // inline options may fold a unit
      {"=\\w", 0, 1, {'=', false}},
      {"\\w+", 1, 0, {0, false}},
  };
  for (const Case& c : cases) {
    Compiled compiled;
    ASSERT_EQ(CompilePattern(&compiled.pattern, c.text, c.caseSensitive), 1);
    RequiredByte bytes[2] = {};
    ASSERT_EQ(GetRequiredBytes(compiled.pattern, bytes), c.count) << c.text;
    if (c.count == 0) continue;
    EXPECT_EQ(bytes[0].value, c.first.value) << c.text;
    EXPECT_EQ(bytes[0].eitherCase, c.first.eitherCase) << c.text;
  }
}

}  // namespace
