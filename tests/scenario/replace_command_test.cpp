// "quarix replace" as a user runs it: the options fill the replace dialog, questions are
// answered from standard input, the rewritten files are printed, errors end with status 2.
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/child_process.h"
#include "scenario/fixture.h"

namespace scenario {
namespace {

const std::string kProgram = QUARIX_BIN_DIR "/quarix";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

// How many questions were asked: each ends with its row of numbered buttons.
int CountQuestions(const std::string& err) {
  int count = 0;
  for (std::size_t at = err.find("[1 "); at != std::string::npos; at = err.find("[1 ", at + 1))
    ++count;
  return count;
}

class ReplaceCommandTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    tree_ = Folder("tree");
  }
  // The registry folder comes from the fixture's environment, fresh for every test.
  ChildResult Run(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "replace");
    return RunChild(kProgram, args, {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}}, input);
  }
  std::string At(const std::string& name) const { return tree_ + "/" + name; }
  std::set<std::string> Paths(std::initializer_list<const char*> names) const {
    std::set<std::string> paths;
    for (const char* name : names) paths.insert(At(name));
    return paths;
  }
  // One file per folder, each a level deeper: the walk meets them in this order.
  void WriteChain(const std::string& content) {
    for (const char* name : kChain) WriteFile(At(name), content);
  }
  static constexpr const char* kChain[] = {"a.txt", "s1/b.txt", "s1/s2/c.txt", "s1/s2/s3/d.txt"};

  std::string tree_;
};

