// The editor replace run in the UTF-8 text model: lines are UTF-8, positions bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/host_binding.h"
#include "editorsearch/replace.h"
#include "editorsearch/search.h"
#include "editorsearch/settings.h"
#include "unit/common/message_recorder.h"
#include "unit/text_model_scope.h"

namespace {

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
  EStored.EText = text;
  EStored.ERReplace = with;
  EStored.ERegExp = 1;
  EStored.ECaseSensitive = 1;
  Session.Reverse = reverse ? 1 : 0;
  Session.InSelection = 0;
  Session.ReplaceAll = 0;
  EXPECT_TRUE(PreparePattern());
  ReplaceRun();
  Session.EPattern.reset();
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
