// Trawlix.dll and Linquo.dll as the host sees them: loading, menus, settings in the
// registry, a search, a replace on both read paths, and the hand-off to Linquo.
#include <string>
#include <vector>

#include "win32/scenario/fixture.h"

namespace win32scenario {
namespace {

using Tree = std::map<std::string, std::string>;
using win32test::ReadBytes;
using win32test::WriteBytes;

TEST_F(DllTest, BothDllsLoadWithTheirEntryPointsMenusAndLanguageFiles) {
  host::Plugin* trawlix = Load("Trawlix.dll");
  ASSERT_NE(trawlix, nullptr);
  for (void* entry : {reinterpret_cast<void*>(trawlix->SetStartupInfo),
                      reinterpret_cast<void*>(trawlix->GetPluginInfo),
                      reinterpret_cast<void*>(trawlix->OpenPlugin),
                      reinterpret_cast<void*>(trawlix->ExitFAR),
                      reinterpret_cast<void*>(trawlix->Configure),
                      reinterpret_cast<void*>(trawlix->GetOpenPluginInfo),
                      reinterpret_cast<void*>(trawlix->GetFindData),
                      reinterpret_cast<void*>(trawlix->SetDirectory),
                      reinterpret_cast<void*>(trawlix->ProcessKey),
                      reinterpret_cast<void*>(trawlix->ClosePlugin)})
    EXPECT_NE(entry, nullptr);
  EXPECT_NE(trawlix->languageFile.find("QuarixEng.lng"), std::string::npos);
  trawlix->GetPluginInfo(&trawlix->info);
  EXPECT_EQ(trawlix->info.PluginMenuStringsNumber, 2);
  EXPECT_EQ(trawlix->info.PluginConfigStringsNumber, 1);
  ASSERT_NE(trawlix->info.CommandPrefix, nullptr);
  EXPECT_STREQ(trawlix->info.CommandPrefix, "ff");

  host::Plugin* linquo = Load("Linquo.dll");
  ASSERT_NE(linquo, nullptr);
  linquo->GetPluginInfo(&linquo->info);
  EXPECT_EQ(linquo->info.PluginMenuStringsNumber, 3);
  EXPECT_NE(linquo->info.Flags & PF_EDITOR, 0u);
  EXPECT_NE(linquo->info.Flags & PF_DISABLEPANELS, 0u);
}

TEST_F(DllTest, SettingsAreWrittenToTheRegistryAndSurviveARestart) {
  ASSERT_NE(Load("Trawlix.dll"), nullptr);
  RestartHost();  // ExitFAR saves every value
  EXPECT_EQ(StoredText("FMask"), "*.*");
  EXPECT_EQ(StoredText("FText"), "");
  EXPECT_EQ(StoredInt("FSearchAs"), 1);
  EXPECT_EQ(StoredInt("FSearchIn"), 1);
  EXPECT_EQ(StoredInt("SeveralLines"), 5);
  EXPECT_EQ(StoredInt("ReadAtOnceLimit"), 1024);
  EXPECT_EQ(StoredInt("MaskDelimiter"), ',');
  EXPECT_EQ(StoredInt("MaskNegation"), '!');

  StoreInt("FSearchAs", 5);
  StoreInt("FSearchIn", 4);
  StoreInt("SeveralLines", -3);  // below its bound: the default
  StoreInt("MaskDelimiter", 0xB3);
  ASSERT_NE(Load("Trawlix.dll"), nullptr);
  RestartHost();
  EXPECT_EQ(StoredInt("FSearchAs"), 5);
  EXPECT_EQ(StoredInt("FSearchIn"), 4);
  EXPECT_EQ(StoredInt("SeveralLines"), 5);
  EXPECT_EQ(StoredInt("MaskDelimiter"), 0xB3);
}

TEST_F(DllTest, CommandLineSearchShowsTheFoundFilesAndHandsTheTextToLinquo) {
  const std::string tree = Folder("tree");
  WriteBytes(tree + "\\a.txt", "Alpha beta\r\n");
  WriteBytes(tree + "\\b.c", "alpha\ngamma\n");
  WriteBytes(tree + "\\sub\\c.txt", "beta alpha\n");
  WriteBytes(tree + "\\sub\\d.txt", "nothing\n");
  StoreInt("FSearchIn", 2);  // the folder and its subfolders
  StoreInt("FSearchAs", 0);  // plain text
  StoreInt("FCaseSensitive", 1);
  StoreText("FMask", "*.txt");
  StoreText("EText", "old editor text");
  host::Plugin* trawlix = Load("Trawlix.dll");
  ASSERT_NE(trawlix, nullptr);
  ShowFolder(tree);
  scenario::AcknowledgeMessages(*host_);
  ASSERT_EQ(host_->RunCommandLine("ff:alpha"), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(), (std::vector<std::string>{tree + "\\sub\\c.txt"}));
  EXPECT_EQ(StoredText("FText"), "alpha");
  // The hand-off: Trawlix loaded Linquo.dll from its own folder and called ReloadEText.
  EXPECT_EQ(StoredText("EText"), "alpha");
  EXPECT_EQ(StoredInt("ERegExp"), 0);
  EXPECT_EQ(StoredInt("ECaseSensitive"), 1);

  // A pattern, caseless, over every file.
  RestartHost();
  StoreInt("FSearchAs", 1);
  StoreInt("FCaseSensitive", 0);
  StoreText("FMask", "*.*");
  ASSERT_NE(Load("Trawlix.dll"), nullptr);
  ShowFolder(tree);
  scenario::AcknowledgeMessages(*host_);
  ASSERT_EQ(host_->RunCommandLine("ff:^alpha"), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(), (std::vector<std::string>{tree + "\\a.txt", tree + "\\b.c"}));
}

TEST_F(DllTest, PatternErrorIsShownAndNothingIsSearched) {
  StoreInt("FSearchIn", 3);
  StoreInt("FSearchAs", 1);
  ASSERT_NE(Load("Trawlix.dll"), nullptr);
  ShowFolder(Folder("tree"));
  std::vector<host::MessageRequest> shown;
  host_->driver.message = [&](const host::MessageRequest& request) {
    if (request.buttons > 0) shown.push_back(request);
    return 0;
  };
  EXPECT_NE(host_->RunCommandLine("ff:a(b"), kResultsPanel);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].helpTopic, "RegExpError");
  // PCRE2's own words for the fault, as on Linux.
  std::string text;
  for (const std::string& line : shown[0].lines) text += line + "|";
  EXPECT_NE(text.find("missing closing parenthesis"), std::string::npos) << text;
}

