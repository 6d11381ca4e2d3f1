// "quarix search" and "quarix config" as a user runs them: the options fill the dialogs'
// fields, the results are printed, errors end with status 2.
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/child_process.h"
#include "scenario/fixture.h"

namespace scenario {
namespace {

const std::string kProgram = QUARIX_BIN_DIR "/quarix";

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

class SearchCommandTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    tree_ = Folder("tree");
    WriteFile(tree_ + "/a.txt", "Alpha beta\n");
    WriteFile(tree_ + "/b.c", "alpha\ngamma\n");
    WriteFile(tree_ + "/sub/c.txt", "beta gamma\n");
    WriteFile(tree_ + "/other/d.txt", "alpha\n");
  }
  // The environment carries the test's registry folder.
  ChildResult Run(const std::vector<std::string>& args) {
    return RunChild(kProgram, args, {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}});
  }
  std::set<std::string> Paths(std::initializer_list<const char*> names) {
    std::set<std::string> paths;
    for (const char* name : names) paths.insert(tree_ + "/" + name);
    return paths;
  }

  std::string tree_;
};

TEST_F(SearchCommandTest, OptionsFillTheDialogAndTheResultsArePrinted) {
  ChildResult result = Run({"search", tree_, "--mask", "*.txt", "--text", "alpha", "--mode",
                            "plain", "--no-case", "--scope", "tree"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), Paths({"a.txt", "other/d.txt"}));
  EXPECT_EQ(ReadStoredText("FMask"), "*.txt");
  EXPECT_EQ(ReadStoredText("FText"), "alpha");
  EXPECT_EQ(ReadStoredInt("FSearchAs"), 0);
  EXPECT_EQ(ReadStoredInt("FCaseSensitive"), 0);
  EXPECT_EQ(ReadStoredInt("FSearchIn"), 2);

  // No options repeat the last search; each option changes only its own field.
  result = Run({"search", tree_});
  EXPECT_EQ(Lines(result.out), Paths({"a.txt", "other/d.txt"})) << result.err;
  result = Run({"search", tree_, "--case"});
  EXPECT_EQ(Lines(result.out), Paths({"other/d.txt"})) << result.err;
  result = Run({"search", tree_, "--inverse", "--scope=folder"});
  EXPECT_EQ(Lines(result.out), Paths({"a.txt"})) << result.err;
  result = Run({"search", tree_, "--text=gamma", "--mask=*.*", "--no-inverse", "--mode", "regex"});
  EXPECT_EQ(Lines(result.out), Paths({"b.c"})) << result.err;

  // Nothing found: status 1.
  result = Run({"search", tree_, "--text", "absent"});
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(SearchCommandTest, ModeAndScopeNamesAreTheDialogsButtons) {
  const char* modes[] = {"plain", "regex", "regex-file", "regex-lines", "words", "regex-words"};
  for (int mode = 0; mode < 6; ++mode) {
    ChildResult result = Run({"search", tree_, "--mode", modes[mode], "--text", "gamma",
                              "--scope", "folder", "--case"});
    EXPECT_EQ(result.exitCode, 0) << modes[mode] << result.err;
    EXPECT_EQ(Lines(result.out), Paths({"b.c"})) << modes[mode];
    EXPECT_EQ(ReadStoredInt("FSearchAs"), mode) << modes[mode];
  }
  const char* scopes[] = {"drives", "drive", "tree", "folder", "selected"};
  for (int scope = 2; scope < 5; ++scope) {
    ChildResult result = Run({"search", tree_, "--scope", scopes[scope], "--select", "other"});
    EXPECT_EQ(ReadStoredInt("FSearchIn"), scope) << scopes[scope] << result.err;
  }
  // The selected folders, each with its subfolders.
  ChildResult result = Run({"search", tree_, "--mode", "plain", "--text", "a", "--scope",
                            "selected", "--select", "sub", "--select", "a.txt"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), Paths({"sub/c.txt"}));
  result = Run({"search", tree_, "--scope", "selected", "--select", "missing"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("missing"), std::string::npos) << result.err;
}

TEST_F(SearchCommandTest, TheCommandLineSearchKeepsWhatTheDialogStored) {
  ChildResult result = Run({"search", tree_, "--mode", "regex-words", "--case", "--mask",
                            "*.txt", "--scope", "tree", "--text", "x"});
  ASSERT_EQ(result.exitCode, 1) << result.err;
  result = Run({"ff:+^alpha$ -Alpha", tree_});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), Paths({"other/d.txt"}));
  EXPECT_EQ(ReadStoredInt("FSearchAs"), 5);
}

