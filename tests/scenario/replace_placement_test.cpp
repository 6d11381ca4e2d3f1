// How a rewritten file takes its place: a write by another program in the meantime wins,
// the file keeps its owner, group, links and extended attributes, and a process killed at
// any step leaves the complete old or the complete new version under the file's name.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "scenario/child_process.h"
#include "scenario/replace_fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

using Tree = std::map<std::string, std::string>;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

TEST_F(ReplaceTest, AFileWrittenByAnotherProgramMeanwhileIsLeftAloneWithTheReason) {
  for (const Path& path : kPaths) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE(std::string(path.name) + (backup ? " with backup" : ""));
      RestartHost();
      questions.clear();
      std::string tree = Folder(std::string("tree-") + path.name + (backup ? "-b" : ""));
      WriteFile(tree + "/a.txt", "foo\n");
      WriteFile(tree + "/b.txt", "foo\n");
      // Another program appends a line to a.txt while its file question waits.
      answer = [&](const host::MessageRequest& q) {
        if (q.helpTopic == "FRConfirmFile" && q.lines.size() > 2 && q.lines[2] == tree + "/a.txt")
          std::ofstream(tree + "/a.txt", std::ios::app) << "appended\n";
        return 0;
      };
      ASSERT_EQ(Replace(tree, {.text = "foo", .with = "bar", .backup = backup, .list = true,
                               .confirmFile = true, .readAtOnceLimit = path.readAtOnceLimit}),
                kResultsPanel);
      Tree expected = {{"a.txt", "foo\nappended\n"}, {"b.txt", "bar\n"}};
      if (backup) expected["b.txt.old"] = "foo\n";
      EXPECT_EQ(ReadTree(tree), expected);  // no temporary file either
      EXPECT_EQ(PanelNames(), std::vector<std::string>{tree + "/b.txt"});
      auto warnings = Shown("FRWriteError");
      ASSERT_EQ(warnings.size(), 1u);
      const auto& messages = host_->plugins()[0]->messages;
      EXPECT_EQ(warnings[0].flags, 1u);
      EXPECT_EQ(warnings[0].lines,
                (std::vector<std::string>{messages[kMsgReplaceTitle], messages[kMsgCannotWrite],
                                          tree + "/a.txt", messages[kMsgChangedMeanwhile],
                                          messages[kMsgOk]}));
    }
  }
}

TEST_F(ReplaceTest, AFileRewrittenInPlaceMeanwhileIsLeftAloneToo) {
  // Same size, so only the modification time tells. The file was last written long ago,
  // as most files are; two writes within one tick of the system's clock would look alike.
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "foo\n");
  const struct timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (tree + "/a.txt").c_str(), longAgo, 0), 0);
  answer = [&](const host::MessageRequest& q) {
    if (q.helpTopic == "FRConfirmFile") std::ofstream(tree + "/a.txt") << "fox\n";
    return 0;
  };
  Replace(tree, {.text = "foo", .with = "bar", .confirmFile = true});
  EXPECT_EQ(ReadTree(tree), (Tree{{"a.txt", "fox\n"}}));
  EXPECT_EQ(Shown("FRWriteError").size(), 1u);
}

TEST_F(ReplaceTest, OwnerAndGroupAreKept) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another owner needs the superuser";
  for (const Path& path : kPaths) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE(std::string(path.name) + (backup ? " with backup" : ""));
      RestartHost();
      std::string tree = Folder(std::string("owned-") + path.name + (backup ? "-b" : ""));
      WriteFile(tree + "/a.txt", "foo\n");
      ASSERT_EQ(chown((tree + "/a.txt").c_str(), 4321, 8765), 0);
      ASSERT_EQ(chmod((tree + "/a.txt").c_str(), 02640), 0);
      Replace(tree, {.text = "foo", .with = "bar", .backup = backup,
                     .readAtOnceLimit = path.readAtOnceLimit});
      EXPECT_EQ(ReadFile(tree + "/a.txt"), "bar\n");
      struct stat st = StatOf(tree + "/a.txt");
      EXPECT_EQ(st.st_uid, 4321u);
      EXPECT_EQ(st.st_gid, 8765u);
      EXPECT_EQ(st.st_mode & 07777, 02640u);  // the change of owner did not clear set-group-id
      if (backup) {
        struct stat old = StatOf(tree + "/a.txt.old");
        EXPECT_EQ(old.st_uid, 4321u);
        EXPECT_EQ(old.st_gid, 8765u);
      }
    }
  }
}

