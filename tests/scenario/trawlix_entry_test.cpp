// Trawlix's entry points as the host calls them: menus, where a search may start, and the
// hand-off of the search settings to Linquo.
#include <stdlib.h>

#include <string>
#include <vector>

#include "scenario/fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

using TrawlixEntryTest = ScenarioTest;

TEST_F(TrawlixEntryTest, MenuTextsAreLookedUpOnce) {
  host::Plugin* trawlix = LoadTrawlix();
  ASSERT_TRUE(trawlix);
  const std::string search = trawlix->messages.at(kMsgPluginTitle),
                    replace = trawlix->messages.at(kMsgReplaceTitle);
  PluginInfo info = host_->QueryPluginInfo(trawlix);
  EXPECT_EQ(+info.StructSize, static_cast<int>(sizeof(PluginInfo)));
  EXPECT_EQ(+info.Flags, 0u);
  EXPECT_EQ(+info.DiskMenuStringsNumber, 0);
  ASSERT_EQ(+info.PluginMenuStringsNumber, 2);
  EXPECT_EQ(info.PluginMenuStrings[0], search);
  EXPECT_EQ(info.PluginMenuStrings[1], replace);
  ASSERT_EQ(+info.PluginConfigStringsNumber, 1);
  EXPECT_EQ(info.PluginConfigStrings[0], search);
  EXPECT_STREQ(info.CommandPrefix, "ff");

  // The host's language changes: the old texts stay alive (as a host keeps them), and
  // the plugin goes on showing them.
  std::vector<std::string> oldTexts;
  oldTexts.swap(trawlix->messages);
  trawlix->messages.assign(oldTexts.size(), "changed");
  host_->calls.clear();
  info = host_->QueryPluginInfo(trawlix);
  EXPECT_EQ(info.PluginMenuStrings[0], search);
  EXPECT_EQ(info.PluginMenuStrings[1], replace);
  EXPECT_EQ(info.PluginConfigStrings[0], search);
  EXPECT_TRUE(CallsOf("GetMsg").empty());
  RestartHost();  // ExitFAR while oldTexts still holds what the plugin points at
}

TEST_F(TrawlixEntryTest, ASearchStartsOnlyFromAPlainFilePanel) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt"});
  WriteStoredInt("FSearchIn", 3);
  ASSERT_TRUE(LoadTrawlix());
  for (int type : {PTYPE_TREEPANEL, PTYPE_QVIEWPANEL, PTYPE_INFOPANEL}) {
    SCOPED_TRACE(type);
    ShowFolder(tree);
    host_->activePanel().type = type;
    host_->calls.clear();
    EXPECT_EQ(Search(), FAR_INVALID_HANDLE);
    EXPECT_TRUE(CallsOf("Message").empty());
    EXPECT_TRUE(CallsOf("SaveScreen").empty());
  }
  // A plugin panel (here the results panel itself) refuses too and stays as it is.
  ShowFolder(tree);
  ASSERT_EQ(Search(), kResultsPanel);
  std::vector<std::string> shown = PanelNames();
  host_->calls.clear();
  EXPECT_EQ(Search("other"), FAR_INVALID_HANDLE);
  EXPECT_TRUE(CallsOf("SaveScreen").empty());
  EXPECT_NE(host_->activePanel().plugin, nullptr);
  EXPECT_EQ(PanelNames(), shown);
}

TEST_F(TrawlixEntryTest, OnlyThePluginsMenuAndTheCommandLineStartACommand) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt"});
  host::Plugin* trawlix = LoadTrawlix();
  ASSERT_TRUE(trawlix);
  ShowFolder(tree);
  for (int openFrom : {OPEN_DISKMENU, OPEN_FINDLIST, OPEN_SHORTCUT, OPEN_EDITOR, OPEN_VIEWER}) {
    host_->calls.clear();
    EXPECT_EQ(host_->OpenPlugin(trawlix, openFrom, 0), FAR_INVALID_HANDLE) << openFrom;
    EXPECT_TRUE(host_->calls.empty()) << openFrom;
  }
  // The replace entry never runs a search.
  host_->calls.clear();
  EXPECT_EQ(host_->OpenPlugin(trawlix, OPEN_PLUGINSMENU, 1), FAR_INVALID_HANDLE);
  EXPECT_TRUE(CallsOf("SaveScreen").empty());
  EXPECT_EQ(host_->activePanel().plugin, nullptr);
}

TEST_F(TrawlixEntryTest, TheCommandLineTextBecomesTheSearchTextAsTyped) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt"});
  WriteStoredInt("FSearchIn", 3);
  WriteStoredText("FText", "old text");
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  ASSERT_EQ(Search("  spaced text  "), kResultsPanel);
  // The settings were saved for Linquo at the hand-off.
  EXPECT_EQ(ReadStoredText("FText"), "  spaced text  ");
  EXPECT_EQ(ReadStoredInt("FSearchIn"), 3);
}

