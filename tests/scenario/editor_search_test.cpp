#include "editor_fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

using EditorSearch = EditorScenario;

TEST_F(EditorSearch, MenuInTheEditorOnly) {
  const PluginInfo& info = host_->QueryPluginInfo(linquo_);
  EXPECT_EQ(info.Flags, PF_EDITOR | PF_DISABLEPANELS);
  ASSERT_EQ(info.PluginMenuStringsNumber, 3);
  EXPECT_EQ(info.PluginMenuStrings[0], Msg(kMsgPluginTitle));
  EXPECT_EQ(info.PluginMenuStrings[1], Msg(kMsgReplaceTitle));
  EXPECT_EQ(info.PluginMenuStrings[2], Msg(kMsgRepeat));
  EXPECT_EQ(info.DiskMenuStringsNumber, 0);
  EXPECT_EQ(info.PluginConfigStringsNumber, 0);
  EXPECT_EQ(info.CommandPrefix, nullptr);
  // Opened from anywhere but the editor it does nothing.
  Open("text");
  ScriptSearch({.text = "text"});
  EXPECT_EQ(host_->OpenPlugin(linquo_, OPEN_PLUGINSMENU, 0), FAR_INVALID_HANDLE);
  EXPECT_EQ(CallsOf("Dialog").size(), 0u);
}

TEST_F(EditorSearch, ForwardHitsThenNoWrapAround) {
  Open("alpha beta\ngamma beta\n");
  Search({.text = "beta", .regex = false});
  EXPECT_EQ(Selection(), At(0, 6, 4));
  EXPECT_EQ(Cursor(), Pos(0, 10));
  Repeat();
  EXPECT_EQ(Selection(), At(1, 6, 4));
  EXPECT_EQ(Cursor(), Pos(1, 10));
  EXPECT_TRUE(TakeWarnings().empty());
  Repeat();
  EXPECT_EQ(TakeWarnings(), std::vector<std::string>{Msg(kMsgPluginTitle)});
  EXPECT_EQ(Selection(), At(1, 6, 4));  // nothing moved
  EXPECT_EQ(Cursor(), Pos(1, 10));
  const auto warning = CallsOf("Message").back();
  EXPECT_EQ(warning->texts, (std::vector<std::string>{"QXCannotFind", Msg(kMsgPluginTitle),
                                                      Msg(kMsgCannotFind), "beta", Msg(kMsgOk)}));
}

TEST_F(EditorSearch, MatchAtTheCursorIsFound) {
  Open("xx beta", 0, 3);
  Search({.text = "beta", .regex = false});
  EXPECT_EQ(Selection(), At(0, 3, 4));
}

TEST_F(EditorSearch, BackwardHitsEndAtOrBeforeTheCursor) {
  Open("beta beta\nbetabeta", 1, 7);
  Search({.text = "beta", .regex = false, .backward = true});
  EXPECT_EQ(Selection(), At(1, 0, 4));  // the one at 4 would end past the cursor
  EXPECT_EQ(Cursor(), Pos(1, 0));
  Repeat();
  EXPECT_EQ(Selection(), At(0, 5, 4));  // the nearest one
  EXPECT_EQ(Cursor(), Pos(0, 5));
  Repeat();
  EXPECT_EQ(Selection(), At(0, 0, 4));
  Repeat();
  EXPECT_EQ(TakeWarnings(), std::vector<std::string>{Msg(kMsgPluginTitle)});
  EXPECT_EQ(Cursor(), Pos(0, 0));
}

TEST_F(EditorSearch, BackwardPatternTakesTheLeftmostBeforeTheCursor) {
  Open("ab ab ab", 0, 7);
  Search({.text = "ab", .regex = true, .backward = true});
  EXPECT_EQ(Selection(), At(0, 0, 2));
}

TEST_F(EditorSearch, CursorBeyondTheLineEnd) {
  Open("key one\nkey two", 0, 50);
  Search({.text = "key", .regex = false});
  EXPECT_EQ(Selection(), At(1, 0, 3));  // forward: the next line
  Open("key one\nkey two", 0, 50);
  Search({.text = "one", .backward = true});
  EXPECT_EQ(Selection(), At(0, 4, 3));  // backward: the whole line
}

