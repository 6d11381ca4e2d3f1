// The quarix program and grep on one generated tree must list the same files: plain
// text against grep -F, patterns line by line against grep -P, the whole file against
// grep -zP (and perl where grep's NUL-separated records differ from one whole file).
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/child_process.h"
#include "scenario/fixture.h"

namespace scenario {
namespace {

using Paths = std::set<std::string>;

const std::string kProgram = QUARIX_BIN_DIR "/quarix";

std::string FindProgram(const char* name) {
  const char* path = getenv("PATH");
  std::istringstream folders(path ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

Paths Lines(const std::string& text) {
  Paths lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

// Words of source-like text, some with capitals and some with bytes above 127 (letters
// of the OEM code page), which only ASCII case folding leaves alone.
const char* const kWords[] = {
    "alpha", "beta",  "gamma", "Delta", "DELTA",  "omega",  "index", "count", "value",
    "Alpha", "buf_1", "x42",   "12345", "\x8f\xe0\xa8", "\xaf\xe0\xa8", "(x)", "a.b",
    "tab\tsep", "end;", "ZETA", "zeta", "theta", "lambda", "mu", "nu"};

// A fixed seed and mt19937 (whose sequence the language fixes): the same tree every run.
// Line ends are LF only; one file in eight has NUL bytes inside its lines.
std::vector<std::string> MakeTree(const std::string& root, Paths* withNul) {
  std::mt19937 random(20240611u);
  auto pick = [&](std::uint32_t n) { return random() % n; };
  std::vector<std::string> paths;
  for (int i = 0; i < 320; ++i) {
    std::string path = root + "/d" + std::to_string(pick(6)) + "/s" + std::to_string(pick(4)) +
                       "/f" + std::to_string(i) + (pick(2) ? ".txt" : ".c");
    bool binary = pick(8) == 0;
    std::string bytes;
    int lines = 1 + static_cast<int>(pick(30));
    for (int l = 0; l < lines; ++l) {
      int words = static_cast<int>(pick(8));
      for (int w = 0; w < words; ++w) {
        if (w) bytes += ' ';
        bytes += kWords[pick(sizeof kWords / sizeof kWords[0])];
        if (binary && pick(6) == 0) bytes += '\0';
      }
      if (l + 1 < lines || pick(3)) bytes += '\n';
    }
    if (binary && bytes.find('\0') == std::string::npos) bytes.insert(bytes.size() / 2, 1, '\0');
    WriteFile(path, bytes);
    if (bytes.find('\0') != std::string::npos) withNul->insert(path);
    paths.push_back(path);
  }
  return paths;
}

class GrepCrossCheckTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    grep_ = FindProgram("grep");
    if (grep_.empty()) GTEST_SKIP() << "grep is not installed";
    ChildResult probe = RunChild(grep_, {"-P", "x"}, {{"LC_ALL", "C"}}, "x\n");
    if (probe.exitCode != 0) GTEST_SKIP() << "this grep has no -P (PCRE): " << probe.err;
    tree_ = Folder("tree");
    files_ = MakeTree(tree_, &withNul_);
    ASSERT_GT(withNul_.size(), 10u);
  }

  Paths Quarix(const char* mode, const std::string& text, bool caseSensitive) {
    ChildResult result = RunChild(
        kProgram,
        {"search", tree_, "--mask", "*.*", "--scope", "tree", "--no-inverse", "--mode", mode,
         caseSensitive ? "--case" : "--no-case", "--text", text},
        {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}});
    EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 1) << result.err;
    return Lines(result.out);
  }
  Paths Grep(std::vector<std::string> options, const std::string& pattern) {
    options.insert(options.end(), {"--", pattern, tree_});
    ChildResult result = RunChild(grep_, options, {{"LC_ALL", "C"}});
    EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 1) << result.err;
    return Lines(result.out);
  }
  void Compare(const char* mode, const std::string& text, bool caseSensitive, const Paths& peer) {
    Paths ours = Quarix(mode, text, caseSensitive);
    EXPECT_EQ(ours, peer) << mode << " '" << text << "'";
    EXPECT_FALSE(peer.empty()) << "'" << text << "' should find some files";
    EXPECT_LT(peer.size(), files_.size()) << "'" << text << "' should not find every file";
  }

