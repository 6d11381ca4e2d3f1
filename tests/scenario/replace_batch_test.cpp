// New versions put in place in batches, when no question is asked: the same files change
// as one file at a time would change them, with the same warnings in the same order; a
// failure of one file leaves the others to be replaced; a process killed at any step
// leaves each name with a whole version and nothing but the batch's temporary files.
#include <dirent.h>

#include "scenario/child_process.h"
#include "scenario/replace_fixture.h"

namespace scenario {
namespace {

using Tree = std::map<std::string, std::string>;

constexpr int kEveryMatch = 0;  // the match question's first button: replace

// The names of the folder's entries ending in suffix, in the order the folder lists them,
// which is the order in which the walk reaches them.
std::vector<std::string> ListingOrder(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > suffix.size() && name.ends_with(suffix)) names.push_back(name);
  }
  closedir(dir);
  return names;
}

// Numbered files below tree: in three folders, most holding "foo", every seventh none.
Tree MakeNumberedTree(const std::string& tree, int count) {
  Tree made;
  for (int i = 0; i < count; ++i) {
    std::string name = "s" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".txt";
    std::string content = i % 7 == 3 ? "no match " + std::to_string(i) + "\n"
                                     : "foo " + std::to_string(i) + "\nand foo\n";
    WriteFile(tree + "/" + name, content);
    made[name] = content;
  }
  return made;
}

std::vector<std::string> Relative(const std::vector<std::string>& paths, const std::string& base) {
  std::vector<std::string> names;
  for (const std::string& path : paths) names.push_back(path.substr(base.size() + 1));
  return names;
}

class ReplaceBatchTest : public ReplaceTest {
 protected:
  struct Outcome {
    Tree tree;
    std::vector<std::string> listed;    // relative to the tree, in the panel's order
    std::vector<std::string> warnings;  // help topic and path, in the order shown
  };

  // Replaces foo by bar in a fresh copy of files; one file at a time when each match is
  // asked about (and answered with replace), else in batches.
  Outcome RunOn(const std::string& name, const Tree& files, bool askEveryMatch,
                const std::string& fail) {
    RestartHost();
    questions.clear();
    std::string tree = Folder(name);
    for (const auto& [file, content] : files) WriteFile(tree + "/" + file, content);
    Environment faults("QUARIX_FAIL", fail);
    answer = [](const host::MessageRequest&) { return kEveryMatch; };
    Replace(tree, {.text = "foo", .with = "bar", .scope = 2, .list = true,
                   .confirmMatch = askEveryMatch});
    Outcome outcome{ReadTree(tree), Relative(PanelNames(), tree), {}};
    for (const auto& q : questions)
      if (q.helpTopic != "FRAskReplace")
        outcome.warnings.push_back(q.helpTopic + " " + q.lines.at(2).substr(tree.size() + 1));
    return outcome;
  }
};

TEST_F(ReplaceBatchTest, BatchesChangeWhatOneFileAtATimeChanges) {
#ifndef QUARIX_FAULT_INJECTION
  GTEST_SKIP() << "built without the QUARIX_FAIL hook";
#endif
  // 343 files with a match make two batches (of 256 files at most). Each rewritten file is created,
  // written, flushed, closed and renamed once, in the walk's order either way: the n-th
  // call of an operation concerns the same file in both runs.
  constexpr int kFiles = 400;
  const Tree files = MakeNumberedTree(Folder("source"), kFiles);
  const char* plans[] = {
      "",                          // nothing fails
      "close:2,rename:300",        // the disk fails one file early, a rename one late
      "write:290,create:291",      // a full disk in the second batch; a temporary refused
      "close:258,write:262",       // a waiting file's failure is told before a later one's
      "write:1,close:256,rename:257",  // failures on both sides of the first batch's end
  };
  int run = 0;
  for (const char* plan : plans) {
    SCOPED_TRACE(plan);
    const std::string fail = std::string(plan) + ",unused:" + std::to_string(++run);
    Outcome alone = RunOn("alone" + std::to_string(run), files, true, fail);
    Outcome batched = RunOn("batched" + std::to_string(run), files, false, fail);
    EXPECT_EQ(batched.tree, alone.tree);  // no temporary file left behind either
    EXPECT_EQ(batched.listed, alone.listed);
    EXPECT_EQ(batched.warnings, alone.warnings);
    // The runs did what the plan says: every failure but the refused temporary and the
    // head start shows a warning; every other file with a match is rewritten.
    std::size_t failing = 0;
    for (const char* op : {"close:", "rename:", "write:"})
      for (const char* at = std::strstr(plan, op); at; at = std::strstr(at + 1, op)) ++failing;
    EXPECT_EQ(alone.warnings.size(), failing);
    std::size_t rewritten = 0;
    for (const auto& [name, content] : files)
      if (alone.tree.at(name) != content) ++rewritten;
    EXPECT_EQ(alone.listed.size(), rewritten);
    const std::size_t withMatch = kFiles - kFiles / 7 - (kFiles % 7 > 3 ? 1 : 0);
    EXPECT_EQ(rewritten, withMatch - failing - (std::strstr(plan, "create:") ? 1 : 0));
  }
}

