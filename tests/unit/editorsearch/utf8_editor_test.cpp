// The editor search and replace in the UTF-8 text model: lines are UTF-8, positions bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/host_binding.h"
#include "common/pattern.h"
#include "editorsearch/line_replace.h"
#include "editorsearch/line_search.h"
#include "editorsearch/replace.h"
#include "editorsearch/search.h"
#include "editorsearch/settings.h"
#include "unit/common/message_recorder.h"
#include "unit/text_model_scope.h"

namespace {

LineSearch Plain(const std::string& text, bool reverse, bool caseSensitive = false) {
  static std::string keep;
  keep = text;
  LineSearch search;
  search.text = keep.c_str();
  search.textLength = keep.size();
  search.reverse = reverse;
  search.caseSensitive = caseSensitive;
  return search;
}

// "start:length" of the hit in the region, or "-".
std::string Find(const LineSearch& search, const std::string& line, int from, int count) {
  LineHit hit;
  if (!FindInLine(search, line.data(), from, count, false, &hit)) return "-";
  return std::to_string(hit.start) + ":" + std::to_string(hit.length);
}

TEST(Utf8LineSearch, PlainCaselessFoldsEveryScriptBothWays) {
  TextModelScope utf8(true);
  const std::string line = "Дом, ДОМ и дом";  // at bytes 0, 8 and 18
  const int length = static_cast<int>(line.size());
  EXPECT_EQ(Find(Plain("дом", false), line, 0, length), "0:6");
  EXPECT_EQ(Find(Plain("дом", false), line, 1, length - 1), "8:6");
  EXPECT_EQ(Find(Plain("дом", true), line, 0, length), "18:6");
  EXPECT_EQ(Find(Plain("дом", true), line, 0, 18), "8:6");  // must end before the cursor
  EXPECT_EQ(Find(Plain("дом", true, true), line, 0, length), "18:6");
  EXPECT_EQ(Find(Plain("ДОМ", false, true), line, 0, length), "8:6");
  EXPECT_EQ(Find(Plain("日本", false), "x日本", 0, 7), "1:6");
  EXPECT_EQ(Find(Plain("ÉTÉ", true), "été, Été", 0, 12), "7:5");
  EXPECT_EQ(Find(Plain("ÉTÉ", true), "été, Été", 0, 11), "0:5");
}

TEST(OemLineSearch, PlainCaselessFoldsAsciiOnly) {
  TextModelScope oem(false);
  EXPECT_EQ(Find(Plain("дом", false), "ДОМ дом", 0, 13), "7:6");
  EXPECT_EQ(Find(Plain("abc", false), "xABC", 0, 4), "1:3");
}

struct Compiled {
  Compiled(const char* text, int caseSensitive) { CompilePattern(&pattern, text, caseSensitive); }
  ~Compiled() { ReleasePattern(&pattern); }
  CompiledPattern* pattern = nullptr;
};

LineReplacement ReplaceEveryMatch(const CompiledPattern* pattern, bool reverse, const std::string& line,
                           const char* with) {
  LineSearch search;
  search.regex = true;
  search.reverse = reverse;
  search.pattern = pattern;
  return ReplaceAllInLine(search, line, -1, with, "\n", PatternLookbehindReach(pattern), nullptr);
}

TEST(Utf8ReplaceAllInLine, StepsAndLooksBackByCharacters) {
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
      {"(?<=日)a", false, "日aaa", "日", "日日日日"},        // a lookbehind on inserted text
      {"(?<=\\w)\\b", false, "жук жук", "!", "жук! жук!"},
      {"(\\w+)", false, "жук и éte", "\\U$1", "ЖУК И ÉTE"},
      {"(?i)ЖУК", false, "жук Жук", "б", "б б"},
  };
  for (const auto& c : cases) {
    Compiled compiled(c.pattern, 1);
    ASSERT_NE(compiled.pattern, nullptr) << c.pattern;
    EXPECT_EQ(ReplaceEveryMatch(compiled.pattern, c.reverse, c.line, c.with).text, c.expected)
        << c.pattern << (c.reverse ? " backward" : "");
  }
}

