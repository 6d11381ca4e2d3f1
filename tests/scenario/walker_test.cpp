// The walk of each search scope, as the results panel shows it after "ff:" with no text
// (every file that passes the masks is listed).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "scenario/fixture.h"
#include "scenario/piped_input.h"

namespace scenario {
namespace {

using Names = std::vector<std::string>;

class WalkerTest : public ScenarioTest {
 protected:
  // Loads Trawlix with the scope (and a mask list) stored, and searches from folder.
  HANDLE SearchIn(int scope, const std::string& folder, const char* masks = nullptr) {
    WriteStoredInt("FSearchIn", scope);
    if (masks) WriteStoredText("FMask", masks);
    if (!LoadTrawlix()) return FAR_INVALID_HANDLE;
    if (!host_->ShowFolder(host_->activePanel(), folder)) return FAR_INVALID_HANDLE;
    return Search();
  }

  Names Prefixed(const std::string& base, Names names) {
    for (std::string& name : names) name = base + "/" + name;
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(WalkerTest, FolderScopesWithAndWithoutSubfolders) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"top.txt", "sub/mid.txt", "sub/deeper/low.txt", ".hidden/secret.txt", "empty/"});
  const struct {
    int scope;
    Names expected;
  } cases[] = {
      {2, {"top.txt", "sub/mid.txt", "sub/deeper/low.txt", ".hidden/secret.txt"}},
      {3, {"top.txt"}},
      // Values no dialog writes walk like 2.
      {5, {"top.txt", "sub/mid.txt", "sub/deeper/low.txt", ".hidden/secret.txt"}},
      {1000, {"top.txt", "sub/mid.txt", "sub/deeper/low.txt", ".hidden/secret.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scope);
    RestartHost();
    ASSERT_EQ(SearchIn(c.scope, tree), kResultsPanel);
    EXPECT_EQ(SortedPanelNames(), Prefixed(tree, c.expected));
  }
}

TEST_F(WalkerTest, AFoldersFilesComeBeforeItsSubfolders) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a/inner.txt", "z.txt", "b/c/deep.txt", "b/mid.txt"});
  ASSERT_EQ(SearchIn(2, tree), kResultsPanel);
  Names names = PanelNames();
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], tree + "/z.txt");
  auto at = [&](const std::string& name) {
    return std::find(names.begin(), names.end(), tree + "/" + name) - names.begin();
  };
  EXPECT_LT(at("b/mid.txt"), at("b/c/deep.txt"));
}

TEST_F(WalkerTest, OnlyFilesPassingTheMasksAreListed) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.c", "b.h", "c.txt", "Makefile", "sub.c/inner.h"});
  ASSERT_EQ(SearchIn(2, tree, "*.c,*.h"), kResultsPanel);
  // Masks choose files only: the folder "sub.c" is walked because it is a folder.
  EXPECT_EQ(SortedPanelNames(), Prefixed(tree, {"a.c", "b.h", "sub.c/inner.h"}));
}

TEST_F(WalkerTest, LinksToFoldersAreNotEnteredLinksToFilesAreListed) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"real/inside.txt", "target.txt"});
  fs::create_directory_symlink(tree + "/real", tree + "/folder-link");
  fs::create_directory_symlink(tree, tree + "/real/loop");  // would walk forever
  fs::create_symlink(tree + "/target.txt", tree + "/file-link.txt");
  ASSERT_EQ(SearchIn(2, tree), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(), Prefixed(tree, {"file-link.txt", "real/inside.txt", "target.txt"}));
}

