// The quarix program as a user runs it: a child process on a temporary tree, with a
// registry folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/platform.h"
#include "scenario/child_process.h"
#include "unit/host/scratch_folder.h"

namespace {

const std::string kProgram = QUARIX_BIN_DIR "/quarix";
const char* kSettingsKey = "Software\\Far\\Plugins\\Quarix";

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    registry = scratch.path() + "registry";
    tree = scratch.path() + "tree/";
    std::filesystem::create_directories(tree);
    // The stored scope decides what a search walks: the panel's folder with its
    // subfolders, not the whole drive.
    SetStoredNumber("FSearchIn", 2);
  }

  void SetStoredNumber(const char* name, std::uint32_t value) {
    setenv("QUARIX_REGISTRY", registry.c_str(), 1);
    platform::RegistryKey* key = platform::OpenRegistryKey(kSettingsKey);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(platform::SetRegistryValue(key, name, platform::kRegDword, &value, sizeof value));
    EXPECT_EQ(platform::CloseRegistryKey(key), 0);
  }

  std::string StoredText(const char* name) {
    setenv("QUARIX_REGISTRY", registry.c_str(), 1);
    platform::RegistryKey* key = platform::OpenRegistryKey(kSettingsKey);
    if (!key) return "<no key>";
    char buffer[512] = {};
    std::uint32_t type = 0, size = sizeof buffer - 1;
    bool found = platform::QueryRegistryValue(key, name, &type, buffer, &size);
    platform::CloseRegistryKey(key);
    return found && type == platform::kRegSz ? std::string(buffer) : "<missing>";
  }

  // Files of the tree, by their path below it; returns their full paths.
  std::set<std::string> MakeFiles(const std::vector<std::pair<std::string, std::string>>& files) {
    std::set<std::string> paths;
    for (const auto& [relative, bytes] : files) {
      scratch.Write("tree/" + relative, bytes);
      paths.insert(tree + relative);
    }
    return paths;
  }

  ChildResult Run(const std::vector<std::string>& args, const std::string& input = "",
                  std::map<std::string, std::string> env = {}) {
    env.emplace("QUARIX_REGISTRY", registry);
    env.emplace("QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR);
    return RunChild(kProgram, args, env, input);
  }

  ScratchFolder scratch;
  std::string registry;
  std::string tree;
};

TEST_F(ProgramTest, EmptyTextListsEveryFileOfTheTree) {
  std::set<std::string> all = MakeFiles({{"a.c", "int a;\n"},
                                         {"Makefile", "all:\n"},
                                         {"empty.txt", ""},
                                         {"sub/b.h", "// TODO\n"},
                                         {"sub/deeper/c.py", "print(1)\r\n"},
                                         {".config/settings", "x=1\n"}});
  ChildResult result = Run({"ff:", tree});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), all);
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 6) << "each file once";

  result = Run({"--dir", tree.substr(0, tree.size() - 1), "ff:"});  // --dir, no trailing "/"
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), all);
}

TEST_F(ProgramTest, TextListsOnlyTheFilesThatHoldIt) {
  MakeFiles({{"one.txt", "nothing here\n"},
             {"two.txt", "a todo item\n"},
             {"sub/three.c", "/* TODO */\n"},
             {"sub/four.c", "done\n"}});
  ChildResult result = Run({"ff:todo", tree});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), (std::set<std::string>{tree + "two.txt", tree + "sub/three.c"}));
}

TEST_F(ProgramTest, EmptyFolderOrNothingFoundGivesExitOneAndNoOutput) {
  ChildResult result = Run({"ff:", tree});
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_EQ(result.out, "");

  MakeFiles({{"a.txt", "alpha\n"}});
  result = Run({"ff:no such text", tree});
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(ProgramTest, FolderThatCannotBeShownGivesExitTwo) {
  MakeFiles({{"file.txt", "x\n"}});
  for (const std::string& dir : {tree + "missing", tree + "file.txt"}) {
    ChildResult result = Run({"ff:", dir});
    EXPECT_EQ(result.exitCode, 2) << dir;
    EXPECT_EQ(result.out, "") << dir;
    EXPECT_NE(result.err.find(dir), std::string::npos) << result.err;
  }
}

TEST_F(ProgramTest, CommandLineMistakesShowTheUsageAndGiveExitTwo) {
  const std::vector<std::vector<std::string>> mistakes = {{},
                                                          {"--bogus", "ff:"},
                                                          {"--dir"},
                                                          {"ff:", tree, "extra"},
                                                          {"--dir", tree, "ff:", tree},
                                                          {"search-nothing"}};
  for (const auto& args : mistakes) {
    ChildResult result = Run(args);
    std::string shown;
    for (const std::string& arg : args) shown += arg + " ";
    EXPECT_EQ(result.exitCode, 2) << shown;
    EXPECT_NE(result.err.find("usage: quarix"), std::string::npos) << shown << result.err;
    EXPECT_EQ(result.out, "") << shown;
  }
}

TEST_F(ProgramTest, PatternErrorOpensNoPanel) {
  MakeFiles({{"a.txt", "a(b\n"}});
  ChildResult result = Run({"ff:a(b", tree});  // the stored mode is a regular expression
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("a(b"), std::string::npos) << result.err;
}