TEST(Utf8ReplaceAllInLine, PlainCaselessText) {
  TextModelScope utf8(true);
  LineReplacement got = ReplaceAllInLine(Plain("дом", false), "Дом, ДОМ", -1, "ум", "", 0, nullptr);
  EXPECT_EQ(got.text, "ум, ум");
  EXPECT_EQ(got.replaced, 2);
  got = ReplaceAllInLine(Plain("дом", true), "Дом, ДОМ", -1, "ум", "", 0, nullptr);
  EXPECT_EQ(got.text, "ум, ум");
  EXPECT_EQ(got.position, 0);
}

// An editor of a few lines behind EditorControl, for the interactive replace run.
struct FakeEditor {
  std::vector<std::string> lines;
  int curLine = 0;
  int curPos = 0;
};
FakeEditor* g_editor = nullptr;

int FARAPI ControlFakeEditor(int command, void* param) {
  FakeEditor& e = *g_editor;
  switch (command) {
    case ECTL_GETINFO: {
      auto* info = static_cast<EditorInfo*>(param);
      info->TotalLines = static_cast<int>(e.lines.size());
      info->CurLine = e.curLine;
      info->CurPos = e.curPos;
      return 1;
    }
    case ECTL_GETSTRING: {
      auto* get = static_cast<EditorGetString*>(param);
      const std::string& line = e.lines.at(static_cast<std::size_t>(get->StringNumber));
      get->StringText = line.data();
      get->StringEOL = "\n";
      get->StringLength = static_cast<int>(line.size());
      get->SelStart = get->SelEnd = -1;
      return 1;
    }
    case ECTL_SETSTRING: {
      auto* set = static_cast<EditorSetString*>(param);
      e.lines.at(static_cast<std::size_t>(set->StringNumber))
          .assign(set->StringText, static_cast<std::size_t>(set->StringLength));
      return 1;
    }
    case ECTL_SETPOSITION: {
      auto* position = static_cast<EditorSetPosition*>(param);
      if (position->CurLine >= 0) e.curLine = position->CurLine;
      if (position->CurPos >= 0) e.curPos = position->CurPos;
      return 1;
    }
    default:
      return 1;
  }
}

// Every question answered with the first button (replace this one).
std::vector<std::string> RunInteractiveReplace(const std::vector<std::string>& lines,
                                               const char* text, const char* with, bool reverse) {
  recorder::Host host;
  FakeEditor editor{lines, reverse ? static_cast<int>(lines.size()) - 1 : 0, 0};
  if (reverse) editor.curPos = static_cast<int>(lines.back().size());
  g_editor = &editor;
  Info.EditorControl = ControlFakeEditor;
  EText = text;
  ERReplace = with;
  ERegExp = 1;
  ECaseSensitive = 1;
  Reverse = reverse ? 1 : 0;
  InSelection = 0;
  ::ReplaceAll = 0;
  EXPECT_TRUE(PreparePattern());
  ReplaceRun();
  EPattern.reset();
  g_editor = nullptr;
  return editor.lines;
}

TEST(Utf8ReplaceRun, EmptyMatchesStepOverWholeCharacters) {
  TextModelScope utf8(true);
  using Lines = std::vector<std::string>;
  EXPECT_EQ(RunInteractiveReplace({"дом", "日本"}, "x*", "-", false),
            (Lines{"-д-о-м", "-日-本"}));
  EXPECT_EQ(RunInteractiveReplace({"дом", "日本"}, "x*$", "-", true),
            (Lines{"д-о-м-", "日-本-"}));
  EXPECT_EQ(RunInteractiveReplace({"д\xFFм"}, "x*", "-", false), (Lines{"-д-\xFF-м"}));
}

}  // namespace
