// Failing file operations and files cut short while mapped: after every run each file
// holds its complete old or complete new content, and nothing is left behind.
#include <unistd.h>

#include "scenario/replace_fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

using Tree = std::map<std::string, std::string>;

TEST_F(ReplaceTest, EveryFailingFileOperationLeavesOldOrNewContent) {
#ifndef QUARIX_FAULT_INJECTION
  GTEST_SKIP() << "built without the QUARIX_FAIL hook";
#endif
  // One file larger than the write buffer, so that it takes several writes.
  const std::string big = [] {
    std::string s;
    for (int i = 0; i < 6000; ++i) s += "line foo " + std::to_string(i) + "\n";
    return s;
  }();
  const Tree old = {{"a.txt", "foo"}, {"b.txt", "x foo y\nfoo"}, {"c.txt", big}, {"d.txt", "foo\n"}};
  int run = 0;
  // A failing link makes the backup a copy, which can fail in turn.
  for (const char* op : {"open", "read", "create", "write", "rename", "close", "delete", "link"}) {
    for (int nth : {1, 2, 3}) {
      for (int limit : {1024, 0}) {
        for (bool backup : {false, true}) {
          std::string trace = std::string(op) + ":" + std::to_string(nth) +
                              (limit ? " memory" : " mapping") + (backup ? " backup" : "");
          SCOPED_TRACE(trace);
          RestartHost();
          questions.clear();
          std::string tree = Folder("run" + std::to_string(run));
          for (const auto& [name, content] : old) WriteFile(tree + "/" + name, content);
          // A value of its own for every run: the counts start again when it changes.
          Environment fail("QUARIX_FAIL", std::string(op) + ":" + std::to_string(nth) +
                                              ",unused:" + std::to_string(++run));
          Replace(tree, {.text = "foo", .with = "bar", .backup = backup, .list = true,
                         .readAtOnceLimit = limit});
          Tree after = ReadTree(tree);
          std::set<std::string> listed;
          for (const std::string& name : PanelNames())
            listed.insert(name.substr(tree.size() + 1));
          for (const auto& [name, content] : old) {
            ASSERT_TRUE(after.count(name)) << name;
            const std::string& now = after[name];
            bool isNew = now == ReplaceFooByBar(content);
            EXPECT_TRUE(isNew || now == content) << name << " holds a partial version";
            EXPECT_EQ(listed.count(name), isNew ? 1u : 0u) << name;
            if (backup && isNew) {
              EXPECT_EQ(after[name + ".old"], content) << name;
            } else {
              EXPECT_EQ(after.count(name + ".old"), 0u) << name;
            }
            after.erase(name);
            after.erase(name + ".old");
          }
          EXPECT_TRUE(after.empty()) << "left behind: " << after.begin()->first;
          bool warned = !Shown("FRWriteError").empty();
          if (std::string(op) == "write" || std::string(op) == "close") {
            EXPECT_TRUE(warned);
          }
          if (std::string(op) == "read" && limit) {
            EXPECT_FALSE(Shown("FRReadError").empty());
          }
        }
      }
    }
  }
}

TEST_F(ReplaceTest, AWriteErrorShowsTheWarningWithThePath) {
#ifndef QUARIX_FAULT_INJECTION
  GTEST_SKIP() << "built without the QUARIX_FAIL hook";
#endif
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "foo");
  Environment fail("QUARIX_FAIL", "write:1,unused:warning");
  Replace(tree, {.text = "foo", .with = "bar"});
  auto warnings = Shown("FRWriteError");
  ASSERT_EQ(warnings.size(), 1u);
  const auto& messages = host_->plugins()[0]->messages;
  EXPECT_EQ(warnings[0].flags, 1u);
  EXPECT_EQ(warnings[0].lines,
            (std::vector<std::string>{messages[kMsgReplaceTitle], messages[kMsgCannotWrite],
                                      tree + "/a.txt", messages[kMsgOk]}));
  EXPECT_EQ(ReadTree(tree), (Tree{{"a.txt", "foo"}}));
}

TEST_F(ReplaceTest, AMappedFileCutShortWhileReadEndsThatFileOnly) {
  std::string tree = Folder("tree");
  std::string content = "foo" + std::string(256 * 1024, 'y') + "foo\n";
  WriteFile(tree + "/cut.txt", content);
  WriteFile(tree + "/whole.txt", "foo");
  // The file question comes at the first match, while the file is mapped: another
  // process cuts the file short just then.
  answer = [&](const host::MessageRequest& q) {
    if (q.helpTopic == "FRConfirmFile" && q.lines.size() > 2 && q.lines[2] == tree + "/cut.txt") {
      EXPECT_EQ(truncate((tree + "/cut.txt").c_str(), 0), 0);
    }
    return 0;
  };
  ASSERT_EQ(Replace(tree, {.text = "foo", .with = "bar", .list = true, .confirmFile = true,
                           .readAtOnceLimit = 0}),
            kResultsPanel);
  // What the other process left stays; the scan of the cut file made nothing.
  EXPECT_EQ(ReadTree(tree), (Tree{{"cut.txt", ""}, {"whole.txt", "bar"}}));
  EXPECT_EQ(PanelNames(), std::vector<std::string>{tree + "/whole.txt"});
}

}  // namespace
}  // namespace scenario