TEST_F(ProgramTest, MissingTrawlixModuleGivesExitTwo) {
  MakeFiles({{"a.txt", "x\n"}});
  scratch.MakeFolder("no-modules");
  ChildResult result =
      Run({"ff:", tree}, "", {{"QUARIX_PLUGIN_DIR", scratch.path() + "no-modules"}});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("Trawlix.so"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(ProgramTest, LoneEscapeOnInputStopsTheWalkEarly) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* folder : {"", "a/", "a/b/", "c/", "d/"})
    for (const char* name : {"1.txt", "2.txt", "3.txt"})
      files.emplace_back(std::string(folder) + name, "text\n");
  std::set<std::string> all = MakeFiles(files);
  // On one thread the file under way when Escape comes is finished.
  ASSERT_EQ(Run({"config", "--threads", "1"}).exitCode, 0);

  ChildResult result = Run({"ff:", tree}, "\x1b");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::set<std::string> listed = Lines(result.out);
  EXPECT_GE(listed.size(), 1u);  // the file under test when Escape came is finished
  EXPECT_LT(listed.size(), all.size());
  for (const std::string& path : listed) EXPECT_TRUE(all.count(path)) << path;

  // Other bytes are swallowed, not taken for Escape; an arrow key is no Escape either.
  result = Run({"ff:", tree}, "q\x1b[A");
  EXPECT_EQ(Lines(result.out), all) << result.err;
}