TEST_F(ReplaceTest, AFileWithTwoLinksKeepsBothNamesOnTheNewVersion) {
  for (const Path& path : kPaths) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE(std::string(path.name) + (backup ? " with backup" : ""));
      RestartHost();
      std::string base = Folder(std::string("links-") + path.name + (backup ? "-b" : ""));
      std::string tree = base + "/tree";
      WriteFile(tree + "/a.txt", "foo one\nfoo two\n");
      ASSERT_EQ(link((tree + "/a.txt").c_str(), (base + "/other").c_str()), 0);
      const ino_t inode = StatOf(tree + "/a.txt").st_ino;
      Replace(tree, {.text = "foo", .with = "X", .backup = backup, .list = true,
                     .readAtOnceLimit = path.readAtOnceLimit});
      EXPECT_EQ(ReadFile(base + "/other"), "X one\nX two\n");
      EXPECT_EQ(StatOf(tree + "/a.txt").st_ino, inode);
      EXPECT_EQ(StatOf(tree + "/a.txt").st_nlink, 2u);
      Tree expected = {{"a.txt", "X one\nX two\n"}};
      if (backup) expected["a.txt.old"] = "foo one\nfoo two\n";
      EXPECT_EQ(ReadTree(tree), expected);  // the temporary copies are gone
      if (backup) {
        EXPECT_EQ(StatOf(tree + "/a.txt.old").st_nlink, 1u);
      }
      EXPECT_EQ(PanelNames(), std::vector<std::string>{tree + "/a.txt"});
    }
  }
}

TEST_F(ReplaceTest, AFileReachedUnderTwoNamesIsRewrittenOnce) {
  // The replacement matches again: a second pass over the same file would show.
  for (const Path& path : kPaths) {
    SCOPED_TRACE(path.name);
    RestartHost();
    std::string tree = Folder(std::string("names-") + path.name);
    WriteFile(tree + "/a.txt", "foo\n");
    ASSERT_EQ(link((tree + "/a.txt").c_str(), (tree + "/b.txt").c_str()), 0);
    WriteFile(tree + "/target.txt", "foo\n");
    fs::create_symlink("target.txt", tree + "/z-link.txt");
    Replace(tree, {.text = "foo", .with = "foofoo", .list = true,
                   .readAtOnceLimit = path.readAtOnceLimit});
    EXPECT_EQ(ReadTree(tree), (Tree{{"a.txt", "foofoo\n"},
                                    {"b.txt", "foofoo\n"},
                                    {"target.txt", "foofoo\n"},
                                    {"z-link.txt", "-> target.txt"}}));
    EXPECT_EQ(PanelNames().size(), 2u);  // each file listed once, under the first name met
  }
}

TEST_F(ReplaceTest, ALinkedFileThatChangedMeanwhileIsLeftAlone) {
  std::string base = Folder("links");
  std::string tree = base + "/tree";
  WriteFile(tree + "/a.txt", "foo\n");
  ASSERT_EQ(link((tree + "/a.txt").c_str(), (base + "/other").c_str()), 0);
  answer = [&](const host::MessageRequest& q) {
    if (q.helpTopic == "FRConfirmFile") std::ofstream(base + "/other", std::ios::app) << "more\n";
    return 0;
  };
  Replace(tree, {.text = "foo", .with = "X", .backup = true, .confirmFile = true});
  EXPECT_EQ(ReadTree(tree), (Tree{{"a.txt", "foo\nmore\n"}}));
  EXPECT_EQ(Shown("FRWriteError").size(), 1u);
}

TEST_F(ReplaceTest, ExtendedAttributesAreKept) {
  for (const Path& path : kPaths) {
    SCOPED_TRACE(path.name);
    RestartHost();
    std::string tree = Folder(std::string("xattr-") + path.name);
    WriteFile(tree + "/a.txt", "foo\n");
    const std::string value = "kept\0value";
    if (setxattr((tree + "/a.txt").c_str(), "user.quarix", value.data(), value.size(), 0) != 0)
      GTEST_SKIP() << "the file system refuses user attributes: " << std::strerror(errno);
    Replace(tree, {.text = "foo", .with = "bar", .readAtOnceLimit = path.readAtOnceLimit});
    EXPECT_EQ(ReadFile(tree + "/a.txt"), "bar\n");
    char got[64] = {};
    ssize_t size = getxattr((tree + "/a.txt").c_str(), "user.quarix", got, sizeof got);
    ASSERT_GE(size, 0) << std::strerror(errno);
    EXPECT_EQ(std::string(got, static_cast<std::size_t>(size)), value);
  }
}