TEST_F(WalkerTest, PathsLongerThanTheBufferAreSkippedNotCut) {
  std::string tree = Folder("tree");
  // Folder paths of about 250 characters: some names still fit behind them, others not.
  std::string deep = tree;
  while (deep.size() < 230)
    deep += "/" + std::string(std::min<std::size_t>(100, 240 - deep.size()), 'd');
  ASSERT_LT(deep.size(), 250u);
  std::size_t room = 259 - (deep.size() + 1);  // characters left for a name
  std::string fits(room, 'f');
  std::string tooLong(room + 1, 'g');
  MakeTree(deep, {fits, tooLong, "short.txt"});
  std::string below = deep + "/" + std::string(30, 'e');
  MakeTree(below, {"x.txt"});
  ASSERT_EQ(SearchIn(2, tree), kResultsPanel);
  Names expected = {deep + "/" + fits, deep + "/short.txt"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(SortedPanelNames(), expected);
  for (const std::string& name : PanelNames()) EXPECT_LT(name.size(), 260u);
}

TEST_F(WalkerTest, DeepTreesAreWalkedWithEveryLevelHeldOpen) {
  // As many levels of one-letter folders as the path buffer holds, a file on each: every
  // level's folder is open while the levels below it are walked.
  std::string tree = Folder("tree");
  Names expected;
  std::string level = tree + "/";
  while (level.size() + 3 < 259) {
    level += "d/";
    expected.push_back(level + "f");
  }
  ASSERT_GT(expected.size(), 60u);
  for (const std::string& name : expected) WriteFile(name, "found " + name);
  WriteStoredInt("FSearchIn", 2);
  WriteStoredInt("FSearchAs", 0);
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  ASSERT_EQ(Search("found"), kResultsPanel);
  // Depth first: each file is listed before the one a level below it.
  EXPECT_EQ(PanelNames(), expected);
}

TEST_F(WalkerTest, FilesFoundByTheirTextCarryTheListingsRecord) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"plain.txt", ".hidden", "readonly", "sub/inner.txt", "missed.txt"});
  for (const char* name : {"plain.txt", ".hidden", "readonly", "sub/inner.txt"})
    WriteFile(tree + "/" + name, std::string("a hit in ") + name);
  chmod((tree + "/readonly").c_str(), 0444);
  fs::create_symlink(tree + "/plain.txt", tree + "/link.txt");
  timespec times[2] = {{1000000000, 123456700}, {1000000001, 999999900}};
  ASSERT_EQ(utimensat(AT_FDCWD, (tree + "/sub/inner.txt").c_str(), times, 0), 0);
  WriteStoredInt("FSearchIn", 2);
  WriteStoredInt("FSearchAs", 0);
  // What the folders' listings report for each name, before and after the search: the
  // panel shows the same record, as the walk found the file. Only the access time may
  // move while the search reads the files (link.txt is found after plain.txt was read).
  const auto listFolders = [&] {
    std::map<std::string, platform::FileRecord> listed;
    for (const std::string& folder : {tree + "/", tree + "/sub/"}) {
      platform::Listing* listing = platform::OpenListing(folder.c_str());
      EXPECT_NE(listing, nullptr);
      platform::FileRecord entry;
      while (platform::NextListingEntry(listing, &entry)) listed[folder + entry.cFileName] = entry;
      platform::CloseListing(listing);
    }
    return listed;
  };
  std::map<std::string, platform::FileRecord> before = listFolders();
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  ASSERT_EQ(Search("hit"), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(),
            Prefixed(tree, {".hidden", "link.txt", "plain.txt", "readonly", "sub/inner.txt"}));
  std::map<std::string, platform::FileRecord> after = listFolders();

  // Each field of the packed panel record is read as a value, never bound to a reference.
  const auto ticks = [](auto t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  for (const PluginPanelItem& item : host_->activePanel().items) {
    if (std::strcmp(item.FindData.cFileName, "..") == 0) continue;
    SCOPED_TRACE(item.FindData.cFileName);
    ASSERT_TRUE(before.count(item.FindData.cFileName));
    const platform::FileRecord& expected = before[item.FindData.cFileName];
    const FarFindData& shown = item.FindData;
    EXPECT_LE(ticks(expected.ftLastAccessTime), ticks(shown.ftLastAccessTime));
    EXPECT_LE(ticks(shown.ftLastAccessTime), ticks(after[shown.cFileName].ftLastAccessTime));
    // Every other field exactly as the listing has it.
    EXPECT_EQ(+shown.dwFileAttributes, expected.dwFileAttributes);
    EXPECT_EQ(ticks(shown.ftCreationTime), ticks(expected.ftCreationTime));
    EXPECT_EQ(ticks(shown.ftLastWriteTime), ticks(expected.ftLastWriteTime));
    EXPECT_EQ(+shown.nFileSizeHigh, expected.nFileSizeHigh);
    EXPECT_EQ(+shown.nFileSizeLow, expected.nFileSizeLow);
    EXPECT_EQ(+shown.dwReserved0, expected.dwReserved0);
    EXPECT_EQ(+shown.dwReserved1, expected.dwReserved1);
    EXPECT_EQ(std::memcmp(shown.cAlternateFileName, expected.cAlternateFileName,
                          sizeof shown.cAlternateFileName),
              0);
  }
}

