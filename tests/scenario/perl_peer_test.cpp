// The replace of "quarix replace --mode regex" against perl's s///g on the same tree:
// both must leave every file byte for byte the same.
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/child_process.h"
#include "scenario/fixture.h"

namespace scenario {
namespace {

const std::string kProgram = QUARIX_BIN_DIR "/quarix";

std::string FindPerl() {
  for (const char* path : {"/usr/bin/perl", "/usr/local/bin/perl", "/bin/perl"})
    if (access(path, X_OK) == 0) return path;
  return "";
}

// A few hundred small source-like files with LF line ends, the same for a given seed:
// identifiers in several styles, numbers, strings, declarations and statements.
std::map<std::string, std::string> MakeSourceTree(std::uint32_t seed) {
  std::mt19937 random(seed);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  const std::vector<std::string> words = {"alpha", "beta", "count", "size", "name", "value",
                                          "item", "next", "x", "y", "buffer", "index"};
  const std::vector<std::string> types = {"int", "char", "long", "void"};
  auto word = [&] { return words[pick(words.size())]; };
  auto capital = [&] {
    std::string w = word();
    w[0] = static_cast<char>(w[0] - 'a' + 'A');
    return w;
  };
  auto number = [&] {
    std::string n = std::to_string(random() % 1000);
    if (pick(3) == 0) n += "." + std::to_string(random() % 100);
    return n;
  };
  std::map<std::string, std::string> files;
  const char* folders[] = {"", "src/", "src/core/", "include/", "lib/util/", "lib/util/deep/"};
  const char* extensions[] = {".c", ".h", ".txt", ".cpp"};
  for (int f = 0; f < 150; ++f) {
    std::string text;
    const std::size_t lines = 4 + pick(20);
    for (std::size_t l = 0; l < lines; ++l) {
      switch (pick(8)) {
        case 0:
          text += types[pick(types.size())] + " " + word() + "_" + word() + " = " + number() + ";";
          break;
        case 1:
          text += "  value = get" + capital() + word() + "(" + word() + ", " + number() + ");";
          break;
        case 2:
          text += "  puts(\"" + word() + " " + capital() + " " + number() + "\");";
          break;
        case 3:
          text += "// " + capital() + " " + word() + " xy y " + number() + " " + word() + "_" + word();
          break;
        case 4:
          break;  // an empty line
        case 5:
          text += "char " + word() + "[" + number() + "]; int " + word() + ";";
          break;
        case 6:
          text += "  if (" + word() + " > " + number() + ") { " + word() + "++; }";
          break;
        default:
          text += "  " + capital() + capital() + " = \"\" \"" + word() + "\";";
          break;
      }
      text += "\n";
    }
    files[std::string(folders[pick(std::size(folders))]) + "file" + std::to_string(f) +
          extensions[pick(std::size(extensions))]] = text;
  }
  return files;
}

// Our template in perl's replacement syntax: $N is ${N}, $0 or a lone $ the whole match
// ($&);
// the escapes (\U, \L, \E, \n and the control characters) are the same in both; every
// other character that perl's double-quoted text would interpret is escaped.
std::string TranslateTemplate(const std::string& ours) {
  std::string perl;
  for (std::size_t i = 0; i < ours.size(); ++i) {
    const char c = ours[i];
    if (c == '$' && i + 1 < ours.size()) {
      std::size_t digits = i + 1;
      while (digits < ours.size() && ours[digits] >= '0' && ours[digits] <= '9') ++digits;
      const std::string number = ours.substr(i + 1, digits - i - 1);
      const bool whole = number.find_first_not_of('0') == std::string::npos;  // "$", "$0"
      perl += whole ? "$&" : "${" + number + "}";
      i = digits - 1;
    } else if (c == '\\' && i + 1 < ours.size()) {
      perl += ours.substr(i, 2);
      ++i;
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '_') {
      perl += c;
    } else {
      perl += std::string("\\") + c;
    }
  }
  return perl;
}

// The pattern inside s/.../: the delimiter and perl's array interpolation escaped.
std::string QuotePattern(const std::string& pattern) {
  std::string quoted;
  for (char c : pattern) {
    if (c == '/' || c == '@') quoted += '\\';
    quoted += c;
  }
  return quoted;
}

std::map<std::string, std::string> ReadTree(const std::string& base) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    files[fs::relative(entry.path(), base).string()] = bytes.str();
  }
  return files;
}

void WriteTree(const std::string& base, const std::map<std::string, std::string>& files) {
  for (const auto& [name, text] : files) WriteFile(base + "/" + name, text);
}

// The first line where two texts part, for the failure message.
std::string FirstDifference(const std::string& ours, const std::string& theirs) {
  std::size_t at = 0;
  while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at]) ++at;
  std::size_t line = ours.rfind('\n', at == 0 ? 0 : at - 1);
  line = line == std::string::npos ? 0 : line + 1;
  auto lineAt = [&](const std::string& text) { return text.substr(line, text.find('\n', at) - line); };
  return "byte " + std::to_string(at) + "\n  quarix: " + lineAt(ours) + "\n  perl:   " +
         lineAt(theirs);
}

struct Pair {
  const char* pattern;
  const char* with;
};

