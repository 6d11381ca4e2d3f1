// Temporary files of the replace's naming in a walked folder: those a live replace holds
// are left alone, those of dead replaces go, and no search lists either; a user's file
// that merely looks like one is never touched.
#include "scenario/replace_fixture.h"

namespace scenario {
namespace {

using Tree = std::map<std::string, std::string>;

std::vector<std::string> SplitAtNul(const std::string& bytes) {
  std::vector<std::string> names;
  for (std::size_t at = 0, end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
    names.push_back(bytes.substr(at, end - at));
  return names;
}

class TemporaryFilesTest : public ReplaceTest {};

TEST_F(TemporaryFilesTest, ALiveReplacesTemporaryFileSurvivesAnotherRun) {
  const std::string tree = Folder("tree");
  WriteFile(tree + "/a.txt", "foo a\n");
  WriteFile(tree + "/b.txt", "foo b\n");
  // A replace that runs now: its temporary file, held by this process.
  const std::string live = tree + "/a.txt.qxnew-7f-0";
  platform::File file;
  platform::FileHold hold;
  ASSERT_TRUE(file.CreateNew(live.c_str(), 0644));
  ASSERT_TRUE(file.Hold(live.c_str(), &hold));
  ASSERT_TRUE(file.Write("bar a", 5));
  // Left behind by replaces that died, and names of users' files that only look alike.
  const Tree dead = {{"b.txt.qxnew-1a2b-3", "ba"}, {"gone.qxnew-0-0", ""}};
  const Tree users = {{"c.qxnew-1-0.txt", "foo c\n"}, {"d.txt.qxnew-1-64", "x"},
                      {"e.txt.qxnew-1-2.old", "y"}, {"f.txt.qxold-1-0", "z"},
                      {"g.txt.qxnew-01-0", "w"}};
  for (const auto& [name, content] : dead) WriteFile(tree + "/" + name, content);
  for (const auto& [name, content] : users) WriteFile(tree + "/" + name, content);

  ChildResult search = RunSearchOfEveryFile(tree);
  ASSERT_EQ(search.exitCode, 0) << search.err;
  std::set<std::string> listed;
  for (const std::string& path : SplitAtNul(search.out)) listed.insert(path.substr(tree.size() + 1));
  std::set<std::string> expected = {"a.txt", "b.txt"};
  for (const auto& [name, content] : users) expected.insert(name);
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(RemovedTemporaries(search), 2) << search.err;

  // Dead ones are recreated: the replace removes them too, and the live one stays.
  for (const auto& [name, content] : dead) WriteFile(tree + "/" + name, content);
  ChildResult replace = RunReplaceUnderFaultPlan(tree, false, "");
  EXPECT_EQ(replace.exitCode, 0) << replace.err;
  EXPECT_EQ(RemovedTemporaries(replace), 2) << replace.err;
  Tree after = ReadTree(tree);
  Tree want = users;
  want["c.qxnew-1-0.txt"] = "bar c\n";  // a user's file like any other
  want["a.txt"] = "bar a\n";
  want["b.txt"] = "bar b\n";
  want["a.txt.qxnew-7f-0"] = "bar a";
  EXPECT_EQ(after, want);

  // Once its replace is over, nothing holds it: the next search removes it.
  ASSERT_TRUE(file.Close());
  hold.Release();
  search = RunSearchOfEveryFile(tree);
  EXPECT_EQ(RemovedTemporaries(search), 1) << search.err;
  EXPECT_FALSE(platform::PathExists(live.c_str()));
  // And a walk without any says nothing of them.
  search = RunSearchOfEveryFile(tree);
  EXPECT_EQ(RemovedTemporaries(search), 0) << search.err;
  EXPECT_EQ(search.err.find("Temporary"), std::string::npos) << search.err;
}

}  // namespace
}  // namespace scenario