TEST_F(SearchCommandTest, APatternErrorIsWrittenAndTheDialogCancelled) {
  ChildResult result = Run({"search", tree_, "--mode", "regex", "--text", "a(b"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("a(b\n   ^\n"), std::string::npos) << "the pattern and its caret\n"
                                                               << result.err;
  EXPECT_NE(result.err.find("came back"), std::string::npos) << result.err;
  EXPECT_EQ(ReadStoredText("FText"), "a(b") << "the failed attempt is kept";

  result = Run({"search", tree_, "--mode", "regex-words", "--text", "+alpha -(x"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("(x"), std::string::npos) << result.err;
}

TEST_F(SearchCommandTest, CommandLineMistakesShowTheUsage) {
  const std::vector<std::vector<std::string>> mistakes = {
      {"search", tree_, "--bogus"},
      {"search", tree_, "--mode", "fuzzy"},
      {"search", tree_, "--scope"},
      {"search", tree_, tree_},
      {"search", tree_, "--case=yes"},
      {"search", tree_, "--text", std::string(512, 't')},  // more than the field holds
      {"config", "--lines"},
      {"config", "--delimiter", "ab"},
      {"config", "--dot-star-no-ext", "maybe"},
      {"config", "extra"},
  };
  for (const auto& args : mistakes) {
    ChildResult result = Run(args);
    std::string shown;
    for (const std::string& arg : args) shown += arg.substr(0, 20) + " ";
    EXPECT_EQ(result.exitCode, 2) << shown;
    EXPECT_NE(result.err.find("usage: quarix " + args[0]), std::string::npos) << shown << result.err;
    EXPECT_EQ(result.out, "") << shown;
  }
  EXPECT_FALSE(ReadStored("FText")) << "no plugin ran";
}

TEST_F(SearchCommandTest, ConfigTakesTheFieldsAsTyped) {
  ChildResult result = Run({"config", "--lines", "12abc", "--read-limit", " 7", "--delimiter",
                            ";", "--negation", "", "--dot-star-no-ext", "off"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadStoredInt("SeveralLines"), 12);
  EXPECT_EQ(ReadStoredInt("ReadAtOnceLimit"), 7);
  EXPECT_EQ(ReadStoredInt("MaskDelimiter"), ';');
  EXPECT_EQ(ReadStoredInt("MaskNegation"), 0);
  EXPECT_EQ(ReadStoredInt("DotAsteriskMatchesNoExtension"), 0);

  // A field not given keeps its value.
  result = Run({"config", "--lines=255"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadStoredInt("SeveralLines"), 255);
  EXPECT_EQ(ReadStoredInt("ReadAtOnceLimit"), 7);
  EXPECT_EQ(ReadStoredInt("MaskDelimiter"), ';');

  // A wrong number: the warning on stderr, the dialog cancelled when it comes back.
  for (const char* lines : {"256", "0", "abc", ""}) {
    result = Run({"config", "--lines", lines, "--read-limit", "99"});
    EXPECT_EQ(result.exitCode, 2) << lines;
    EXPECT_NE(result.err.find("came back"), std::string::npos) << result.err;
    EXPECT_EQ(ReadStoredInt("SeveralLines"), 255) << lines;
    // The limit passed its check: it is in effect, and ExitFAR stored it.
    EXPECT_EQ(ReadStoredInt("ReadAtOnceLimit"), 99) << lines;
  }
}

TEST_F(SearchCommandTest, ConfigTakesTheEncodingsAndRefusesAnUnknownName) {
  ChildResult result = Run({"config", "--encodings", "windows-1251,koi8-r"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadStoredText("Encodings"), "windows-1251,koi8-r");

  result = Run({"config", "--encodings", "cp1251 latin-9", "--lines", "9"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("latin-9"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("windows-1252"), std::string::npos) << "the known names\n" << result.err;
  EXPECT_NE(result.err.find("came back"), std::string::npos) << result.err;
  EXPECT_EQ(ReadStoredText("Encodings"), "windows-1251,koi8-r");

  result = Run({"config", "--help"});
  EXPECT_NE(result.out.find("--encodings LIST"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace scenario
