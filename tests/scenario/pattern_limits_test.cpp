// Files on which the pattern engine gives up (a backtracking, depth or memory limit
// reached), and Escape pressed while one file is searched or rewritten: the answer for
// such a file is neither yes nor no, so a search does not list it either way, a replace
// leaves it as it was, and one warning per run names the file and the reason.
#include <string>
#include <vector>

#include "scenario/fixture.h"
#include "scenario/piped_input.h"
#include "scenario/replace_fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

// A line on which "(a+)+$" backtracks without end: a run of a's that ends in "c".
const std::string kHardLine = std::string(40, 'a') + "c";
// The same pattern with the engine's limits lowered inside it, so that each hard line
// gives up in a few milliseconds.
const std::string kGivesUp = "(*LIMIT_MATCH=20000)(a+)+$";

class PatternLimitSearchTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    tree_ = Folder("tree");
  }

  // "ff:" with text in the tree's folder; the names listed, sorted, without the folder.
  std::vector<std::string> Find(int mode, const std::string& text, bool inverse = false) {
    RestartHost();
    warnings_.clear();
    WriteStoredInt("FSearchAs", mode);
    WriteStoredInt("FCaseSensitive", 1);
    WriteStoredInt("FSInverse", inverse);
    WriteStoredInt("FSearchIn", 3);
    WriteStoredInt("SeveralLines", 2);
    WriteStoredInt("Threads", threads_);
    host_->driver.message = [this](const host::MessageRequest& request) {
      if (request.buttons > 0) warnings_.push_back(request);
      return 0;
    };
    host::Plugin* trawlix = LoadTrawlix();
    if (!trawlix) return {"<no module>"};
    messages_ = trawlix->messages;
    ShowFolder(tree_);
    if (Search(text) != kResultsPanel) return {"<no panel>"};
    std::vector<std::string> names;
    for (const std::string& path : SortedPanelNames())
      names.push_back(path.substr(tree_.size() + 1));
    return names;
  }

  // The one warning a run may show, for one of the files named.
  void ExpectOneWarning(int reason, const std::vector<std::string>& files) {
    ASSERT_EQ(warnings_.size(), 1u);
    const host::MessageRequest& shown = warnings_[0];
    ASSERT_GT(messages_.size(), static_cast<std::size_t>(kMsgLaterNotReported));
    EXPECT_EQ(shown.flags, 1u);
    EXPECT_EQ(shown.helpTopic, "PatternLimit");
    ASSERT_EQ(shown.lines.size(), 6u);
    EXPECT_EQ(shown.lines[0], messages_[kMsgPluginTitle]);
    EXPECT_EQ(shown.lines[1], messages_[reason]);
    bool named = false;
    for (const std::string& file : files) named = named || shown.lines[2] == tree_ + "/" + file;
    EXPECT_TRUE(named) << shown.lines[2];
    EXPECT_EQ(shown.lines[3], messages_[kMsgNotListed]);
    EXPECT_EQ(shown.lines[4], messages_[kMsgLaterNotReported]);
    EXPECT_EQ(shown.lines[5], messages_[kMsgOk]);
  }

  std::string tree_;
  int threads_ = 0;  // one per processor
  std::vector<host::MessageRequest> warnings_;
  std::vector<std::string> messages_;
};

using Names = std::vector<std::string>;