TEST_F(ReplaceBatchTest, AFileThatFailsMidBatchWarnsInWalkOrderAndTheOthersAreReplaced) {
#ifndef QUARIX_FAULT_INJECTION
  GTEST_SKIP() << "built without the QUARIX_FAIL hook";
#endif
  // Six files of one folder, one batch: one write, flush, close and rename each (no
  // backup), one sync for all: the n-th call concerns the n-th file of the listing.
  struct Case {
    const char* fail;
    std::set<int> failed;  // by place in the listing, from 1
    std::set<int> warned;
  };
  const Case cases[] = {
      {"write:3", {3}, {3}},                  // the disk is full while the third is written
      // Flushed badly; not renamed (the second file has no rename: the fifth is the sixth's).
      {"close:2,rename:5", {2, 6}, {2, 6}},
      {"close:6,write:4", {4, 6}, {4, 6}},    // a full disk, then a flush that failed
      {"close:2,write:4", {2, 4}, {2, 4}},    // the waiting second file is told of first
      {"create:1", {1}, {}},                  // no temporary: left alone without a word
      {"flush:2", {}, {}},                    // only a head start
      // The file system's sync fails: each file is flushed on its own, none is lost.
      {"sync:1", {}, {}},
      {"sync:1,close:3", {3}, {3}},
  };
  int run = 0;
  for (bool backup : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.fail) + (backup ? " backup" : ""));
      RestartHost();
      questions.clear();
      std::string tree = Folder("mid" + std::to_string(++run));
      for (char name = 'a'; name <= 'f'; ++name)
        WriteFile(tree + "/" + name + ".txt", std::string("foo ") + name + "\n");
      const std::vector<std::string> order = ListingOrder(tree, ".txt");
      ASSERT_EQ(order.size(), 6u);
      Environment faults("QUARIX_FAIL", std::string(c.fail) + ",unused:" + std::to_string(run));
      Replace(tree, {.text = "foo", .with = "bar", .backup = backup, .list = true});
      Tree expected;
      std::vector<std::string> listed, warned;
      for (int n = 1; n <= 6; ++n) {
        const std::string& name = order[n - 1];
        const std::string old = "foo " + name.substr(0, 1) + "\n";
        const bool failed = c.failed.count(n) != 0;
        expected[name] = failed ? old : ReplaceFooByBar(old);
        if (!failed) {
          listed.push_back(tree + "/" + name);
          if (backup) expected[name + ".old"] = old;
        }
        if (c.warned.count(n)) warned.push_back(tree + "/" + name);
      }
      EXPECT_EQ(ReadTree(tree), expected);
      EXPECT_EQ(PanelNames(), listed);
      std::vector<std::string> shown;
      for (const auto& q : Shown("FRWriteError")) shown.push_back(q.lines.at(2));
      EXPECT_EQ(shown, warned);
    }
  }
}

