// The content matchers in the UTF-8 text model, and that the OEM model stays.
#include <gtest/gtest.h>

#include <string>

#include "common/pattern.h"
#include "filesearch/line_modes.h"
#include "filesearch/matchers.h"
#include "filesearch/word_list.h"
#include "unit/common/message_recorder.h"
#include "unit/filesearch/search_run_fixture.h"
#include "unit/text_model_scope.h"

namespace {

using namespace std::string_literals;

const unsigned char* Data(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

int FindText(const std::string& content, const std::string& text, int caseSensitive) {
  TestRun test(MakeSettings(text, 0, caseSensitive));
  return FindLiteral(test.context, Data(content), content.size(), text.c_str());
}

struct LiteralCase {
  std::string content;
  std::string text;
  int caseSensitive;
  int found;
};

TEST(Utf8PlainText, CaselessFoldsEveryScript) {
  TextModelScope utf8(true);
  const LiteralCase cases[] = {
      {"МОЙ ДОМ", "дом", 0, 1},
      {"мой дом", "ДОМ", 0, 1},
      {"МОЙ ДОМ", "дом", 1, 0},
      {"мой дом", "дом", 1, 1},
      {"ÉTÉ À PARIS", "été à paris", 0, 1},
      {"ΣΟΦΊΑ", "σοφία", 0, 1},
      {"Straße", "STRASSE", 0, 0},           // one character to one only
      {"\xFF\x00 ДОМ \x80"s, "дом", 0, 1},   // in a binary file
      {"ДО", "дом", 0, 0},
      {"xs", "ſ", 0, 1},                     // an occurrence shorter than the text
      {"ς", "Σ", 0, 1},
      {"e\xCC\x81", "é", 0, 0},              // a decomposed "é" is two characters
      {"Hello", "hELLO", 0, 1},              // ASCII keeps the byte scan
      {"ДОМ\xD0", "дом\xD0", 0, 0},          // no UTF-8: bytes, A-Z folded only
      {"дом\xD0", "дом\xD0", 0, 1},
  };
  for (const LiteralCase& c : cases)
    EXPECT_EQ(FindText(c.content, c.text, c.caseSensitive), c.found) << c.text;
}

TEST(OemPlainText, FoldsAsciiOnly) {
  TextModelScope oem(false);
  EXPECT_EQ(FindText("МОЙ ДОМ", "дом", 0), 0);
  EXPECT_EQ(FindText("мой дом", "дом", 0), 1);
  EXPECT_EQ(FindText("Hello", "hELLO", 0), 1);
}

TEST(Utf8WordList, PlainWordsFoldEveryScript) {
  TextModelScope utf8(true);
  const std::string content = "Мой ДОМ и мой сад";
  const struct {
    const char* list;
    int found;
  } cases[] = {
      {"+дом +САД", 1},
      {"+дом -сад", 0},
      {"кот дом", 1},
      {"кот пёс", 0},
      {"\"+мой дом\"", 1},
  };
  for (const auto& c : cases) {
    TestRun words(MakeSettings(c.list, 4, 0));
    EXPECT_EQ(MatchLiteralWords(words.context, Data(content), content.size()), c.found) << c.list;
    TestRun patterns(MakeSettings(c.list, 5, 0));
    EXPECT_EQ(MatchPatternWords(patterns.context, Data(content), content.size()), c.found)
        << c.list;
  }
}

// A run of the search text for one test, with windows of two lines.
struct SearchTextScope {
  SearchTextScope(int mode, const char* text, int caseSensitive)
      : test(MakeSettings(text, mode, caseSensitive, 2)), ok(test.run.pattern() != nullptr) {}
  MatchContext& context() { return test.context; }
  TestRun test;
  bool ok;
};

// Mode 1 hands only the lines that hold the pattern's required bytes to the pattern: a
// caseless letter beyond ASCII must not make it skip the other case.
TEST(Utf8PatternModes, CaselessLettersAreFoundInEveryMode) {
  TextModelScope utf8(true);
  recorder::Host host;
  const struct {
    const char* pattern;
    std::string content;
  } cases[] = {
      {"дом", "x\nМОЙ ДОМ\ny"},
      {"рот", "x\nРОТ\n"},
      {"жук\\w*", "\xFF\xFE\nЖУКИ\n"},
      {"ёлка$", "a\r\nЁЛКА\n"},
      {"^é", "x\nÉté\n"},
      {"\\bдом\\b", "x\nсвой ДОМ.\n"},
      {"k", "\xE2\x84\xAA\n"},  // the Kelvin sign
      {"kelvin", "x\n\xE2\x84\xAA\x45LVIN\n"},
      {"bus stop", "x\nBU\xC5\xBF STOP\n"},  // a long s
  };
  for (const auto& c : cases) {
    SearchTextScope scope(1, c.pattern, 0);
    ASSERT_TRUE(scope.ok) << c.pattern;
    MatchContext& context = scope.context();
    EXPECT_EQ(MatchLines(context, Data(c.content), c.content.size()), 1) << c.pattern;
    EXPECT_EQ(MatchWholeFile(context, Data(c.content), c.content.size()), 1) << c.pattern;
    EXPECT_EQ(MatchSeveralLines(context, Data(c.content), c.content.size()), 1) << c.pattern;
  }
}

TEST(Utf8PatternModes, InvalidBytesNeitherMatchNorStopTheSearch) {
  TextModelScope utf8(true);
  recorder::Host host;
  const std::string binary = "\x7F" "ELF\x02\x01\x00\xFF\xD0\n\xC0\xAF\x00\x00 строка \xFE"s;
  const struct {
    const char* pattern;
    int found;
  } cases[] = {
      {"строка", 1}, {"СТРОКА", 1}, {"^.$", 0}, {"a.b", 0}, {"\\w+ \\xFE", 0}, {"ELF", 1},
  };
  for (const auto& c : cases) {
    SearchTextScope scope(2, c.pattern, 0);
    ASSERT_TRUE(scope.ok) << c.pattern;
    EXPECT_EQ(MatchWholeFile(scope.context(), Data(binary), binary.size()), c.found) << c.pattern;
    EXPECT_EQ(MatchLines(scope.context(), Data(binary), binary.size()), c.found) << c.pattern;
  }
  EXPECT_TRUE(recorder::Shown().empty());
}

}  // namespace