class PerlPeerTest : public ScenarioTest {
 protected:
  // Runs "quarix replace" in mode and perl with its options and s///flags on two copies of
  // the tree, pair by pair, and expects the same bytes in every file.
  void ExpectSameTreeAsPerl(const std::map<std::string, std::string>& source,
                            const std::vector<Pair>& pairs, const char* mode,
                            const std::vector<std::string>& perlOptions, const char* flags) {
    const std::string perl = FindPerl();
    if (perl.empty()) GTEST_SKIP() << "perl is not installed: nothing to compare with";
    int compared = 0;
    for (const Pair& pair : pairs) {
      SCOPED_TRACE(std::string(pair.pattern) + " -> " + pair.with);
      const std::string ours = MakeTempFolder("ours"), theirs = MakeTempFolder("perl");
      ASSERT_FALSE(ours.empty() || theirs.empty());
      WriteTree(ours, source);
      WriteTree(theirs, source);

      ChildResult run = RunChild(
          kProgram,
          {"replace", ours, "--mode", mode, "--scope", "tree", "--mask", "*.*", "--text",
           pair.pattern, "--with", pair.with, "--case", "--no-list", "--no-confirm-file",
           "--no-confirm-match", "--no-backup"},
          {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}});
      ASSERT_EQ(run.exitCode, 0) << run.err;

      const std::string script =
          "s/" + QuotePattern(pair.pattern) + "/" + TranslateTemplate(pair.with) + "/" + flags;
      std::vector<std::string> args = perlOptions;
      args.insert(args.end(), {"-e", script});
      for (const auto& [name, text] : source) args.push_back(theirs + "/" + name);
      ChildResult peer = RunChild(perl, args, {});
      ASSERT_EQ(peer.exitCode, 0) << script << "\n" << peer.err;

      const auto mine = ReadTree(ours), other = ReadTree(theirs);
      ASSERT_EQ(mine.size(), source.size()) << "no file added or lost";
      ASSERT_EQ(other.size(), source.size());
      int changed = 0, differing = 0;
      std::string shown;  // the first few differences, enough to see why
      for (const auto& [name, text] : mine) {
        ASSERT_TRUE(other.count(name)) << name;
        if (text != other.at(name) && ++differing <= 3)
          shown += name + ": " + FirstDifference(text, other.at(name)) + "\n";
        changed += text != source.at(name);
      }
      EXPECT_EQ(differing, 0) << "perl: " << script << "\n" << shown;
      EXPECT_GT(changed, 0) << "the pair must change something to prove anything";
      ++compared;
      std::error_code ignored;
      fs::remove_all(ours, ignored);
      fs::remove_all(theirs, ignored);
    }
    EXPECT_EQ(compared, static_cast<int>(pairs.size()));
  }
};

TEST_F(PerlPeerTest, RegexReplaceLeavesTheSameTreeAsPerl) {
  const std::vector<Pair> pairs = {
      {"([a-z]+)_([a-z]+)", "$2_$1"},
      {"(\\d+)\\.(\\d+)", "$2,$1"},
      {"get([A-Z]\\w*)", "\\U$1\\E_get"},
      {"\"([^\"]*)\"", "'$1'"},
      {";", ";\\n"},
      {"(int|char) (\\w+)", "$2 -> \\U$1"},
      {"([A-Z])([a-z]+)", "\\L$1\\E$2\\U$1"},
      {"(x)?y", "[$1|$0]"},
      {"[0-9]*", "<$0>"},      // empty matches between the digits
      {"[0-9]*?", "#"},        // an empty match first, then a digit at the same place
      {"(|ab)c", "{$1}"},      // an empty group that takes part
      {"\\w+", "$0$0"},
  };
  // -l: perl's subject is the line without its end, as ours is (every line of the tree
  // ends with LF, which -l puts back).
  ExpectSameTreeAsPerl(MakeSourceTree(20240611), pairs, "regex", {"-lpi"}, "g");
}

TEST_F(PerlPeerTest, WindowReplaceLeavesTheSameTreeAsPerlOverTheWholeFile) {
  // Every match of these fits a window of three lines, and none is cut shorter by a
  // window's end, so the windows find what perl finds in the whole file; line starts and
  // ends inside and at the edges of the windows are the file's own.
  WriteStoredInt("SeveralLines", 3);
  const std::vector<Pair> pairs = {
      {"^\\n", ""},                    // empty lines, one after another
      {"$", ";"},                       // every line end, and the end of the file
      {"^", "> "},                      // every line start
      {";\\n", "; "},                  // a match that takes a line break
      {"\\n\\n", "\\n"},
      {"^(\\w+) ", "[$1] "},
      {"(\\w+);$", "$1 ;"},
      {";\\n  (\\w)", ";\\n  <$1>"},     // ends inside the line where the next one begins
      {"^[ \\t]*//.*\\n", ""},
      {"[0-9]*$", "#"},                 // empty and longer matches at line ends
  };
  // -0777: perl's subject is the whole file; m: the pattern is multi-line, as ours is.
  ExpectSameTreeAsPerl(MakeSourceTree(20261208), pairs, "regex-lines", {"-0777", "-pi"}, "mg");
}

}  // namespace
}  // namespace scenario
