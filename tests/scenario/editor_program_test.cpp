// "quarix edit" as a user runs it: a child process on a file of its own.
#include <sys/stat.h>

#include <sstream>

#include "editor_fixture.h"
#include "scenario/child_process.h"

namespace scenario {
namespace {

const std::string kProgram = kBinDir + "/quarix";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class EditProgram : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    file_ = Folder("work") + "/main.c";
    WriteFile(file_, kText);
  }
  ChildResult Edit(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"edit", file_});
    return RunChild(kProgram, args, {{"QUARIX_REGISTRY", root_ + "/registry"}}, input);
  }
  static constexpr const char* kText = "int x;\r\n// TODO first\n\nint y; // todo second\n";
  std::string file_;
};

TEST_F(EditProgram, PrintsEachHitAndLeavesAnUnchangedFileAlone) {
  struct stat before, after;
  ASSERT_EQ(stat(file_.c_str(), &before), 0);
  ChildResult run = Edit({"search", "--text", "todo", "--no-regex", "repeat"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "2:4:4:// TODO first\n4:11:4:int y; // todo second\n");
  ASSERT_EQ(stat(file_.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not rewritten
  EXPECT_EQ(ReadAll(file_), kText);
}

TEST_F(EditProgram, LastSearchFindingNothingExitsOne) {
  ChildResult run = Edit({"--at", "4:1", "search", "--text", "TODO", "--case", "--no-regex"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("TODO"), std::string::npos) << run.err;
  ChildResult back = Edit({"--at", "4:1", "search", "--text", "TODO", "--backward"});
  EXPECT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(back.out, "2:4:4:// TODO first\n");
}

TEST_F(EditProgram, SelectionLimitsTheSearch) {
  ChildResult run = Edit({"--select", "3:1-4:12", "search", "--text", "todo", "--in-selection"});
  EXPECT_EQ(run.exitCode, 1) << run.err;  // the block ends inside the word
  run = Edit({"--select", "3:1-4:15", "search", "--text", "todo", "--in-selection"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "4:11:4:int y; // todo second\n");
  run = Edit({"search", "--text", "todo", "--in-selection"});
  EXPECT_EQ(run.exitCode, 2);  // nothing is selected: the option cannot be chosen
}

TEST_F(EditProgram, ReplaceAnswersFromStandardInputAndSaves) {
  chmod(file_.c_str(), 0640);
  ChildResult run =
      Edit({"replace", "--text", "(?i)todo", "--with", "\\U$0!", "--regex"}, "s\n1\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadAll(file_), "int x;\r\n// TODO first\n\nint y; // TODO! second\n");
  struct stat st;
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // The end of the input answers Escape: nothing changes.
  run = Edit({"replace", "--text", "TODO", "--with", "x", "--no-regex"});
  EXPECT_EQ(ReadAll(file_), "int x;\r\n// TODO first\n\nint y; // TODO! second\n");
  // "a" for all; the repeat goes on without asking.
  run = Edit({"replace", "--text", "o", "--with", "0", "--case", "--no-regex"}, "A\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadAll(file_), "int x;\r\n// TODO first\n\nint y; // TODO! sec0nd\n");
}

// After "all" the plugin looks at standard input for Escape; the answers for the next
// command must still be there.
TEST_F(EditProgram, AnswersAfterAnAllAreKept) {
  ChildResult run = Edit({"replace", "--text", "first", "--with", "1st", "--no-regex", "replace",
                          "--text", "int", "--with", "long", "--case", "--no-regex"},
                         "a\n1\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // The second command starts where the first left the cursor, after "1st".
  EXPECT_EQ(ReadAll(file_), "int x;\r\n// TODO 1st\n\nlong y; // todo second\n");
}

TEST_F(EditProgram, ErrorsExitTwoAndKeepTheFile) {
  EXPECT_EQ(Edit({"search", "--text", "a(b", "--regex"}).exitCode, 2);
  EXPECT_EQ(Edit({"--at", "9:1", "search", "--text", "x"}).exitCode, 2);
  EXPECT_EQ(Edit({"--at", "0:1", "search"}).exitCode, 2);
  EXPECT_EQ(Edit({"search", "--bogus"}).exitCode, 2);
  EXPECT_EQ(Edit({}).exitCode, 2);
  ChildResult missing = RunChild(kProgram, {"edit", root_ + "/none.c", "search"},
                                 {{"QUARIX_REGISTRY", root_ + "/registry"}});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("none.c"), std::string::npos);
  EXPECT_EQ(ReadAll(file_), kText);
}

TEST_F(EditProgram, RepeatFollowsTheFileSearch) {
  WriteStoredInt("FSearchIn", 2);  // the panel's folder and its subfolders only
  ChildResult find =
      RunChild(kProgram, {"ff:TODO", root_ + "/work"}, {{"QUARIX_REGISTRY", root_ + "/registry"}});
  EXPECT_EQ(find.exitCode, 0) << find.err;
  ChildResult run = Edit({"--at", "2:5", "repeat"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "4:11:4:int y; // todo second\n");
}

}  // namespace
}  // namespace scenario