class ReplaceDllTest : public DllTest {
 protected:
  HANDLE Replace(const std::string& folder, const std::string& text, const std::string& with,
                 bool backup, int readAtOnceLimit) {
    StoreText("FText", text);
    StoreText("FRReplace", with);
    StoreText("FMask", "*");
    StoreInt("FSearchAs", 0);
    StoreInt("FSearchIn", 3);
    StoreInt("FRSaveOriginal", backup);
    StoreInt("FROpenModified", 0);
    StoreInt("FRConfirmFile", 0);
    StoreInt("FRConfirmLine", 0);
    StoreInt("ReadAtOnceLimit", readAtOnceLimit);
    host::Plugin* trawlix = Load("Trawlix.dll");
    if (!trawlix) return FAR_INVALID_HANDLE;
    if (!host_->ShowFolder(host_->activePanel(), folder)) return FAR_INVALID_HANDLE;
    script_ = scenario::DialogScript{};
    script_.steps = {[](FarDialogItem*) { return kReplaceStartButton; }};
    script_.Attach(*host_);
    scenario::AcknowledgeMessages(*host_);
    return host_->OpenPlugin(trawlix, OPEN_PLUGINSMENU, kReplaceMenuItem);
  }
  scenario::DialogScript script_;
};

TEST_F(ReplaceDllTest, FilesAreRewrittenOnTheMemoryAndTheMappingPath) {
  // ReadAtOnceLimit 0 sends every non-empty file through a real file mapping.
  for (int limit : {1024, 0}) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE("ReadAtOnceLimit " + std::to_string(limit) + (backup ? ", backup" : ""));
      RestartHost();
      const std::string tree =
          Folder("tree-" + std::to_string(limit) + (backup ? "-b" : ""));
      WriteBytes(tree + "\\a.txt", "foo bar\r\nfoo\r\n");
      WriteBytes(tree + "\\b.txt", "nothing here\n");
      WriteBytes(tree + "\\empty.txt", "");
      Replace(tree, "foo", "X", backup, limit);
      EXPECT_EQ(script_.helpTopics, (std::vector<std::string>{"FileReplaceDlg"}));
      Tree expected = {{"a.txt", "X bar\r\nX\r\n"}, {"b.txt", "nothing here\n"}, {"empty.txt", ""}};
      if (backup) expected["a.txt.old"] = "foo bar\r\nfoo\r\n";
      EXPECT_EQ(ReadTree(tree), expected);
    }
  }
}

TEST_F(ReplaceDllTest, AnExistingBackupNameLeavesTheFileUnchanged) {
  // MoveFileA will not replace the file under the backup name: nothing changes.
  for (int limit : {1024, 0}) {
    SCOPED_TRACE(limit);
    RestartHost();
    const std::string tree = Folder("tree-" + std::to_string(limit));
    WriteBytes(tree + "\\notes.txt", "foo\n");
    WriteBytes(tree + "\\notes.txt.old", "keep me");
    Replace(tree, "foo", "X", true, limit);
    EXPECT_EQ(ReadTree(tree), (Tree{{"notes.txt", "foo\n"}, {"notes.txt.old", "keep me"}}));
  }
}

TEST_F(ReplaceDllTest, AReadOnlyFileIsLeftAsItWas) {
  for (int limit : {1024, 0}) {
    SCOPED_TRACE(limit);
    RestartHost();
    const std::string tree = Folder("ro-" + std::to_string(limit));
    const std::string file = tree + "\\locked.txt";
    WriteBytes(file, "foo\n");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    Replace(tree, "foo", "X", false, limit);
    EXPECT_EQ(ReadBytes(file), "foo\n");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadTree(tree), (Tree{{"locked.txt", "foo\n"}}));  // no temporary file left
  }
}

}  // namespace
}  // namespace win32scenario
