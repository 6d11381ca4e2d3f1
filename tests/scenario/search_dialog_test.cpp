// The file search dialog as the host shows it: its items, what the user's entries do, a
// pattern error, Cancel, and the search that follows in every mode.
#include <string>
#include <vector>

#include "scenario/dialog_script.h"
#include "scenario/fixture.h"
#include "scenario/search_entries.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

class SearchDialogTest : public ScenarioTest {
 protected:
  // Opens the file search from the plugins menu with the script's answers.
  HANDLE OpenFromMenu(DialogScript& script) {
    script.Attach(*host_);
    AcknowledgeMessages(*host_);
    return host_->OpenPlugin(trawlix_, OPEN_PLUGINSMENU, 0);
  }
  HANDLE SearchWith(const SearchEntries& entries) {
    DialogScript script;
    script.steps = {[&](FarDialogItem* items) {
      EnterSearch(items, entries);
      return kSearchButton;
    }};
    return OpenFromMenu(script);
  }
  void StartTrawlix() {
    trawlix_ = LoadTrawlix();
    ASSERT_TRUE(trawlix_);
  }
  const std::string& Text(int message) { return trawlix_->messages.at(message); }
  std::vector<const host::ServiceCall*> Dialogs() { return CallsOf("Dialog"); }
  std::vector<std::string> Prefixed(const std::string& base, std::vector<std::string> names) {
    for (std::string& name : names) name = base + "/" + name;
    std::sort(names.begin(), names.end());
    return names;
  }

  host::Plugin* trawlix_ = nullptr;
};

TEST_F(SearchDialogTest, ItsItemsComeFromTheStoredSettings) {
  WriteStoredText("FMask", "*.c,*.h");
  WriteStoredText("FText", "needle");
  WriteStoredInt("FCaseSensitive", 1);
  WriteStoredInt("FSInverse", 1);
  WriteStoredInt("FSearchAs", 3);
  WriteStoredInt("FSearchIn", 4);
  StartTrawlix();
  ShowFolder(Folder("tree"));
  DialogScript cancel;
  EXPECT_EQ(OpenFromMenu(cancel), FAR_INVALID_HANDLE);
  ASSERT_EQ(Dialogs().size(), 1u);
  const host::ServiceCall& dialog = *Dialogs()[0];
  EXPECT_EQ(dialog.moduleNumber, trawlix_->number);
  EXPECT_EQ(dialog.args, (std::vector<std::intptr_t>{-1, -1, 76, 25, 22}));
  EXPECT_EQ(dialog.texts.at(0), "FileSearchDlg");
  ASSERT_EQ(dialog.items.size(), 22u);

  constexpr int kMask = -1, kText = -2, kEmpty = -3;
  const struct {
    int type, x1, y1, x2, y2;
    DWORD flags;
    int text;  // a message number, or one of the markers above
  } expected[22] = {
      {DI_DOUBLEBOX, 3, 1, 72, 23, 0, kMsgPluginTitle},
      {DI_TEXT, 5, 2, 0, 0, 0, kMsgMasks},
      {DI_EDIT, 5, 3, 70, 0, DIF_HISTORY, kMask},
      {DI_TEXT, 5, 4, 0, 0, 0, kMsgSearchFor},
      {DI_EDIT, 5, 5, 70, 0, DIF_HISTORY, kText},
      {DI_TEXT, 5, 6, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, kEmpty},
      {DI_CHECKBOX, 5, 7, 0, 0, 0, kMsgCaseSensitive},
      {DI_RADIOBUTTON, 5, 8, 0, 0, DIF_GROUP, kMsgModePlain},
      {DI_RADIOBUTTON, 5, 9, 0, 0, 0, kMsgModeRegex},
      {DI_RADIOBUTTON, 5, 10, 0, 0, 0, kMsgModeRegexMultiLine},
      {DI_RADIOBUTTON, 5, 11, 0, 0, 0, kMsgModeRegexWindow},
      {DI_RADIOBUTTON, 5, 12, 0, 0, 0, kMsgModeWords},
      {DI_RADIOBUTTON, 5, 13, 0, 0, 0, kMsgModeRegexWords},
      {DI_CHECKBOX, 5, 14, 0, 0, 0, kMsgInverse},
      {DI_TEXT, 5, 15, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, kEmpty},
      {DI_RADIOBUTTON, 5, 16, 0, 0, DIF_GROUP, kMsgScopeAllDrives},
      {DI_RADIOBUTTON, 5, 17, 0, 0, 0, kMsgScopeCurrentDrive},
      {DI_RADIOBUTTON, 5, 18, 0, 0, 0, kMsgScopeFolderTree},
      {DI_RADIOBUTTON, 5, 19, 0, 0, 0, kMsgScopeFolderOnly},
      {DI_RADIOBUTTON, 5, 20, 0, 0, 0, kMsgScopeSelectedFolders},
      {DI_BUTTON, 0, 22, 0, 0, DIF_CENTERGROUP, kMsgOk},
      {DI_BUTTON, 0, 22, 0, 0, DIF_CENTERGROUP, kMsgCancel},
  };
  for (int i = 0; i < 22; ++i) {
    SCOPED_TRACE("item " + std::to_string(i));
    const FarDialogItem& item = dialog.items[i];
    EXPECT_EQ(item.Type, expected[i].type);
    EXPECT_EQ(item.X1, expected[i].x1);
    EXPECT_EQ(item.Y1, expected[i].y1);
    EXPECT_EQ(item.X2, expected[i].x2);
    EXPECT_EQ(item.Y2, expected[i].y2);
    EXPECT_EQ(item.Flags, expected[i].flags);
    EXPECT_EQ(item.Focus, i == kMaskField ? 1 : 0) << "the masks have the focus";
    EXPECT_EQ(item.DefaultButton, i == kSearchButton ? 1 : 0);
    std::string text = expected[i].text == kMask    ? "*.c,*.h"
                       : expected[i].text == kText  ? "needle"
                       : expected[i].text == kEmpty ? ""
                                                    : Text(expected[i].text);
    EXPECT_EQ(std::string(item.Data), text);
  }
  // The history names, as the host keeps them across dialogs of both plugins.
  EXPECT_STREQ(dialog.items[kMaskField].History, "Masks");
  EXPECT_STREQ(dialog.items[kTextField].History, "SearchText");
  EXPECT_EQ(dialog.items[kCaseBox].Selected, 1);
  EXPECT_EQ(dialog.items[kInverseBox].Selected, 1);
  EXPECT_EQ(SelectedButton(dialog.items.data(), kFirstModeButton, 6), 3);
  EXPECT_EQ(SelectedButton(dialog.items.data(), kFirstScopeButton, 5), 4);
}

