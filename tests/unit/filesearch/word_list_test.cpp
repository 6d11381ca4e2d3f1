#include "filesearch/word_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/pattern.h"
#include "unit/common/message_recorder.h"
#include "unit/filesearch/search_run_fixture.h"

namespace {

struct Taken {
  std::string word;
  std::string rest;
  int result;
  bool operator==(const Taken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Taken& t) {
  return out << "word '" << t.word << "' rest '" << t.rest << "' result " << t.result;
}

Taken Take(const std::string& list) {
  std::string buffer = list;
  char word[kWordBufferSize + 16];
  std::fill(std::begin(word), std::end(word), '#');
  const int result = TakeWord(buffer.data(), word);
  EXPECT_EQ(word[kWordBufferSize], '#') << "wrote past the word buffer";
  return {word, buffer.c_str(), result};
}

TEST(TakeWord, Table) {
  struct Case {
    std::string list;
    Taken expected;
  } const cases[] = {
      {"  foo bar", {"foo", "bar", 1}},
      {"foo\tbar", {"foo", "bar", 1}},
      {"a  \t  b c", {"a", "b c", 1}},
      {"foo\t", {"foo", "", 1}},
      {"\"a b\" c", {"a b", "c", 1}},
      {"'it''s'", {"it", "'s'", 1}},
      {"`x y`z", {"x y", "z", 1}},
      {"\"a 'b' c\"", {"a 'b' c", "", 1}},
      {"\"unterminated text", {"unterminated text", "", 1}},
      {"+\"a b\"", {"+\"a", "b\"", 1}},  // a sign before the quote: the quote is ordinary
      {"\"+a b\" -c", {"+a b", "-c", 1}},
      {"\"\" foo", {"", "foo", 1}},
      {"", {"", "", 1}},
      {" \t ", {"", "", 1}},
      {"ab\"cd ef", {"ab\"cd", "ef", 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(Take(c.list), c.expected) << "list '" << c.list << "'";
}

TEST(TakeWord, WordsBeyondTheBufferAreRejectedWhole) {
  EXPECT_EQ(Take(std::string(511, 'x') + " next"), (Taken{std::string(511, 'x'), "next", 1}));
  EXPECT_EQ(Take(std::string(512, 'x') + " next"), (Taken{std::string(511, 'x'), "next", 0}));
  EXPECT_EQ(Take("\"" + std::string(3000, 'y') + "\" next"),
            (Taken{std::string(511, 'y'), "next", 0}));
}

// The words tested, and which of them count as found.
std::vector<std::string> Tested;
std::vector<std::string> FoundWords;

int RecordWord(MatchContext&, const unsigned char*, std::size_t, const char* word) {
  Tested.emplace_back(word);
  return std::find(FoundWords.begin(), FoundWords.end(), word) != FoundWords.end();
}

int MatchWords(const std::string& list, const std::vector<std::string>& found) {
  TestRun test(MakeSettings(list, 4, 1));
  FoundWords = found;
  Tested.clear();
  return MatchWordList(test.context, nullptr, 0, RecordWord);
}

TEST(MatchWordList, RequiredExcludedAndOptionalWords) {
  struct Case {
    const char* list;
    int expected;
  } const cases[] = {
      {"alpha gamma", 1},          // either
      {"gamma delta", 0},
      {"+alpha +beta", 1},         // both
      {"+alpha +gamma", 0},
      {"-gamma -delta", 1},        // none of
      {"-gamma -beta", 0},
      {"+alpha -beta", 0},
      {"+alpha gamma beta", 1},
      {"+alpha gamma", 0},
      {"", 1},
      {"\"\" gamma", 1},           // the empty word ends the list first
      {"gamma \"\" alpha", 0},
      {"'alpha beta'", 0},         // a phrase is one word
      {"\"+alpha beta\"", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchWords(c.list, {"alpha", "beta"}), c.expected) << "list '" << c.list << "'";
}

TEST(MatchWordList, TestsOnlyWhatDecides) {
  EXPECT_EQ(MatchWords("a b c", {"b"}), 1);
  EXPECT_EQ(Tested, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(MatchWords("+a +b c -d", {"c"}), 0);
  EXPECT_EQ(Tested, (std::vector<std::string>{"a"}));
  EXPECT_EQ(MatchWords("\"+a b\" 'c d' `-e`", {"c d"}), 0);
  EXPECT_EQ(Tested, (std::vector<std::string>{"a b"}));
  EXPECT_EQ(MatchWords("\"+a b\" 'c d' `-e` f", {"a b", "c d"}), 1);
  EXPECT_EQ(Tested, (std::vector<std::string>{"a b", "c d", "e"}));
}

TEST(MatchWordList, RejectedLongWordsAreNeverFound) {
  const std::string longWord(600, 'q');
  const std::string cut(longWord, 0, 511);
  EXPECT_EQ(MatchWords("+" + longWord, {longWord, cut}), 0);
  EXPECT_EQ(MatchWords(longWord + " alpha", {"alpha", longWord, cut}), 1);
  EXPECT_EQ(MatchWords("-" + longWord + " alpha", {"alpha", longWord, cut}), 1);
  EXPECT_EQ(MatchWords(longWord, {longWord, cut}), 0);
  for (const std::string& word : Tested) EXPECT_LT(word.size(), 512u);
}

TEST(MatchWordList, LiteralWordsOverTheWholeRange) {
  const std::string data = "one Two\r\nthree";
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  struct Case {
    const char* list;
    int caseSensitive;
    int expected;
  } const cases[] = {
      {"+two +three", 0, 1}, {"+two +three", 1, 0}, {"+", 1, 1},        {"+ +", 1, 1},
      {"-", 1, 0},  // the empty text occurs everywhere
      {"\"Two\r\nth\"", 1, 1}, {"-four -five", 1, 1}, {"four five", 0, 0},
  };
  for (const auto& c : cases) {
    TestRun test(MakeSettings(c.list, 4, c.caseSensitive));
    EXPECT_EQ(MatchLiteralWords(test.context, bytes, data.size()), c.expected)
        << "list '" << c.list << "'";
  }
}

TEST(MatchWordList, PatternWordThatDoesNotCompileStopsTheSearchAfterOneMessage) {
  recorder::Host host;
  const std::string data = "abc";
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  // Runs made without the compile step, which would have reported the word before the walk.
  {
    TestRun test(MakeSettings("+a.c -(bad +z", 5, 1), false);
    EXPECT_EQ(MatchPatternWords(test.context, bytes, data.size()), 0);
    EXPECT_TRUE(test.context.Stopped());
  }
  ASSERT_EQ(recorder::Shown().size(), 1u);
  EXPECT_EQ(recorder::Shown()[0].items.at(3), "(bad");

  recorder::Shown().clear();
  bool stopped = false;
  for (const char* list : {"+A.C -x \"+b c|bc\" +", "+^abc$ -^b"}) {
    TestRun test(MakeSettings(list, 5, 0), false);
    EXPECT_EQ(MatchPatternWords(test.context, bytes, data.size()), 1) << list;
    stopped = stopped || test.context.Stopped();
  }
  EXPECT_FALSE(stopped);
  EXPECT_TRUE(recorder::Shown().empty());
}

// Each word is compiled once per search and kept for the files after the first: a kept word
// answers as a fresh compile would, under the case setting of its search.
TEST(MatchWordList, KeptPatternWordsAnswerAsFreshOnes) {
  recorder::Host host;
  const std::string upper = "ABC x", lower = "abc y";
  auto match = [](TestRun& test, const std::string& data) {
    return MatchPatternWords(test.context, reinterpret_cast<const unsigned char*>(data.data()),
                             data.size());
  };
  {
    // One search of each case, over several files.
    TestRun exact(MakeSettings("+a.c -y", 5, 1));
    TestRun folded(MakeSettings("+a.c -y", 5, 0));
    ASSERT_EQ(exact.run.compiled.words.size(), 2u);
    const struct {
      const std::string& data;
      int caseSensitive;
      int expected;
    } cases[] = {
        {upper, 1, 0}, {upper, 0, 1}, {lower, 0, 0}, {upper, 1, 0}, {lower, 1, 0}, {upper, 0, 1},
    };
    for (const auto& c : cases)
      EXPECT_EQ(match(c.caseSensitive ? exact : folded, c.data), c.expected) << c.data;
  }
  // A word that differs only after the kept one's end is a word of its own.
  {
    TestRun test(MakeSettings("+a.c. -y", 5, 0));
    EXPECT_EQ(match(test, upper), 1);
  }
  {
    TestRun test(MakeSettings("+a.c.z", 5, 0));
    EXPECT_EQ(match(test, upper), 0);
  }
  // A new search starts afresh; a word that does not compile is reported each time it is
  // asked for, never kept.
  CompiledSearch compiled;
  EXPECT_EQ(CompileSearch(MakeSettings("+(bad", 5, 0), &compiled), 0);
  EXPECT_TRUE(compiled.words.empty());
  for (int search = 0; search < 2; ++search) {
    TestRun test(MakeSettings("+(bad", 5, 0), false);
    EXPECT_EQ(match(test, upper), 0);
    EXPECT_TRUE(test.context.Stopped());
  }
  EXPECT_EQ(recorder::Shown().size(), 3u);
  TestRun test(MakeSettings("+a.c", 5, 1));
  EXPECT_EQ(match(test, lower), 1);
}

TEST(CompileSearch, CompilesWhatEachModeNeeds) {
  recorder::Host host;
  struct Case {
    const char* text;
    int mode;
    int expected;
    bool compiled;
    const char* shownPattern;  // null: no message
  } const cases[] = {
      {"a(b", 0, 1, false, nullptr}, {"a(b", 4, 1, false, nullptr},
      {"a(b", 1, 0, false, "a(b"},   {"a.b", 2, 1, true, nullptr},
      {"", 3, 1, false, nullptr},    {"+foo -b.r baz", 5, 1, false, nullptr},
      {"+foo -(x", 5, 0, false, "(x"},
  };
  for (const auto& c : cases) {
    recorder::Shown().clear();
    CompiledSearch compiled;
    EXPECT_EQ(CompileSearch(MakeSettings(c.text, c.mode, 0), &compiled), c.expected)
        << c.text << " mode " << c.mode;
    EXPECT_EQ(compiled.pattern != nullptr, c.compiled) << c.text << " mode " << c.mode;
    ASSERT_EQ(recorder::Shown().size(), c.shownPattern ? 1u : 0u) << c.text;
    if (c.shownPattern) {
      EXPECT_EQ(recorder::Shown()[0].items.at(3), c.shownPattern);
    }
  }
  CompiledSearch compiled;
  EXPECT_EQ(CompileSearch(MakeSettings("a.b", 1, 0), &compiled), 1);
  EXPECT_EQ(CompileSearch(MakeSettings("a.b", 0, 0), &compiled), 1);
  EXPECT_EQ(compiled.pattern, nullptr);  // what the last compile left is gone
}

}  // namespace