TEST_F(EditorSearch, AnchorsWithAStartPosition) {
  Open("aXa\naXa", 0, 1);
  Search({.text = "^a", .regex = true});
  EXPECT_EQ(Selection(), At(1, 0, 1));  // never at the start position inside a line
  Open("abab", 0, 2);
  Search({.text = "b$", .regex = true, .backward = true});
  EXPECT_EQ(Selection(), At(0, 1, 1));  // the subject ends at the cursor
}

TEST_F(EditorSearch, SelectionOptionSearchesOnlyTheBlock) {
  Open("x.x\n.x.x\nx...\n");
  // Nothing selected: the option is shown but cannot be chosen.
  dialogs_.push_back([](FarDialogItem* items, int) {
    EXPECT_EQ(items[7].Type, DI_TEXT);
    EXPECT_EQ(items[7].Selected, 0);
    return -1;
  });
  Run(kSearchEntry);
  EXPECT_EQ(CallsOf("Dialog").back()->texts.at(8), "--- " + Msg(kMsgInSelection));

  Select(0, 1, 1, 3);  // from (0,1) to (1,3): one x of line 0 and one of line 1
  dialogs_.push_back([](FarDialogItem* items, int) {
    EXPECT_EQ(items[7].Type, DI_CHECKBOX);
    return -1;
  });
  Run(kSearchEntry);
  const auto& shown = CallsOf("Dialog").back()->texts;
  EXPECT_EQ(shown.at(8), Msg(kMsgInSelection));
  Search({.text = "x", .inSelection = true});
  EXPECT_EQ(Selection(), At(0, 2, 1));
  // The hit is now the block: a repeat inside it finds nothing more.
  Repeat();
  EXPECT_EQ(TakeWarnings(), std::vector<std::string>{Msg(kMsgPluginTitle)});
  EXPECT_EQ(Selection(), At(0, 2, 1));
}

TEST_F(EditorSearch, SelectionOptionSkipsLinesOutsideTheBlock) {
  Open("x\nab\nabx\nx\n");
  Select(1, 0, 2, 3);
  Search({.text = "x", .inSelection = true});
  EXPECT_EQ(Selection(), At(2, 2, 1));
}

TEST_F(EditorSearch, CaseFoldingStopsAtAsciiLetters) {
  // Code page 866: 0x80 is the capital of 0xA0.
  Open("\x80 word WORD \xA0");
  Search({.text = "WORD", .regex = false, .caseSensitive = false});
  EXPECT_EQ(Selection(), At(0, 2, 4));
  for (bool regex : {false, true}) {
    Open("\x80 word WORD \xA0");
    Search({.text = "\xA0", .regex = regex, .caseSensitive = false});
    EXPECT_EQ(Selection(), At(0, 12, 1)) << regex;
  }
  Open("word WORD");
  Search({.text = "WORD", .regex = true, .caseSensitive = true});
  EXPECT_EQ(Selection(), At(0, 5, 4));
}

TEST_F(EditorSearch, EmptyMatchSelectsAnEmptyBlockAndRepeatsThere) {
  Open("abc", 0, 1);
  Search({.text = "x*", .regex = true});
  EXPECT_EQ(Selection(), At(0, 1, 0));
  EXPECT_EQ(Cursor(), Pos(0, 1));
  Repeat();
  EXPECT_EQ(Selection(), At(0, 1, 0));
  EXPECT_TRUE(TakeWarnings().empty());
}

TEST_F(EditorSearch, RepeatBeforeAnyCommandOpensTheDialog) {
  Open("one two");
  ScriptSearch({.text = "two", .regex = false});
  Repeat();
  EXPECT_EQ(CallsOf("Dialog").size(), 1u);
  EXPECT_EQ(Selection(), At(0, 4, 3));
  Editor().curPos = 0;
  Repeat();  // now a search without a dialog
  EXPECT_EQ(CallsOf("Dialog").size(), 1u);
  EXPECT_EQ(Selection(), At(0, 4, 3));
}