  std::string grep_;
  std::string tree_;
  std::vector<std::string> files_;
  Paths withNul_;
};

TEST_F(GrepCrossCheckTest, PlainTextAgreesWithGrepF) {
  // Without -a: a literal holds no NUL, so grep's treatment of binary files cannot
  // change which files hold it.
  for (const char* text : {"alpha beta", "Delta", "x42 12345", "\x8f\xe0\xa8 (x)", "a.b end;"})
    Compare("plain", text, true, Grep({"-rlF"}, text));
  for (const char* text : {"DELTA", "alpha BETA", "zeta ZETA", "\xaf\xe0\xa8"})
    Compare("plain", text, false, Grep({"-rliF"}, text));
}

TEST_F(GrepCrossCheckTest, LinePatternsAgreeWithGrepP) {
  // -a: grep would otherwise end lines at the NUL bytes of a binary file, and "^" or "$"
  // would match next to them. Its lines then end at LF only; the tree has no CR.
  for (const char* pattern : {"^alpha", "omega$", "\\bgam+a\\b", "(alpha|beta) \\1",
                              "^[a-z]+ [A-Z]+$", "\\d{5}", "x\\)\\s*a\\.b", "\\x00 (?:Delta|alpha)",
                              "^(?:\\S+ ){6}\\S+$", "\\xaf\\xe0"})
    Compare("regex", pattern, true, Grep({"-rlaP"}, pattern));
  for (const char* pattern : {"^delta\\b", "ALPHA zeta"})
    Compare("regex", pattern, false, Grep({"-rlaiP"}, pattern));
}

TEST_F(GrepCrossCheckTest, WholeFilePatternsAgreeWithGrepZP) {
  std::string perl = FindProgram("perl");
  for (const char* pattern : {"beta\\nalpha", "omega\\n\\n", "^mu$", "(?s)lambda.{0,30}theta",
                              "\\Aalpha", "Delta\\z", "nu\\n(?:.*\\n){3}mu"}) {
    SCOPED_TRACE(pattern);
    // grep -z reads NUL-separated records: files without NUL are one record, as quarix
    // reads every file. In a file with NUL bytes a record ends at each of them, so "^",
    // "$", "\A" and "\z" match beside a NUL and no match spans one; those files are
    // compared with perl reading each file whole instead.
    Paths expected;
    for (const std::string& path : Grep({"-rlzP"}, std::string("(?m)") + pattern))
      if (!withNul_.count(path)) expected.insert(path);
    if (perl.empty()) {
      ADD_FAILURE() << "perl is missing: the files with NUL bytes cannot be checked";
      continue;
    }
    std::vector<std::string> args = {"-0777", "-ne",
                                     "BEGIN { $p = $ENV{PATTERN} } print \"$ARGV\\n\" if /$p/m"};
    args.insert(args.end(), withNul_.begin(), withNul_.end());
    ChildResult result = RunChild(perl, args, {{"LC_ALL", "C"}, {"PATTERN", pattern}});
    ASSERT_EQ(result.err, "");
    for (const std::string& path : Lines(result.out)) expected.insert(path);
    Compare("regex-file", pattern, true, expected);
  }
}

TEST_F(GrepCrossCheckTest, GrepZReadsAFileWithNulAsSeveralRecords) {
  // Why the whole-file check leaves such files to perl: beside a NUL grep -z sees a
  // record start, the whole file has none.
  std::string file = Folder("nul") + "/n.bin";
  WriteFile(file, std::string("a\0b\nc\n", 6));
  ChildResult grep = RunChild(grep_, {"-lzP", "(?m)^b", file}, {{"LC_ALL", "C"}});
  EXPECT_EQ(grep.out, file + "\n");
  ChildResult ours = RunChild(kProgram,
                              {"search", fs::path(file).parent_path().string(), "--scope",
                               "folder", "--mode", "regex-file", "--case", "--text", "^b"},
                              {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}});
  EXPECT_EQ(ours.exitCode, 1) << ours.err;
  EXPECT_EQ(ours.out, "");
}

}  // namespace
}  // namespace scenario