TEST_F(SearchDialogTest, HandEditedValuesOutOfRangeGetOneButtonEach) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt", "sub/b.txt"});
  const struct {
    int mode, scope, caseSensitive;
  } cases[] = {{6, 5, 2}, {1000, 99, 7}, {-3, 7, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + "/" + std::to_string(c.scope));
    RestartHost();
    WriteStoredInt("FSearchAs", c.mode);
    WriteStoredInt("FSearchIn", c.scope);
    WriteStoredInt("FCaseSensitive", c.caseSensitive);
    WriteStoredText("FText", "");
    StartTrawlix();
    ShowFolder(tree);
    // Confirmed as shown: the search runs with the values the buttons show.
    ASSERT_EQ(SearchWith({}), kResultsPanel);
    const host::ServiceCall& dialog = *Dialogs().at(0);
    int mode = SelectedButton(dialog.items.data(), kFirstModeButton, 6);
    int scope = SelectedButton(dialog.items.data(), kFirstScopeButton, 5);
    EXPECT_GE(mode, 0) << "exactly one mode button is on";
    // An unknown scope is shown as the one it walks: the panel's folder with its
    // subfolders. A negative stored value reads as the default.
    EXPECT_EQ(scope, 2);
    if (c.mode < 0) {
      EXPECT_EQ(mode, 1);
    }
    EXPECT_EQ(dialog.items[kCaseBox].Selected, c.caseSensitive > 0 ? 1 : 0);
    EXPECT_EQ(ReadStoredInt("FSearchAs"), mode);
    EXPECT_EQ(ReadStoredInt("FSearchIn"), 2);
    EXPECT_EQ(SortedPanelNames(), Prefixed(tree, {"a.txt", "sub/b.txt"}));
  }
}