// The quarix program replaces the files of one folder and is killed just before the n-th
// call of one file operation, the flushes of the batch among them.
class ReplaceBatchKilledTest : public ReplaceTest {
 protected:
  ChildResult RunReplace(const std::string& tree, bool backup, const std::string& fail,
                         int threads) {
    return RunReplaceUnderFaultPlan(tree, backup, fail, threads);
  }
};

TEST_F(ReplaceBatchKilledTest, EveryMomentLeavesWholeVersionsRenamedInWalkOrder) {
  // Files larger than the write buffer, written in several steps, small ones, and one
  // without a match.
  Tree old;
  for (char name = 'a'; name <= 'e'; ++name) {
    std::string content;
    const int lines = name % 2 ? 9000 : 3;
    for (int i = 0; i < lines; ++i) content += "foo " + std::string(1, name) + std::to_string(i) + "\n";
    old[std::string(1, name) + ".txt"] = content;
  }
  old["none.txt"] = "nothing here\n";
  const std::set<std::string> ops = {"create", "write", "flush", "sync", "close", "link",
                                     "rename"};
  std::set<std::string> killedAt;
  int run = 0;
  // On two threads the new versions are made by workers, in an order that varies, and still
  // renamed by the one thread in walk order.
  for (auto [backup, threads] : {std::pair{false, 1}, {true, 1}, {false, 2}}) {
    for (const std::string& op : ops) {
      for (int nth = 1; nth <= 40; ++nth) {
        const std::string fail = op + ":" + std::to_string(nth) + ":kill";
        SCOPED_TRACE((backup ? "backup " : "") + fail + " on " + std::to_string(threads));
        const std::string tree = Folder("killed" + std::to_string(++run));
        for (const auto& [name, content] : old) WriteFile(tree + "/" + name, content);
        const std::vector<std::string> order = ListingOrder(tree, ".txt");
        ChildResult result = RunReplace(tree, backup, fail, threads);
        Tree after = ReadTree(tree);
        if (result.exitCode != -1) {
          // Not killed: the whole run happened, and nothing was left behind.
          EXPECT_EQ(result.exitCode, 0) << result.err;
          Tree expected;
          for (const auto& [name, content] : old) {
            expected[name] = ReplaceFooByBar(content);
            if (backup && content != expected[name]) expected[name + ".old"] = content;
          }
          EXPECT_EQ(after, expected);
          break;
        }
        killedAt.insert(op);
        // Each name holds a whole version, and the new ones are a first part of the walk:
        // the batch is renamed in order.
        bool renamedSoFar = true;
        for (const std::string& name : order) {
          ASSERT_TRUE(after.count(name)) << name;
          const std::string& content = after[name];
          const bool isNew = content == ReplaceFooByBar(old[name]) && content != old[name];
          EXPECT_TRUE(isNew || content == old[name]) << name << " holds a partial version";
          if (old[name] == ReplaceFooByBar(old[name])) continue;  // no match: never touched
          EXPECT_TRUE(renamedSoFar || !isNew) << name << " renamed before a file walked first";
          renamedSoFar = renamedSoFar && isNew;
          // Nothing is renamed before every version of the batch is on the disk.
          if (op == "flush" || op == "sync" || op == "close") {
            EXPECT_FALSE(isNew) << name;
          }
        }
        // Beside them only the backups (the old version) and the batch's temporary files
        // (a first part of the new version).
        for (const auto& [entry, content] : after) {
          if (old.count(entry)) continue;
          const std::size_t mark = entry.find(".txt") + 4;
          const std::string name = entry.substr(0, mark), rest = entry.substr(mark);
          ASSERT_TRUE(old.count(name)) << entry;
          if (rest == ".old") {
            EXPECT_TRUE(backup) << entry;
            EXPECT_TRUE(content == old[name]) << entry << " is not the old version";
          } else {
            EXPECT_TRUE(rest.starts_with(".qxnew-")) << entry;
            EXPECT_TRUE(ReplaceFooByBar(old[name]).starts_with(content)) << entry;
          }
        }
        ExpectNextRunsCleanUp(tree, old, nth % 2 == 0, {}, ReadTree);
      }
    }
  }
  // The plan reached every step it was meant to.
  EXPECT_EQ(killedAt, ops);
}

}  // namespace
}  // namespace scenario