TEST_F(EditorSearch, CancelledDialogStillMakesRepeatSearch) {
  WriteStoredText("EText", "two");
  WriteStoredInt("ERegExp", 0);
  linquo_->SetStartupInfo(&linquo_->startup);
  Open("one two");
  Run(kSearchEntry);  // cancelled
  EXPECT_EQ(CallsOf("Dialog").back()->texts.at(3), "two");
  Repeat();
  EXPECT_EQ(Selection(), At(0, 4, 3));
}

TEST_F(EditorSearch, DialogShapeAndSettingsStored) {
  Open("abc");
  Search({.text = "b", .regex = false, .caseSensitive = true, .backward = false});
  const host::ServiceCall* dialog = CallsOf("Dialog").front();
  EXPECT_EQ(dialog->args, (std::vector<std::intptr_t>{-1, -1, 76, 13, 10}));
  EXPECT_EQ(dialog->texts.at(0), "SearchDlg");
  EXPECT_EQ(dialog->items.at(2).Flags, DIF_HISTORY);
  EXPECT_STREQ(dialog->items.at(2).History, "SearchText");
  EXPECT_EQ(dialog->items.at(8).DefaultButton, 1);
  host_->UnloadPlugin(linquo_);  // ExitFAR stores the settings
  linquo_ = nullptr;
  EXPECT_EQ(ReadStoredText("EText"), "b");
  EXPECT_EQ(ReadStoredInt("ERegExp"), 0);
  EXPECT_EQ(ReadStoredInt("ECaseSensitive"), 1);
}

TEST_F(EditorSearch, PatternErrorReopensTheDialog) {
  Open("a(b");
  ScriptSearch({.text = "a(b", .regex = true});
  dialogs_.push_back([](FarDialogItem* items, int) {
    EXPECT_STREQ(items[2].Data, "a(b");  // as the user left it
    SetText(items[2], "a\\(b");
    return 8;
  });
  Run(kSearchEntry);
  EXPECT_EQ(CallsOf("Dialog").size(), 2u);
  bool errorShown = false;
  for (const host::MessageRequest& message : messages_)
    errorShown |= message.helpTopic == "RegExpError";
  EXPECT_TRUE(errorShown);
  EXPECT_EQ(Selection(), At(0, 0, 3));
}

// A cancelled pattern error leaves the bad pattern stored; a repeat then names the error
// and where it is again, rather than claiming the text is not in the file.
TEST_F(EditorSearch, RepeatAfterACancelledPatternErrorShowsTheErrorAgain) {
  Open("xa(by");
  auto errorsShown = [this] {
    int errors = 0;
    for (const host::MessageRequest& message : messages_)
      errors += message.helpTopic == "RegExpError";
    return errors;
  };
  ScriptSearch({.text = "a(b", .regex = true});  // the dialog comes back: Escape
  Run(kSearchEntry);
  EXPECT_EQ(errorsShown(), 1);
  messages_.clear();
  for (int repeat = 0; repeat < 2; ++repeat) {
    Run(kRepeatEntry);
    EXPECT_EQ(errorsShown(), 1);
    EXPECT_TRUE(TakeWarnings().empty());  // no "cannot find" for a pattern never compiled
    EXPECT_EQ(Selection(), std::nullopt);
  }
  // Made plain text in the dialog, the same text is found.
  Search({.regex = false});
  EXPECT_EQ(Selection(), At(0, 1, 3));
}

TEST_F(EditorSearch, EmptyTextSearchesNothing) {
  Open("abc");
  Search({.text = "", .regex = false});
  EXPECT_EQ(Selection(), std::nullopt);
  EXPECT_TRUE(TakeWarnings().empty());
  Repeat();  // an empty text is found nowhere
  EXPECT_EQ(Selection(), std::nullopt);
  EXPECT_EQ(TakeWarnings().size(), 1u);
}

}  // namespace
}  // namespace scenario