TEST_F(SearchDialogTest, StoredTextsLongerThanAFieldAreShownCutAndKeptWhole) {
  std::string tree = Folder("tree");
  // Masks whose only match lies beyond the 511 characters the field shows.
  std::string masks;
  for (int i = 0; masks.size() < 600; ++i) masks += "*.x" + std::to_string(i) + ",";
  masks += "*.txt";
  std::string text(600, 'n');
  text.back() = 'E';
  WriteFile(tree + "/a.txt", "<" + text + ">");
  WriteFile(tree + "/b.txt", text.substr(0, 511));  // what a cut text would find
  WriteFile(tree + "/c.dat", text);
  WriteStoredText("FMask", masks);
  WriteStoredText("FText", text);
  WriteStoredInt("FSearchAs", 0);
  WriteStoredInt("FCaseSensitive", 1);
  WriteStoredInt("FSearchIn", 3);
  StartTrawlix();
  ShowFolder(tree);
  ASSERT_EQ(SearchWith({}), kResultsPanel);
  const host::ServiceCall& dialog = *Dialogs().at(0);
  EXPECT_EQ(std::string(dialog.items[kMaskField].Data), masks.substr(0, 511));
  EXPECT_EQ(std::string(dialog.items[kTextField].Data), text.substr(0, 511));
  // Confirming the fields as shown does not shorten the stored texts.
  EXPECT_EQ(PanelNames(), (std::vector<std::string>{tree + "/a.txt"}));
  EXPECT_EQ(ReadStoredText("FMask"), masks);
  EXPECT_EQ(ReadStoredText("FText"), text);

  // A field the user edits takes what was typed.
  host_->ClosePluginPanel(host_->activePanel());
  ASSERT_EQ(SearchWith({.mask = std::string("*.dat"), .text = text.substr(0, 100)}),
            kResultsPanel);
  EXPECT_EQ(PanelNames(), (std::vector<std::string>{tree + "/c.dat"}));
  EXPECT_EQ(ReadStoredText("FMask"), "*.dat");
  EXPECT_EQ(ReadStoredText("FText"), text.substr(0, 100));
}

TEST_F(SearchDialogTest, APatternErrorBringsTheEntriesBackAsTheUserLeftThem) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "ab\n");
  WriteStoredText("FText", "old");
  WriteStoredInt("FSearchAs", 0);
  WriteStoredInt("FSearchIn", 3);
  StartTrawlix();
  ShowFolder(tree);
  std::vector<FarDialogItem> second;
  DialogScript script;
  script.steps = {[](FarDialogItem* items) {
                    EnterSearch(items, {.mask = std::string("*.txt"), .text = std::string("a(b"),
                                        .mode = 2, .caseSensitive = true});
                    return kSearchButton;
                  },
                  [&](FarDialogItem* items) {
                    second.assign(items, items + 22);
                    return kCancelButton;
                  }};
  EXPECT_EQ(OpenFromMenu(script), FAR_INVALID_HANDLE);
  ASSERT_EQ(script.shown, 2);
  std::vector<const host::ServiceCall*> messages = CallsOf("Message");
  ASSERT_EQ(messages.size(), 1u) << "the pattern error, and no progress: no search ran";
  EXPECT_EQ(messages[0]->texts.at(0), "RegExpError");
  EXPECT_TRUE(CallsOf("SaveScreen").empty());
  ASSERT_EQ(second.size(), 22u);
  EXPECT_STREQ(second[kMaskField].Data, "*.txt");
  EXPECT_STREQ(second[kTextField].Data, "a(b");
  EXPECT_EQ(second[kCaseBox].Selected, 1);
  EXPECT_EQ(SelectedButton(second.data(), kFirstModeButton, 6), 2);
  // The settings hold the attempt that failed, and are stored like any other.
  RestartHost();
  EXPECT_EQ(ReadStoredText("FText"), "a(b");
  EXPECT_EQ(ReadStoredText("FMask"), "*.txt");
  EXPECT_EQ(ReadStoredInt("FSearchAs"), 2);
}

TEST_F(SearchDialogTest, AFixedPatternAtTheSecondShowingSearches) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "xab\n");
  WriteFile(tree + "/b.txt", "xyz\n");
  WriteStoredInt("FSearchIn", 3);
  StartTrawlix();
  ShowFolder(tree);
  DialogScript script;
  script.steps = {[](FarDialogItem* items) {
                    EnterSearch(items, {.text = std::string("a(b"), .mode = 1});
                    return kSearchButton;
                  },
                  [](FarDialogItem* items) {
                    TypeText(items[kTextField], "a(b)");
                    return kSearchButton;
                  }};
  ASSERT_EQ(OpenFromMenu(script), kResultsPanel);
  EXPECT_EQ(PanelNames(), (std::vector<std::string>{tree + "/a.txt"}));
  EXPECT_EQ(ReadStoredText("FText"), "a(b)");
}