TEST_F(ProgramTest, TerminalInputSeesALoneEscapeAtOnceAndGetsItsModeBack) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* folder : {"", "a/", "b/", "c/"})
    for (const char* name : {"1.txt", "2.txt"})
      files.emplace_back(std::string(folder) + name, "x\n");
  std::set<std::string> all = MakeFiles(files);

  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  termios before;
  ASSERT_EQ(tcgetattr(terminal, &before), 0);
  ASSERT_TRUE(before.c_lflag & ICANON);
  // Typed ahead without Enter: only a terminal out of line mode hands it over.
  ASSERT_EQ(write(master, "\x1b", 1), 1);
  ASSERT_EQ(Run({"config", "--threads", "1"}).exitCode, 0);

  ChildResult result = RunChild(
      kProgram, {"ff:", tree},
      {{"QUARIX_REGISTRY", registry}, {"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}}, "", terminal);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::set<std::string> listed = Lines(result.out);
  EXPECT_GE(listed.size(), 1u);
  EXPECT_LT(listed.size(), all.size());

  termios after;
  ASSERT_EQ(tcgetattr(terminal, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_cc[VMIN], before.c_cc[VMIN]);
  close(terminal);
  close(master);
}

// The names as a script reads them: split at NUL bytes.
std::set<std::string> NulSeparated(const std::string& text) {
  std::set<std::string> names;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
    names.insert(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the last name ends with a NUL too";
  return names;
}

// A pseudo-terminal for the child's standard output, read back raw (no "\r" added).
class Terminal {
 public:
  Terminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    termios mode;
    if (slave_ >= 0 && tcgetattr(slave_, &mode) == 0) {
      cfmakeraw(&mode);
      tcsetattr(slave_, TCSANOW, &mode);
    }
  }
  ~Terminal() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  int fd() const { return slave_; }
  // What was written to it so far.
  std::string Take() {
    std::string text;
    char buffer[4096];
    for (;;) {
      pollfd ready{master_, POLLIN, 0};
      if (poll(&ready, 1, 100) <= 0) break;
      const ssize_t got = read(master_, buffer, sizeof buffer);
      if (got <= 0) break;
      text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

// The three commands that list files, each finding "needle".
std::vector<std::vector<std::string>> ListingCommands(const std::string& tree) {
  return {{"ff:needle", tree},
          {"search", tree, "--mask", "*", "--text", "needle", "--mode", "plain", "--scope", "tree"},
          {"replace", tree, "--mask", "*", "--text", "needle", "--with", "needle", "--mode",
           "plain", "--scope", "tree", "--list", "--no-confirm-file", "--no-confirm-match",
           "--no-backup"}};
}

TEST_F(ProgramTest, NulSeparatedNamesKeepLineFeeds) {
  const std::set<std::string> files =
      MakeFiles({{"two\nlines.txt", "needle\n"}, {"plain.txt", "needle\n"}});
  for (std::vector<std::string> args : ListingCommands(tree)) {
    for (const char* option : {"-0", "--null"}) {
      args.insert(args.begin() + (args[0] == "ff:needle" ? 0 : 1), option);
      ChildResult result = Run(args);
      EXPECT_EQ(result.exitCode, 0) << args[0] << " " << result.err;
      EXPECT_EQ(NulSeparated(result.out), files) << args[0];
      EXPECT_EQ(result.err, "") << args[0];
      args.erase(std::find(args.begin(), args.end(), option));
    }
  }
}

TEST_F(ProgramTest, LinesToAPipeStayRawAndALineFeedIsPointedOut) {
  MakeFiles({{"two\nlines.txt", "needle\n"}, {"back\\slash.txt", "needle\n"}});
  ChildResult result = Run({"ff:needle", tree});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  // Scripts read one raw path per line: so it stays, and the name that breaks it is named.
  EXPECT_EQ(Lines(result.out),
            (std::set<std::string>{tree + "two", "lines.txt", tree + "back\\slash.txt"}));
  EXPECT_NE(result.err.find(tree + "two\\nlines.txt"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("-0"), std::string::npos) << result.err;
}

TEST_F(ProgramTest, ATerminalSeesControlBytesEscaped) {
  // "\xc2\x9b" is CSI, a C1 control, in UTF-8; "\xd0\x96" (Zhe) has a byte of that range
  // too, and is a letter.
  MakeFiles({{"\x1b[2J.txt", "needle\n"}, {"a\nb\\n.txt", "needle\n"}, {"\x7f.txt", "needle\n"},
             {"\xc2\x9b" "2J\xd0\x96.txt", "needle\n"}});
  for (const std::vector<std::string>& args : ListingCommands(tree)) {
    Terminal terminal;
    ASSERT_GE(terminal.fd(), 0);
    ChildResult result =
        RunChild(kProgram, args,
                 {{"QUARIX_REGISTRY", registry}, {"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}}, "", -1,
                 terminal.fd());
    EXPECT_EQ(result.exitCode, 0) << args[0] << " " << result.err;
    const std::string shown = terminal.Take();
    // Each name on a line of its own; the backslash doubled, so "\n" typed in a name and
    // a line feed in it read differently.
    EXPECT_EQ(Lines(shown), (std::set<std::string>{tree + "\\x1b[2J.txt",
                                                    tree + "a\\nb\\\\n.txt", tree + "\\x7f.txt",
                                                    tree + "\\xc2\\x9b2J\xd0\x96.txt"}))
        << args[0] << ": " << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << args[0];
  }
}

TEST_F(ProgramTest, MessagesShowControlBytesEscaped) {
  MakeFiles({{"x\x1b[2J", "a\x1b[2Jb\n"}});
  struct Case {
    std::vector<std::string> args;
    std::string expected;  // in the messages on stderr
  } cases[] = {
      {{"ff:", tree + "no\x1b[2Jsuch"}, tree + "no\\x1b[2Jsuch: No such file"},
      {{"search", tree, "--select", "x\x1b[2J\n"}, "no entry x\\x1b[2J\\n to select"},
      // A question of the editor plugin quotes the matched bytes of the line.
      {{"edit", tree + "x\x1b[2J", "replace", "--text", "a.", "--with", "b", "--regex"},
       "\"a\\x1b\""},
  };
  for (const Case& c : cases) {
    ChildResult result = Run(c.args);
    EXPECT_NE(result.err.find(c.expected), std::string::npos) << c.args[0] << ": " << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << c.args[0] << ": " << result.err;
  }
}

// A complaint about the command line quotes the words given; their control bytes must not
// act on the terminal either, whichever command reads them.
TEST_F(ProgramTest, CommandLineMistakesShowControlBytesEscaped) {
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  } cases[] = {
      {{"config", "--bad\x1b[2J"}, "quarix: unknown option --bad\\x1b[2J\n"},
      {{"config", "x\x1b[2J"}, "quarix: unexpected argument x\\x1b[2J\n"},
      {{"search", tree, "x\x1b[2J"}, "quarix: unexpected argument x\\x1b[2J"},
      {{"replace", "--bad\x1b[2J"}, "quarix replace: unknown option --bad\\x1b[2J\n"},
      {{"edit", "f", "search", "--bad\x1b[2J"}, "quarix edit: unknown option --bad\\x1b[2J"},
  };
  for (const Case& c : cases) {
    ChildResult result = Run(c.args);
    EXPECT_EQ(result.exitCode, 2) << c.args[0];
    EXPECT_NE(result.err.find(c.expected), std::string::npos) << c.args[0] << ": " << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << c.args[0] << ": " << result.err;
    EXPECT_NE(result.err.find("usage: quarix"), std::string::npos) << c.args[0];
  }
}

TEST_F(ProgramTest, SettingsPersistBetweenRuns) {
  MakeFiles({{"a.txt", "needle\n"}});
  ChildResult result = Run({"ff:needle", tree});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(StoredText("FText"), "needle");
  std::ifstream file(registry + "/Software/Far/Plugins/Quarix.reg");
  std::string stored((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(stored.find("needle"), std::string::npos) << stored;

  // The scope stored before the first run still holds: the second run stays in the tree.
  result = Run({"ff:", tree});
  EXPECT_EQ(Lines(result.out), std::set<std::string>{tree + "a.txt"});
  EXPECT_EQ(StoredText("FText"), "");
}

}  // namespace