// The quarix program replaces one file and is killed just before the n-th call of one
// file operation. Whatever the moment, the file's name holds one whole version.
class ReplaceKilledTest : public ReplaceTest {
 protected:
  ChildResult RunReplace(const std::string& tree, bool backup, const std::string& fail) {
    return RunReplaceUnderFaultPlan(tree, backup, fail);
  }
};

TEST_F(ReplaceKilledTest, EveryMomentLeavesAWholeVersionUnderTheName) {
  // Larger than the write buffer, so that a file is written in several steps. Both read
  // paths put the new version in place alike; the memory path stands for both.
  std::string old;
  for (int i = 0; i < 12000; ++i) old += "foo " + std::to_string(i) + "\n";
  const std::string now = ReplaceFooByBar(old);
  const std::set<std::string> ops = {"create", "write", "close", "link", "rename",
                                     "rewrite", "size", "delete"};
  std::set<std::string> killedAt;
  int run = 0, partial = 0;
  for (bool linked : {false, true}) {
    for (bool backup : {false, true}) {
      for (const std::string& op : ops) {
        // Each call of op in turn, until the run gets past the last one.
        for (int nth = 1; nth <= 20; ++nth) {
          std::string fail = op + ":" + std::to_string(nth) + ":kill";
          SCOPED_TRACE(std::string(linked ? "linked" : "single") +
                       (backup ? " backup " : " ") + fail);
          std::string base = Folder("run" + std::to_string(++run));
          std::string tree = base + "/tree";
          WriteFile(tree + "/a.txt", old);
          if (linked) {
            ASSERT_EQ(link((tree + "/a.txt").c_str(), (base + "/other").c_str()), 0);
          }
          ChildResult result = RunReplace(tree, backup, fail);
          Tree after = ReadTree(tree);
          const std::string name = after.count("a.txt") ? after["a.txt"] : "(missing)";
          if (result.exitCode != -1) {
            // Not killed: the whole run happened, and nothing was left behind.
            EXPECT_EQ(result.exitCode, 0) << result.err;
            Tree expected = {{"a.txt", now}};
            if (backup) expected["a.txt.old"] = old;
            std::string names;
            for (const auto& [entry, content] : after) names += " " + entry;
            EXPECT_TRUE(after == expected) << "not the whole new version, or left behind:" << names;
            if (linked) {
              EXPECT_TRUE(ReadFile(base + "/other") == now) << "other name not new";
            }
            break;
          }
          killedAt.insert(op);
          // A file with several names may have been left half written over: its new
          // version beside it is kept, not taken for a dead temporary file.
          const Tree kept = linked ? after : Tree{};
          const std::map<std::string, std::string> file = {{"a.txt", old}};
          if (name == old || name == now) {
            if (linked) {
              EXPECT_TRUE(ReadFile(base + "/other") == name) << "the names differ";
            }
            ExpectNextRunsCleanUp(tree, file, nth % 2 == 0, TemporaryNames(kept), ReadTree);
            continue;
          }
          // Only a file written over in place is ever seen half done; the old version
          // and the finished new one then both wait beside it.
          ++partial;
          EXPECT_TRUE(linked) << "a.txt holds " << name.size() << " bytes of neither version";
          std::set<std::string> beside;
          for (const auto& [other, content] : after)
            if (other != "a.txt") beside.insert(content);
          EXPECT_TRUE(beside.count(old)) << "no whole old version beside a.txt";
          EXPECT_TRUE(beside.count(now)) << "no whole new version beside a.txt";
          // Whatever the next replace makes of the mixed file, the versions beside it stay.
          ExpectNextRunsCleanUp(tree, Tree{}, nth % 2 == 0, TemporaryNames(kept), ReadTree);
        }
      }
    }
  }
  // The plan reached every step it was meant to.
  EXPECT_EQ(killedAt, ops);
  EXPECT_GT(partial, 0);
}

}  // namespace
}  // namespace scenario