TEST_F(WalkerTest, SelectedFoldersScope) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a/one.txt", "a/deep/two.txt", "b/three.txt", "c/four.txt", "plain.txt"});
  fs::create_directory_symlink(tree + "/b", tree + "/b-link");
  const struct {
    const char* what;
    std::vector<std::string> selected;
    std::string current;
    Names expected;
  } cases[] = {
      {"two folders", {"a", "c"}, "", {"a/one.txt", "a/deep/two.txt", "c/four.txt"}},
      {"a folder and a file", {"c", "plain.txt"}, "", {"c/four.txt"}},
      {"plain files only", {"plain.txt"}, "", {}},
      {"the current folder, nothing selected", {}, "b", {"b/three.txt"}},
      {"only the dots entry", {}, "..", {}},
      {"a link to a folder", {"b-link"}, "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RestartHost();
    WriteStoredInt("FSearchIn", 4);
    ASSERT_TRUE(LoadTrawlix());
    ShowFolder(tree);
    for (const std::string& name : c.selected) {
      ASSERT_TRUE(host_->SelectItem(host_->activePanel(), name));
    }
    if (!c.current.empty()) {
      ASSERT_TRUE(host_->SetCurrentItem(host_->activePanel(), c.current));
    }
    // An empty result still opens the (empty) results panel.
    ASSERT_EQ(Search(), kResultsPanel);
    EXPECT_EQ(SortedPanelNames(), Prefixed(tree, c.expected));
  }
}

TEST_F(WalkerTest, SelectedFoldersOnAnEmptyPanelOpenNoPanel) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a/one.txt"});
  WriteStoredInt("FSearchIn", 4);
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  host_->activePanel().items.clear();
  host_->activePanel().selected.clear();
  EXPECT_EQ(Search(), FAR_INVALID_HANDLE);
  EXPECT_EQ(host_->activePanel().plugin, nullptr);
  EXPECT_TRUE(CallsOf("SaveScreen").empty());
  // A failed command hands nothing to Linquo, so nothing is saved before the exit.
  EXPECT_FALSE(ReadStored("FText"));
  EXPECT_FALSE(ReadStored("EText"));
}

TEST_F(WalkerTest, AllLocalDrivesWalksFixedRemoteAndRamDrivesInLetterOrder) {
  std::string list;
  const struct {
    char letter;
    const char* type;
  } drives[] = {{'H', "fixed"},     {'C', "fixed"}, {'D', "cdrom"},   {'E', "remote"},
                {'F', "removable"}, {'G', "ram"},   {'I', "unknown"}, {'J', "noroot"}};
  for (const auto& d : drives) {
    std::string root = Folder(std::string("drive-") + d.letter);
    MakeTree(root,
             {std::string(1, d.letter) + ".txt", "sub/" + std::string(1, d.letter) + "2.txt"});
    if (!list.empty()) list += ",";
    list += std::string(1, d.letter) + "=" + root + ":" + d.type;
  }
  Environment env("QUARIX_DRIVES", list);
  ASSERT_EQ(SearchIn(0, Folder("elsewhere")), kResultsPanel);
  Names expected;
  for (char letter : {'C', 'E', 'G', 'H'}) {
    std::string root = root_ + "/drive-" + letter;
    expected.push_back(root + "/" + letter + ".txt");
    expected.push_back(root + "/sub/" + letter + "2.txt");
  }
  EXPECT_EQ(PanelNames(), expected);
}

TEST_F(WalkerTest, CurrentDriveWalksFromTheRootOfThePanelsDrive) {
  std::string drive = Folder("drive");
  MakeTree(drive, {"root.txt", "work/src/here.txt", "other/there.txt"});
  MakeTree(root_, {"outside.txt"});
  Environment env("QUARIX_DRIVES", "C=" + root_ + "/elsewhere:fixed,D=" + drive + ":fixed");
  ASSERT_EQ(SearchIn(1, drive + "/work/src"), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(),
            Prefixed(drive, {"other/there.txt", "root.txt", "work/src/here.txt"}));
}

TEST_F(WalkerTest, CurrentDriveWithoutAKnownRootWalksThePanelsFolder) {
  std::string drive = Folder("drive");
  MakeTree(drive, {"root.txt", "work/here.txt", "work/sub/below.txt"});
  Environment env("QUARIX_DRIVES", "C=" + root_ + "/unrelated:fixed");
  ASSERT_EQ(SearchIn(1, drive + "/work"), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(), Prefixed(drive, {"work/here.txt", "work/sub/below.txt"}));
}

TEST_F(WalkerTest, EscapeStopsTheWalkAndTheResultsSoFarAreShown) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt", "b.txt", "c.txt", "sub/d.txt", "sub2/e.txt"});
  PipedInput input("\x1b");
  ASSERT_TRUE(input.ok());
  WriteStoredInt("Threads", 1);
  ASSERT_EQ(SearchIn(2, tree), kResultsPanel);
  // The file under way completes; nothing after it is taken.
  EXPECT_EQ(PanelNames().size(), 1u);
  EXPECT_EQ(CallsOf("SaveScreen").size(), 1u) << "no subfolder is entered";
  // No message tells of the stop: the one message is the first folder's progress.
  EXPECT_EQ(CallsOf("Message").size(), 1u);
}