TEST_F(SearchDialogTest, CancelAndEscapeRunNoSearchAndChangeNoSetting) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt"});
  for (int answer : {kCancelButton, -1, 0, kMaskField}) {
    SCOPED_TRACE(answer);
    RestartHost();
    WriteStoredText("FText", "old");
    WriteStoredInt("FSearchAs", 0);
    WriteStoredInt("FSearchIn", 3);
    StartTrawlix();
    ShowFolder(tree);
    DialogScript script;
    script.steps = {[answer](FarDialogItem* items) {
      EnterSearch(items, {.text = std::string("new"), .mode = 4, .inverse = true});
      return answer;
    }};
    EXPECT_EQ(OpenFromMenu(script), FAR_INVALID_HANDLE);
    EXPECT_EQ(script.shown, 1);
    EXPECT_TRUE(CallsOf("SaveScreen").empty());
    EXPECT_EQ(host_->activePanel().plugin, nullptr);
    RestartHost();
    EXPECT_EQ(ReadStoredText("FText"), "old");
    EXPECT_EQ(ReadStoredInt("FSearchAs"), 0);
    EXPECT_EQ(ReadStoredInt("FSInverse"), 0);
  }
}

TEST_F(SearchDialogTest, EveryModeFindsTheSameFromTheDialogAndFromTheCommandLine) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "alpha beta\ngamma\n");
  WriteFile(tree + "/b.txt", "ALPHA\r\ndelta epsilon\r\n");
  WriteFile(tree + "/c.txt", "zeta\neta\ntheta\n");
  const struct {
    int mode;
    const char* text;
    bool caseSensitive;
    std::vector<std::string> expected;
  } cases[] = {
      {0, "alpha", false, {"a.txt", "b.txt"}},
      {0, "alpha", true, {"a.txt"}},
      {1, "^gamma$", true, {"a.txt"}},
      {1, "^delta epsilon$", true, {"b.txt"}},  // the line without its CR LF
      {1, "beta\\ngamma", true, {}},            // no line end within a line
      {2, "beta\\ngamma", true, {"a.txt"}},
      {2, "epsilon$", true, {}},  // a CR stands before the end of the line
      {2, "epsilon\\r$", true, {"b.txt"}},
      {3, "zeta\\neta\\n", true, {"c.txt"}},  // windows of two lines
      {3, "zeta\\neta\\ntheta", true, {}},
      {3, "\\Atheta\\n\\z", true, {"c.txt"}},  // the last window shrinks to the last line
      {4, "+alpha -delta", false, {"a.txt"}},
      {4, "beta theta", true, {"a.txt", "c.txt"}},
      {5, "+^eta$ th.ta", true, {"c.txt"}},
      {5, "-^ALPHA", true, {"a.txt", "c.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + " " + c.text);
    RestartHost();
    WriteStoredInt("SeveralLines", 2);
    WriteStoredInt("FSearchIn", 2);
    StartTrawlix();
    ShowFolder(tree);
    ASSERT_EQ(SearchWith({.text = std::string(c.text), .mode = c.mode,
                          .caseSensitive = c.caseSensitive}),
              kResultsPanel);
    std::vector<std::string> expected = Prefixed(tree, c.expected);
    EXPECT_EQ(SortedPanelNames(), expected) << "from the dialog";
    EXPECT_EQ(ReadStoredInt("FSearchAs"), c.mode);

    // The command line keeps the stored mode and case.
    RestartHost();
    WriteStoredText("FText", "something else");
    StartTrawlix();
    ShowFolder(tree);
    ASSERT_EQ(Search(c.text), kResultsPanel);
    EXPECT_EQ(SortedPanelNames(), expected) << "from the command line";
  }
}

TEST_F(SearchDialogTest, LinquoTakesTheTextOfADialogSearch) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt"});
  const struct {
    int mode;
    std::string eText;
    int eRegExp;
  } cases[] = {{0, "needle", 0}, {1, "needle", 1}, {2, "editor text", 0}, {4, "editor text", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    RestartHost();
    WriteStoredInt("FSearchIn", 3);
    WriteStoredText("EText", "editor text");
    WriteStoredInt("ERegExp", 0);
    WriteStoredInt("ECaseSensitive", 0);
    StartTrawlix();
    ShowFolder(tree);
    ASSERT_EQ(SearchWith({.text = std::string("needle"), .mode = c.mode, .caseSensitive = true}),
              kResultsPanel);
    EXPECT_EQ(ReadStoredText("EText"), c.eText);
    EXPECT_EQ(ReadStoredInt("ERegExp"), c.eRegExp);
    EXPECT_EQ(ReadStoredInt("ECaseSensitive"), 1);
  }
}

}  // namespace
}  // namespace scenario