TEST_F(ReplaceCommandTest, OptionsFillTheDialogAndTheStoredSettingsRepeat) {
  auto writeTree = [&] {
    WriteFile(At("a.txt"), "foo bar Foo\n");
    WriteFile(At("b.c"), "Foo\r\n");
    WriteFile(At("sub/c.txt"), "no match\n");
    WriteFile(At("sub/d.txt"), "foofoo");
  };
  writeTree();
  ChildResult run = Run({tree_, "--mask", "*.txt", "--text", "foo", "--with", "$1\\n", "--mode",
                         "plain", "--case", "--scope", "tree", "--list", "--no-confirm-file",
                         "--no-confirm-match", "--no-backup"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.out), Paths({"a.txt", "sub/d.txt"}));
  // The plain mode inserts the replacement as it stands.
  EXPECT_EQ(ReadAll(At("a.txt")), "$1\\n bar Foo\n");
  EXPECT_EQ(ReadAll(At("sub/d.txt")), "$1\\n$1\\n");
  EXPECT_EQ(ReadAll(At("b.c")), "Foo\r\n");
  EXPECT_EQ(ReadStoredText("FMask"), "*.txt");
  EXPECT_EQ(ReadStoredText("FText"), "foo");
  EXPECT_EQ(ReadStoredText("FRReplace"), "$1\\n");
  EXPECT_EQ(ReadStoredInt("FSearchAs"), 0);
  EXPECT_EQ(ReadStoredInt("FCaseSensitive"), 1);
  EXPECT_EQ(ReadStoredInt("FSearchIn"), 2);
  EXPECT_EQ(ReadStoredInt("FROpenModified"), 1);
  EXPECT_EQ(ReadStoredInt("FRConfirmFile"), 0);
  EXPECT_EQ(ReadStoredInt("FRConfirmLine"), 0);
  EXPECT_EQ(ReadStoredInt("FRSaveOriginal"), 0);

  // No options: the same replace again on a fresh tree.
  writeTree();
  run = Run({tree_});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.out), Paths({"a.txt", "sub/d.txt"}));
  EXPECT_EQ(ReadAll(At("a.txt")), "$1\\n bar Foo\n");

  // Each option changes its own field only.
  writeTree();
  run = Run({tree_, "--no-case", "--mask=*.c,*.txt", "--with", "X", "--backup"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.out), Paths({"a.txt", "b.c", "sub/d.txt"}));
  EXPECT_EQ(ReadAll(At("a.txt")), "X bar X\n");
  EXPECT_EQ(ReadAll(At("b.c")), "X\r\n");
  EXPECT_EQ(ReadAll(At("a.txt.old")), "foo bar Foo\n");
  EXPECT_EQ(ReadAll(At("b.c.old")), "Foo\r\n");
  EXPECT_FALSE(fs::exists(At("sub/c.txt.old"))) << "a file without a match is not touched";
  EXPECT_EQ(ReadStoredInt("FRSaveOriginal"), 1);
  EXPECT_EQ(ReadStoredInt("FCaseSensitive"), 0);

  // Nothing left to rewrite: the list is empty, status 1; a backup in the way of a
  // second one leaves the file alone.
  run = Run({tree_, "--no-backup"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out, "");

  // Without the list the replace prints nothing and finishes with 0.
  WriteFile(At("a.txt"), "foo\n");
  run = Run({tree_, "--no-list", "--scope", "folder"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadAll(At("a.txt")), "X\n");
  EXPECT_EQ(ReadStoredInt("FROpenModified"), 0);
  EXPECT_EQ(ReadStoredInt("FSearchIn"), 3);
}

TEST_F(ReplaceCommandTest, ModesAreTheDialogsRadios) {
  struct Case {
    const char* mode;
    const char* text;
    const char* with;
    const char* before;
    const char* after;
    int stored;
  };
  const Case cases[] = {
      {"plain", "a.b", "[$0]", "a.b axb\n", "[$0] axb\n", 0},
      {"regex", "(a)(.)b", "\\U$2\\E$1-", "a.b axb\n", ".a- Xa-\n", 1},
      // Line by line a pattern never spans a line end; over windows of lines it does.
      {"regex", "e\\s+t", "E-T", "one\ntwo\n", "one\ntwo\n", 1},
      {"regex-lines", "e\\s+t", "E-T", "one\ntwo\n", "onE-Two\n", 2},
      {"regex-lines", "(o)(n)", "$2\\n$1", "on\r\n", "n\no\r\n", 2},
  };
  for (const Case& c : cases) {
    WriteFile(At("f.txt"), c.before);
    ChildResult run = Run({tree_, "--mask", "*", "--scope", "folder", "--case", "--mode", c.mode,
                           "--text", c.text, "--with", c.with, "--no-list"});
    EXPECT_EQ(run.exitCode, 0) << c.mode << " " << c.text << run.err;
    EXPECT_EQ(ReadAll(At("f.txt")), c.after) << c.mode << " " << c.text;
    EXPECT_EQ(ReadStoredInt("FSearchAs"), c.stored) << c.mode;
  }
}

TEST_F(ReplaceCommandTest, SelectedFoldersAreTheScope) {
  WriteFile(At("p/x.txt"), "k\n");
  WriteFile(At("q/x.txt"), "k\n");
  WriteFile(At("top.txt"), "k\n");
  ChildResult run = Run({tree_, "--mask", "*", "--text", "k", "--with", "K", "--mode", "plain",
                         "--scope", "selected", "--select", "p", "--list"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.out), Paths({"p/x.txt"}));
  EXPECT_EQ(ReadAll(At("q/x.txt")), "k\n");
  EXPECT_EQ(ReadAll(At("top.txt")), "k\n");
}

TEST_F(ReplaceCommandTest, APatternErrorEndsWithStatusTwoAndTouchesNothing) {
  WriteFile(At("f.txt"), "a(b\n");
  ChildResult run = Run({tree_, "--mask", "*", "--mode", "regex", "--text", "a(b", "--with", "x",
                         "--scope", "folder", "--list"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("a(b\n   ^\n"), std::string::npos) << "the pattern and its caret\n"
                                                            << run.err;
  EXPECT_NE(run.err.find("came back"), std::string::npos) << run.err;
  EXPECT_EQ(ReadAll(At("f.txt")), "a(b\n");
  // The dialog's entries were taken before the pattern was tried.
  EXPECT_EQ(ReadStoredText("FText"), "a(b");
}

TEST_F(ReplaceCommandTest, CommandLineMistakesShowTheUsage) {
  const std::vector<std::vector<std::string>> mistakes = {
      {tree_, "--bogus"},
      {tree_, "--mode", "regex-file"},  // a mode only the search offers
      {tree_, "--mode", "words"},
      {tree_, "--with"},
      {tree_, tree_},
      {tree_, "--backup=yes"},
      {tree_, "--with", std::string(512, 'w')},  // more than the field holds
  };
  for (const auto& args : mistakes) {
    ChildResult run = Run(args);
    EXPECT_EQ(run.exitCode, 2) << args.back().substr(0, 20);
    EXPECT_NE(run.err.find("usage: quarix replace"), std::string::npos) << run.err;
  }
  ChildResult run = Run({At("missing")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_FALSE(ReadStored("FText")) << "no plugin ran";
  run = Run({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("Exit status"), std::string::npos);
}

// Answers come one line per question from a pipe (the file question's buttons are OK,
// All, Skip, Cancel; the match question's Replace, All, Skip, Cancel); the walk's Escape poll between files
// must not swallow the answers still waiting there.
TEST_F(ReplaceCommandTest, FileQuestionsAreAnsweredFromThePipeOnePerFile) {
  struct Case {
    const char* answers;
    std::vector<bool> rewritten;  // per file of the chain
    int questions;
  };
  const Case cases[] = {
      {"o\no\no\no\n", {true, true, true, true}, 4},
      {"1\n3\n1\n2\n", {true, false, true, true}, 4},  // 2: all the rest without asking
      {"o\ns\nc\no\n", {true, false, false, false}, 3},  // cancel ends the walk
      {"a\n", {true, true, true, true}, 1},
      {"", {false, false, false, false}, 4},  // end of input: Escape, which skips
      {"ok\nSKIP\nx\n1\n4\n", {true, false, true, false}, 5},  // "x" is asked again
  };
  for (const Case& c : cases) {
    WriteChain("old old\n");
    ChildResult run = Run({tree_, "--mask", "*.txt", "--text", "old", "--with", "new", "--mode",
                           "plain", "--scope", "tree", "--confirm-file", "--no-confirm-match",
                           "--list"},
                          c.answers);
    EXPECT_EQ(CountQuestions(run.err), c.questions) << c.answers << run.err;
    std::set<std::string> listed;
    for (std::size_t i = 0; i < std::size(kChain); ++i) {
      EXPECT_EQ(ReadAll(At(kChain[i])), c.rewritten[i] ? "new new\n" : "old old\n")
          << c.answers << " " << kChain[i];
      if (c.rewritten[i]) listed.insert(At(kChain[i]));
    }
    EXPECT_EQ(Lines(run.out), listed) << c.answers;
    EXPECT_EQ(run.exitCode, listed.empty() ? 1 : 0) << c.answers << run.err;
  }
  EXPECT_EQ(ReadStoredInt("FRConfirmFile"), 1);
}

TEST_F(ReplaceCommandTest, MatchQuestionsAreAnsweredFromThePipe) {
  WriteFile(At("a.txt"), "x x x\n");
  WriteFile(At("s1/b.txt"), "x x\n");
  WriteFile(At("s1/s2/c.txt"), "x\n");
  // a.txt: replace, skip, all; b.txt asks again and is cancelled at its first match: it
  // is still rewritten (unchanged), and the walk ends before c.txt.
  ChildResult run = Run({tree_, "--mask", "*.txt", "--text", "x", "--with", "y", "--mode", "plain",
                         "--scope", "tree", "--no-confirm-file", "--confirm-match", "--list"},
                        "r\ns\n2\n\nc\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadAll(At("a.txt")), "y x y\n");
  EXPECT_EQ(ReadAll(At("s1/b.txt")), "x x\n");
  EXPECT_EQ(ReadAll(At("s1/s2/c.txt")), "x\n");
  EXPECT_EQ(Lines(run.out), Paths({"a.txt", "s1/b.txt"}));
  // "2" is the all answer for a.txt's third match; the empty line is no answer and b.txt's
  // first match is asked again.
  EXPECT_EQ(CountQuestions(run.err), 5) << run.err;
  EXPECT_NE(run.err.find("not an answer"), std::string::npos) << run.err;

  // Both questions: the file question first, then one per match.
  WriteFile(At("a.txt"), "x x\n");
  run = Run({tree_, "--confirm-file", "--scope", "folder"}, "o\ns\nr\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadAll(At("a.txt")), "x y\n");
  EXPECT_EQ(CountQuestions(run.err), 3) << run.err;
}

}  // namespace
}  // namespace scenario
