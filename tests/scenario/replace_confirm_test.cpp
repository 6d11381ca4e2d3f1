// The file and match questions of a replace run and the reach of their answers.
#include "scenario/replace_fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

constexpr int kReplace = 0, kAll = 1, kSkip = 2, kCancel = 3, kEscape = -1;

// The path a file question names (its third line).
std::string AskedPath(const host::MessageRequest& q) { return q.lines.size() > 2 ? q.lines[2] : ""; }

TEST_F(ReplaceTest, OneFileQuestionPerFileWithAMatch) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "foo foo");
  WriteFile(tree + "/b.txt", "bar");
  WriteFile(tree + "/c.txt", "foo");
  answer = [](const host::MessageRequest&) { return kReplace; };
  Replace(tree, {.text = "foo", .with = "X", .confirmFile = true});
  auto asked = Shown("FRConfirmFile");
  ASSERT_EQ(asked.size(), 2u);
  std::vector<std::string> paths = {AskedPath(asked[0]), AskedPath(asked[1])};
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{tree + "/a.txt", tree + "/c.txt"}));
  const auto& lines = asked[0].lines;
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(asked[0].buttons, 4);
  EXPECT_EQ(lines[0], host_->plugins()[0]->messages[kMsgReplaceTitle]);
  EXPECT_EQ(lines[1], host_->plugins()[0]->messages[kMsgReplaceInFile]);
  EXPECT_EQ(ReadFile(tree + "/a.txt"), "X X");
  EXPECT_EQ(ReadFile(tree + "/c.txt"), "X");
}

TEST_F(ReplaceTest, FileAnswers) {
  const struct {
    int answer;
    size_t questions;    // file questions asked in the run
    int firstChanged;    // whether the first file asked about was rewritten
    int othersChanged;   // how many of the two others were rewritten
  } cases[] = {
      {kReplace, 3, 1, 2},
      {kAll, 1, 1, 2},     // no further question in the run
      {kSkip, 3, 0, 2},    // later files are answered with replace below
      {kEscape, 3, 0, 2},  // Escape is skip, never cancel
      {kCancel, 1, 0, 0},  // the walk ends
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    RestartHost();
    questions.clear();
    std::string tree = Folder("tree" + std::to_string(n++));
    for (const char* name : {"/a.txt", "/b.txt", "/c.txt"}) WriteFile(tree + name, "foo");
    int asked = 0;
    answer = [&](const host::MessageRequest&) { return asked++ == 0 ? c.answer : kReplace; };
    Replace(tree, {.text = "foo", .with = "X", .confirmFile = true});
    auto shown = Shown("FRConfirmFile");
    EXPECT_EQ(shown.size(), c.questions);
    ASSERT_FALSE(shown.empty());
    std::string first = AskedPath(shown[0]);
    EXPECT_EQ(ReadFile(first), c.firstChanged ? "X" : "foo");
    int others = 0;
    for (const char* name : {"/a.txt", "/b.txt", "/c.txt"})
      if (tree + name != first && ReadFile(tree + name) == "X") ++others;
    EXPECT_EQ(others, c.othersChanged);
    EXPECT_EQ(ReadTree(tree).size(), 3u);  // nothing left behind
  }
}

TEST_F(ReplaceTest, MatchQuestionsAndTheirAnswers) {
  const struct {
    std::vector<int> answers;
    std::string expected;
    size_t questions;
  } cases[] = {
      {{kReplace, kSkip, kReplace}, "X o X", 3},
      {{kEscape, kReplace, kEscape}, "o X o", 3},
      {{kSkip, kAll}, "o X X", 2},        // the rest of the file without asking
      {{kCancel}, "o o o", 1},            // the file is kept as it was, no more questions
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(n);
    RestartHost();
    questions.clear();
    std::string tree = Folder("tree" + std::to_string(n++));
    WriteFile(tree + "/f.txt", "o o o");
    std::size_t next = 0;
    answer = [&](const host::MessageRequest&) {
      return next < c.answers.size() ? c.answers[next++] : kReplace;
    };
    ASSERT_EQ(Replace(tree, {.text = "o", .with = "X", .list = true, .confirmMatch = true}),
              kResultsPanel);
    EXPECT_EQ(ReadFile(tree + "/f.txt"), c.expected);
    EXPECT_EQ(Shown("FRAskReplace").size(), c.questions);
    // A file whose matches were all left is still rewritten, and listed.
    EXPECT_EQ(PanelNames(), std::vector<std::string>{tree + "/f.txt"});
    EXPECT_EQ(ReadTree(tree).size(), 1u);
  }
}

TEST_F(ReplaceTest, TheMatchQuestionShowsTheMatchTheReplacementAndThePath) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/f.txt", "key=value\n");
  Replace(tree, {.text = "(\\w+)=(\\w+)", .with = "$2=$1", .mode = 1, .confirmMatch = true});
  auto asked = Shown("FRAskReplace");
  ASSERT_EQ(asked.size(), 1u);
  const auto& messages = host_->plugins()[0]->messages;
  EXPECT_EQ(
      asked[0].lines,
      (std::vector<std::string>{
          messages[kMsgReplaceTitle], messages[kMsgReplaceTheText], "key=value", messages[kMsgWith],
          "value=key", messages[kMsgInTheFile], tree + "/f.txt", messages[kMsgReplaceButton],
          messages[kMsgAllButton], messages[kMsgSkipButton], messages[kMsgCancel]}));
  EXPECT_EQ(ReadFile(tree + "/f.txt"), "value=key\n");
}

TEST_F(ReplaceTest, AllForMatchesLastsForOneFile) {
  std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "o o");
  WriteFile(tree + "/b.txt", "o o");
  int asked = 0;
  answer = [&](const host::MessageRequest&) { return asked++ == 0 ? kAll : kSkip; };
  Replace(tree, {.text = "o", .with = "X", .confirmMatch = true});
  // The first file: one question, both replaced; the second asks again for each match.
  EXPECT_EQ(Shown("FRAskReplace").size(), 3u);
  std::vector<std::string> contents = {ReadFile(tree + "/a.txt"), ReadFile(tree + "/b.txt")};
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{"X X", "o o"}));
}

TEST_F(ReplaceTest, CancelAtAMatchEndsTheWalkAfterTheFile) {
  std::string tree = Folder("tree");
  for (const char* name : {"/a.txt", "/b.txt", "/c.txt"}) WriteFile(tree + name, "o o");
  int asked = 0;
  answer = [&](const host::MessageRequest&) { return asked++ == 0 ? kReplace : kCancel; };
  Replace(tree, {.text = "o", .with = "X", .confirmMatch = true});
  EXPECT_EQ(Shown("FRAskReplace").size(), 2u);
  int changed = 0;
  for (const char* name : {"/a.txt", "/b.txt", "/c.txt"}) {
    std::string content = ReadFile(tree + name);
    EXPECT_TRUE(content == "o o" || content == "X o") << content;
    changed += content == "X o";
  }
  EXPECT_EQ(changed, 1);
}

}  // namespace
}  // namespace scenario