TEST_F(PatternLimitSearchTest, AFileTheEngineGivesUpOnIsNotListedEitherWay) {
  WriteFile(tree_ + "/hard.txt", "zzz\n" + kHardLine + "\n");
  WriteFile(tree_ + "/hard2.txt", kHardLine + "\n" + kHardLine + "\n");
  WriteFile(tree_ + "/match.txt", "bbb\naaa\n");
  WriteFile(tree_ + "/none.txt", "bbb\nccc\n");
  // A match further on answers for the file, whatever the engine gave up on before it.
  WriteFile(tree_ + "/late.txt", kHardLine + "\naa\n");
  // Line by line and in windows the later line is a subject of its own; over the whole
  // file (the pattern, or each word of a list) the engine gives up before reaching it.
  const struct {
    int mode;
    Names found;
    std::vector<std::string> givenUp;
  } cases[] = {
      {1, {"late.txt", "match.txt"}, {"hard.txt", "hard2.txt"}},
      {3, {"late.txt", "match.txt"}, {"hard.txt", "hard2.txt"}},
      {2, {"match.txt"}, {"hard.txt", "hard2.txt", "late.txt"}},
      {5, {"match.txt"}, {"hard.txt", "hard2.txt", "late.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    EXPECT_EQ(Find(c.mode, kGivesUp), c.found);
    ExpectOneWarning(kMsgBacktrackingLimit, c.givenUp);
    EXPECT_EQ(Find(c.mode, kGivesUp, /*inverse=*/true), (Names{"none.txt"}));
    ExpectOneWarning(kMsgBacktrackingLimit, c.givenUp);
  }
}

TEST_F(PatternLimitSearchTest, EachLimitHasItsReason) {
  WriteFile(tree_ + "/hard.txt", kHardLine + "\n");
  const struct {
    std::string pattern;
    int reason;
  } cases[] = {
      {kGivesUp, kMsgBacktrackingLimit},
      // The interpreter (not the JIT) keeps the depth and memory limits.
      {"(*NO_JIT)(*LIMIT_DEPTH=10)(a+)+$", kMsgDepthLimit},
      {"(*NO_JIT)(*LIMIT_HEAP=1)(a+)+$", kMsgMemoryLimit},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Find(1, c.pattern), Names{});
    ExpectOneWarning(c.reason, {"hard.txt"});
  }
}

TEST_F(PatternLimitSearchTest, TheDefaultLimitIsReportedToo) {
  WriteFile(tree_ + "/hard.txt", kHardLine + "\n");
  EXPECT_EQ(Find(1, "(a+)+$", /*inverse=*/true), Names{});
  ExpectOneWarning(kMsgBacktrackingLimit, {"hard.txt"});
}

TEST_F(PatternLimitSearchTest, AWordListDecidedWithoutTheHardWordNeedsNoWarning) {
  WriteFile(tree_ + "/hard.txt", kHardLine + "\n");
  // A required word that is missing answers "no" whatever the other word would have said;
  // an excluded word that is present does the same.
  for (const std::string& list : {"+" + kGivesUp + " +zzz", "-" + kGivesUp + " -aaa"}) {
    SCOPED_TRACE(list);
    EXPECT_EQ(Find(5, list, /*inverse=*/true), (Names{"hard.txt"}));
    EXPECT_TRUE(warnings_.empty());
  }
  // An optional word found answers "yes" the same way.
  EXPECT_EQ(Find(5, kGivesUp + " aaa"), (Names{"hard.txt"}));
  EXPECT_TRUE(warnings_.empty());
  // But a required word the engine gave up on leaves the answer open.
  EXPECT_EQ(Find(5, "+" + kGivesUp + " +aaa", /*inverse=*/true), Names{});
  ExpectOneWarning(kMsgBacktrackingLimit, {"hard.txt"});
}

TEST_F(PatternLimitSearchTest, EscapeStopsTheSearchInsideAFile) {
  // Every line but the last is tested before the match; Escape waiting from the start is
  // seen at the first of them (or, on workers, before the file is taken), so the file is
  // never answered.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\n";
  WriteFile(tree_ + "/long.txt", text + "needle\n");
  for (int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    threads_ = threads;
    PipedInput input("\x1b");
    ASSERT_TRUE(input.ok());
    EXPECT_EQ(Find(1, "[a-z]+\\d*$|needle$"), Names{});
  }
}

class PatternLimitReplaceTest : public ReplaceTest {};

TEST_F(PatternLimitReplaceTest, AFileTheEngineGivesUpOnIsLeftUnchanged) {
  // A match before the line the engine gives up on must not be written alone.
  const std::string hard = "aaa\n" + kHardLine + "\naaa\n";
  for (int readAtOnceLimit : {1024, 0}) {  // read whole, and mapped
    for (int mode : {1, 2}) {
      SCOPED_TRACE("mode " + std::to_string(mode) + ", limit " + std::to_string(readAtOnceLimit));
      std::string tree = Folder("tree" + std::to_string(mode) + std::to_string(readAtOnceLimit));
      WriteFile(tree + "/hard.txt", hard);
      WriteFile(tree + "/easy.txt", "aaa\nb\n");
      questions.clear();
      ASSERT_EQ(Replace(tree, {.text = kGivesUp,
                               .with = "X",
                               .mode = mode,
                               .list = true,
                               .readAtOnceLimit = readAtOnceLimit,
                               .severalLines = 2}),
                kResultsPanel);
      EXPECT_EQ(ReadTree(tree),
                (std::map<std::string, std::string>{{"easy.txt", "X\nb\n"}, {"hard.txt", hard}}));
      EXPECT_EQ(PanelNames(), std::vector<std::string>{tree + "/easy.txt"});
      const auto& messages = host_->plugins()[0]->messages;
      ASSERT_GT(messages.size(), static_cast<std::size_t>(kMsgLaterNotReported));
      auto warnings = Shown("PatternLimit");
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_EQ(warnings[0].flags, 1u);
      EXPECT_EQ(warnings[0].lines, (std::vector<std::string>{
                                       messages[kMsgReplaceTitle], messages[kMsgBacktrackingLimit],
                                       tree + "/hard.txt", messages[kMsgLeftUnchanged],
                                       messages[kMsgLaterNotReported], messages[kMsgOk]}));
      RestartHost();
    }
  }
}

TEST_F(PatternLimitReplaceTest, EscapeInsideAFileLeavesItUnchanged) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "foo\nbar\nfoo\n");
  for (auto [mode, threads] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}}) {
    SCOPED_TRACE(std::to_string(mode) + " on " + std::to_string(threads));
    PipedInput input("\x1b");
    ASSERT_TRUE(input.ok());
    ASSERT_EQ(Replace(tree, {.text = "foo", .with = "X", .mode = mode, .list = true,
                             .threads = threads}),
              kResultsPanel);
    EXPECT_EQ(ReadTree(tree), (std::map<std::string, std::string>{{"a.txt", "foo\nbar\nfoo\n"}}));
    EXPECT_TRUE(PanelNames().empty());
    RestartHost();
  }
}

}  // namespace
}  // namespace scenario