TEST_F(WalkerTest, EscapeStopsTheWorkersBeforeAnythingTheyTestedAfterIsTaken) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt", "b.txt", "c.txt", "sub/d.txt", "sub2/e.txt"});
  PipedInput input("\x1b");
  ASSERT_TRUE(input.ok());
  WriteStoredInt("Threads", 2);
  WriteStoredInt("FSearchIn", 2);
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  // Each file holds its name: the text is in every file, which the workers read.
  ASSERT_EQ(Search(".txt"), kResultsPanel);
  // Escape is seen as soon as the first file is queued: whatever the workers made of it
  // comes after the stop and is dropped.
  EXPECT_TRUE(PanelNames().empty());
  EXPECT_EQ(CallsOf("SaveScreen").size(), 1u) << "no subfolder is entered";
  EXPECT_EQ(CallsOf("Message").size(), 1u);
}

TEST_F(WalkerTest, OtherKeysTypedDuringASearchAreSwallowed) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt", "sub/b.txt"});
  PipedInput input("typed\x1b[A");  // letters and an arrow key, no Escape
  ASSERT_TRUE(input.ok());
  ASSERT_EQ(SearchIn(2, tree), kResultsPanel);
  EXPECT_EQ(PanelNames().size(), 2u);
  char left;
  EXPECT_EQ(read(0, &left, 1), 0) << "the typed keys were consumed";
}

TEST_F(WalkerTest, EachFolderShowsItsProgressOnASavedScreen) {
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.txt", "x.log", "sub/b.txt", "sub/y.log", "none/z.log"});
  host::Plugin* trawlix = nullptr;
  WriteStoredInt("FSearchIn", 2);
  WriteStoredText("FMask", "*.txt");
  // The counts of one thread: with workers the count shown lags behind the walk.
  WriteStoredInt("Threads", 1);
  ASSERT_TRUE(trawlix = LoadTrawlix());
  ShowFolder(tree);
  host_->calls.clear();
  ASSERT_EQ(Search(), kResultsPanel);

  std::vector<const host::ServiceCall*> screen;
  for (const host::ServiceCall& call : host_->calls)
    if (call.service == "SaveScreen" || call.service == "RestoreScreen" ||
        call.service == "Message")
      screen.push_back(&call);
  ASSERT_EQ(screen.size(), 9u) << "three folders, each saved, shown and restored";
  const std::vector<std::string>& text = trawlix->messages;
  // Each message counts the files of the folders shown before it.
  const std::map<std::string, int> passing = {
      {tree + "/", 1}, {tree + "/sub/", 1}, {tree + "/none/", 0}};
  int counted = 0;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < screen.size(); i += 3) {
    const host::ServiceCall& save = *screen[i];
    const host::ServiceCall& message = *screen[i + 1];
    const host::ServiceCall& restore = *screen[i + 2];
    ASSERT_EQ(save.service, "SaveScreen");
    EXPECT_EQ(save.args, (std::vector<std::intptr_t>{0, 0, -1, -1}));
    ASSERT_EQ(message.service, "Message");
    EXPECT_EQ(message.args, (std::vector<std::intptr_t>{0, 4, 0})) << "flags, lines, buttons";
    EXPECT_EQ(message.moduleNumber, trawlix->number);
    ASSERT_EQ(message.texts.size(), 5u);
    EXPECT_EQ(message.texts[0], "") << "no help topic";
    EXPECT_EQ(message.texts[1], text.at(7));
    const std::string& folder = message.texts[2];
    folders.push_back(folder);
    // Every file that passes the masks is listed here, so both counts are the same.
    EXPECT_EQ(message.texts[3], ExpectedCountLine(text.at(24), counted));
    EXPECT_EQ(message.texts[4], ExpectedCountLine(text.at(25), counted));
    ASSERT_EQ(restore.service, "RestoreScreen");
    EXPECT_EQ(restore.args, (std::vector<std::intptr_t>{save.result}));
    ASSERT_TRUE(passing.count(folder)) << folder;
    counted += passing.at(folder);
  }
  EXPECT_EQ(folders.front(), tree + "/");
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{tree + "/", tree + "/none/", tree + "/sub/"}));
  EXPECT_TRUE(host_->savedScreens.empty());
}

}  // namespace
}  // namespace scenario
