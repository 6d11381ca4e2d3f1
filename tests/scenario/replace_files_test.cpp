// What a replace run leaves on disk: new contents, backups, permission bits, links, and
// the list of rewritten files.
#include <unistd.h>

#include "scenario/replace_fixture.h"

namespace scenario {
namespace {

using Tree = std::map<std::string, std::string>;

TEST_F(ReplaceTest, BackupRulesOnBothPaths) {
  for (const Path& path : kPaths) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE(std::string(path.name) + (backup ? " with backup" : " without backup"));
      RestartHost();
      std::string tree = Folder(std::string("tree-") + path.name + (backup ? "-b" : ""));
      WriteFile(tree + "/a.txt", "foo bar\nfoo\n");
      WriteFile(tree + "/b.txt", "nothing here\n");
      WriteFile(tree + "/empty.txt", "");
      ReplaceOptions o{.text = "foo", .with = "X", .backup = backup,
                       .readAtOnceLimit = path.readAtOnceLimit};
      EXPECT_EQ(Replace(tree, o), FAR_INVALID_HANDLE);  // no list asked for
      Tree expected = {{"a.txt", "X bar\nX\n"}, {"b.txt", "nothing here\n"}, {"empty.txt", ""}};
      if (backup) expected["a.txt.old"] = "foo bar\nfoo\n";
      EXPECT_EQ(ReadTree(tree), expected);
    }
  }
}

TEST_F(ReplaceTest, AnExistingBackupNameLeavesTheFileUnchanged) {
  for (const Path& path : kPaths) {
    SCOPED_TRACE(path.name);
    RestartHost();
    questions.clear();
    std::string tree = Folder(std::string("tree-") + path.name);
    WriteFile(tree + "/notes.txt", "foo\n");
    WriteFile(tree + "/notes.txt.old", "keep me");
    ReplaceOptions o{.text = "foo", .with = "X", .mask = "notes.txt", .backup = true,
                     .confirmFile = true, .readAtOnceLimit = path.readAtOnceLimit};
    Replace(tree, o);
    EXPECT_EQ(ReadTree(tree), (Tree{{"notes.txt", "foo\n"}, {"notes.txt.old", "keep me"}}));
    EXPECT_TRUE(Shown("FRConfirmFile").empty());  // left before any question
  }
}

TEST_F(ReplaceTest, WithoutBackupAnOldFileBesideItDoesNotMatter) {
  // The new version needs no rename to the backup name, on the mapping path neither.
  std::string tree = Folder("tree");
  WriteFile(tree + "/notes.txt", "foo\n");
  WriteFile(tree + "/notes.txt.old", "keep me");
  ReplaceOptions o{.text = "foo", .with = "X", .mask = "notes.txt", .readAtOnceLimit = 0};
  Replace(tree, o);
  EXPECT_EQ(ReadTree(tree), (Tree{{"notes.txt", "X\n"}, {"notes.txt.old", "keep me"}}));
}

TEST_F(ReplaceTest, PermissionBitsAreKept) {
  for (const Path& path : kPaths) {
    SCOPED_TRACE(path.name);
    RestartHost();
    std::string tree = Folder(std::string("tree-") + path.name);
    const std::pair<const char*, unsigned> files[] = {
        {"/run.sh", 0755}, {"/private.txt", 0600}, {"/readonly.txt", 0444}, {"/group.txt", 0640}};
    for (const auto& [name, mode] : files) {
      WriteFile(tree + name, "foo");
      ASSERT_EQ(chmod((tree + name).c_str(), mode), 0);
    }
    Replace(tree, {.text = "foo", .with = "bar", .readAtOnceLimit = path.readAtOnceLimit});
    for (const auto& [name, mode] : files) {
      EXPECT_EQ(ReadFile(tree + name), "bar") << name;
      EXPECT_EQ(ModeOf(tree + name), mode) << name;
    }
  }
}

TEST_F(ReplaceTest, ALinkedFileIsRewrittenThroughTheLink) {
  for (const Path& path : kPaths) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE(std::string(path.name) + (backup ? " with backup" : ""));
      RestartHost();
      std::string base = Folder(std::string("links-") + path.name + (backup ? "-b" : ""));
      std::string tree = base + "/tree", real = base + "/real";
      WriteFile(real + "/target.txt", "foo\n");
      fs::create_directories(tree);
      fs::create_symlink("../real/target.txt", tree + "/link.txt");
      Replace(tree, {.text = "foo", .with = "X", .backup = backup,
                     .readAtOnceLimit = path.readAtOnceLimit});
      EXPECT_TRUE(fs::is_symlink(tree + "/link.txt"));
      EXPECT_EQ(ReadTree(tree), (Tree{{"link.txt", "-> ../real/target.txt"}}));
      Tree expected = {{"target.txt", "X\n"}};
      if (backup) expected["target.txt.old"] = "foo\n";
      EXPECT_EQ(ReadTree(real), expected);
    }
  }
}

TEST_F(ReplaceTest, TheListHoldsTheRewrittenFiles) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "foo");
  WriteFile(tree + "/b.txt", "bar");
  WriteFile(tree + "/sub/c.txt", "a foo");
  ASSERT_EQ(Replace(tree, {.text = "foo", .with = "X", .scope = 2, .list = true}), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(), (std::vector<std::string>{tree + "/a.txt", tree + "/sub/c.txt"}));
  // The settings were handed over (and so saved) after the walk.
  EXPECT_EQ(ReadStoredText("FRReplace"), "X");
}

TEST_F(ReplaceTest, NoFileRewrittenOpensAnEmptyList) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "bar");
  ASSERT_EQ(Replace(tree, {.text = "foo", .with = "X", .list = true}), kResultsPanel);
  EXPECT_TRUE(PanelNames().empty());
}

TEST_F(ReplaceTest, ByteExactRewriteInEachMode) {
  const struct {
    int mode;
    std::string text, with, content, expected;
  } cases[] = {
      {0, "wor", "X", "hello world", "hello Xld"},
      {0, "a", "$1\\n", "a\r\n", "$1\\n\r\n"},
      {1, "(\\w+)@(\\w+)", "$2 at \\U$1\\E", "me@home\r\nyou@work", "home at ME\r\nwork at YOU"},
      {1, "x", "a\\nb", "1x2\r\n", "1a\nb2\r\n"},
      {1, "^a", "b", "aaa\n", "bbb\n"},
      {2, "^a", "b", "aaa\n", "baa\n"},
      {2, "end\\r\\nstart", "joined", "the end\r\nstart\r\n", "the joined\r\n"},
      {1, "\\d*", "#", "a1", "#a##"},  // empty matches end too, as in perl
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    RestartHost();
    std::string tree = Folder("case" + std::to_string(n++));
    WriteFile(tree + "/f.txt", c.content);
    Replace(tree, {.text = c.text, .with = c.with, .mode = c.mode});
    EXPECT_EQ(ReadFile(tree + "/f.txt"), c.expected);
  }
}

}  // namespace
}  // namespace scenario