TEST_F(TrawlixEntryTest, AfterASearchLinquoTakesTheTextModeAndCase) {
  const struct {
    const char* what;
    int mode;
    bool hostLoadsLinquo;
    std::string text;
    int regExp;
  } cases[] = {
      {"plain text, Linquo loaded by the host", 0, true, "needle", 0},
      {"a pattern, Linquo loaded by Trawlix only", 1, false, "ne+dle", 1},
      {"a window of lines: the editor keeps its text", 3, true, "editor text", 1},
      {"a word list: the editor keeps its text", 5, false, "editor text", 1},
  };
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RestartHost();
    WriteStoredInt("FSearchIn", 3);
    WriteStoredInt("FSearchAs", c.mode);
    WriteStoredInt("FCaseSensitive", 1);
    WriteStoredText("EText", "editor text");
    WriteStoredInt("ERegExp", 1);
    WriteStoredInt("ECaseSensitive", 0);
    WriteStoredText("ERReplace", "kept");
    ASSERT_TRUE(LoadTrawlix());
    if (c.hostLoadsLinquo) {
      ASSERT_TRUE(LoadLinquo());
    }
    ShowFolder(tree);
    std::string typed = c.mode == 1 ? "ne+dle" : "needle";
    ASSERT_EQ(Search(typed), kResultsPanel);
    // Before any ExitFAR: what ReloadEText wrote.
    EXPECT_EQ(ReadStoredText("EText"), c.text);
    EXPECT_EQ(ReadStoredInt("ERegExp"), c.regExp);
    EXPECT_EQ(ReadStoredInt("ECaseSensitive"), 1) << "the case setting follows in every mode";
    EXPECT_EQ(ReadStoredText("ERReplace"), "kept");
    EXPECT_EQ(ReadStoredText("FText"), typed);
  }
}

TEST_F(TrawlixEntryTest, WithoutLinquoTheStoreIsUntouchedUntilExit) {
  std::string alone = Folder("alone");
  fs::copy_file(kBinDir + "/Trawlix.so", alone + "/Trawlix.so");
  for (const auto& entry : fs::directory_iterator(kBinDir))
    if (entry.path().extension() == ".lng")
      fs::copy_file(entry.path(), alone / entry.path().filename());
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "a typed text");  // found by the text too
  WriteStoredInt("FSearchIn", 3);
  WriteStoredText("FText", "stored");
  ASSERT_TRUE(LoadTrawlix(alone));
  ShowFolder(tree);
  ASSERT_EQ(Search("typed"), kResultsPanel);
  EXPECT_EQ(PanelNames(), (std::vector<std::string>{tree + "/a.txt"}));
  EXPECT_EQ(ReadStoredText("FText"), "stored");
  EXPECT_FALSE(ReadStored("FMask"));
  EXPECT_FALSE(ReadStored("EText"));
  RestartHost();
  EXPECT_EQ(ReadStoredText("FText"), "typed");
  EXPECT_EQ(ReadStoredText("FMask"), "*.*");
}

TEST_F(TrawlixEntryTest, ALinquoWithoutReloadETextIsSkippedSafely) {
  std::string folder = Folder("partial");
  fs::copy_file(kBinDir + "/Trawlix.so", folder + "/Trawlix.so");
  fs::copy_file(std::string(QUARIX_PARTIAL_LINQUO_DIR) + "/Linquo.so", folder + "/Linquo.so");
  for (const auto& entry : fs::directory_iterator(kBinDir))
    if (entry.path().extension() == ".lng")
      fs::copy_file(entry.path(), folder / entry.path().filename());
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "a typed text");  // found by the text too
  WriteStoredInt("FSearchIn", 3);
  Environment called("QUARIX_PARTIAL_LINQUO", std::nullopt);
  ASSERT_TRUE(LoadTrawlix(folder));
  ShowFolder(tree);
  ASSERT_EQ(Search("typed"), kResultsPanel);
  EXPECT_EQ(PanelNames(), (std::vector<std::string>{tree + "/a.txt"}));
  // It was loaded and given Trawlix's own startup record; the settings were saved first.
  const char* module = getenv("QUARIX_PARTIAL_LINQUO");
  ASSERT_NE(module, nullptr) << "SetStartupInfo was not called";
  EXPECT_EQ(std::string(module), folder + "/Trawlix.so");
  EXPECT_EQ(ReadStoredText("FText"), "typed");
  EXPECT_FALSE(ReadStored("EText"));
}

}  // namespace
}  // namespace scenario
