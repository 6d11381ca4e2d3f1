// The help files shipped beside the modules: the host's help format, every link resolves,
// and every help topic that a dialog or message of the plugins names has its page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

// A help file as the host reads it: its header lines, its topics (the host compares
// topic names without regard to case) and the links of each line.
struct HelpFile {
  std::vector<std::string> lines;
  std::map<std::string, std::size_t> topics;  // upper-cased name -> line index
  std::vector<std::string> problems;
};

// Checks the markup of one text line: "#" toggles highlighting and "~" a link, "##",
// "~~" and "@@" stand for the character itself, and a link is ~text~@Topic@. The host
// carries an odd "#" over to the next line, so each line must pair its own. A line
// shows at most 79 columns.
void CheckLine(const std::string& line, std::size_t number, std::vector<std::string>* links,
               std::vector<std::string>* problems) {
  int highlights = 0;
  bool inLink = false;
  std::size_t shown = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if ((c == '#' || c == '~' || c == '@') && next == c) {
      ++shown;
      ++i;
      continue;
    }
    if (c != '#' && c != '~' && c != '@') ++shown;
    if (c == '#') {
      ++highlights;
    } else if (c == '~') {
      inLink = !inLink;
      if (!inLink) {
        std::size_t end = next == '@' ? line.find('@', i + 2) : std::string::npos;
        if (end == std::string::npos) {
          problems->push_back("line " + std::to_string(number) + ": a link without @Topic@");
          continue;
        }
        links->push_back(line.substr(i + 2, end - i - 2));
        i = end;
      }
    } else if (c == '@') {
      problems->push_back("line " + std::to_string(number) + ": a lone @ (write @@)");
    }
  }
  if (highlights % 2) problems->push_back("line " + std::to_string(number) + ": an odd #");
  if (shown > 79) problems->push_back("line " + std::to_string(number) + " is too wide");
  if (inLink) problems->push_back("line " + std::to_string(number) + ": an open ~");
}

HelpFile ParseHelpFile(const std::string& bytes) {
  HelpFile help;
  help.lines = SplitLines(bytes);
  std::vector<std::pair<std::size_t, std::string>> links;
  for (std::size_t n = 0; n < help.lines.size(); ++n) {
    const std::string& line = help.lines[n];
    // The host reads at most 299 bytes of a line.
    if (line.size() >= 300)
      help.problems.push_back("line " + std::to_string(n + 1) + " is too long");
    if (line.find('\t') != std::string::npos)
      help.problems.push_back("line " + std::to_string(n + 1) + " holds a tab");
    if (line.empty() || line[0] == '.') continue;
    if (line[0] == '@') {
      if (line == "@+" || line == "@-") continue;
      std::string name = line.substr(1);
      if (name.empty() || name.find_first_of(" :<>~#@") != std::string::npos)
        help.problems.push_back("line " + std::to_string(n + 1) + ": bad topic name " + name);
      if (!help.topics.emplace(Upper(name), n).second)
        help.problems.push_back("topic " + name + " twice");
      // A title line ($) comes right after the topic's name.
      if (n + 1 >= help.lines.size() || help.lines[n + 1].rfind("$ ", 0) != 0)
        help.problems.push_back("topic " + name + " has no title line");
      continue;
    }
    std::vector<std::string> found;
    CheckLine(line[0] == '$' ? line.substr(1) : line, n + 1, &found, &help.problems);
    for (const std::string& topic : found) links.emplace_back(n + 1, topic);
  }
  for (const auto& [number, topic] : links)
    if (!help.topics.count(Upper(topic)))
      help.problems.push_back("line " + std::to_string(number) + ": link to no topic " + topic);
  return help;
}

// ---- Help topics named by the sources ------------------------------------------------

// The sources without their comments; string and character literals kept as written.
std::string StripComments(const std::string& code) {
  std::string out;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"' || c == '\'') {
      std::size_t j = i + 1;
      while (j < code.size() && code[j] != c) j += code[j] == '\\' ? 2 : 1;
      out.append(code, i, j - i + 1);
      i = j;
    } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
      i = code.find('\n', i);
      if (i == std::string::npos) break;
      out += '\n';
    } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
      i = code.find("*/", i + 2);
      if (i == std::string::npos) break;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

// The arguments of the call whose "(" is at open, split at the commas of its own level.
std::vector<std::string> CallArguments(const std::string& code, std::size_t open) {
  std::vector<std::string> arguments(1);
  int depth = 0;
  for (std::size_t i = open + 1; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"' || c == '\'') {
      std::size_t j = i + 1;
      while (j < code.size() && code[j] != c) j += code[j] == '\\' ? 2 : 1;
      arguments.back().append(code, i, j - i + 1);
      i = j;
      continue;
    }
    if (c == '(' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == ']' || c == '}') {
      if (depth == 0) break;
      --depth;
    }
    if (c == ',' && depth == 0) {
      arguments.emplace_back();
      continue;
    }
    arguments.back() += c;
  }
  for (std::string& argument : arguments) {
    argument.erase(0, argument.find_first_not_of(" \t\r\n"));
    argument.erase(argument.find_last_not_of(" \t\r\n") + 1);
  }
  return arguments;
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Every position where name( is called or declared as a whole word.
std::vector<std::size_t> CallsOf(const std::string& code, const std::string& name) {
  std::vector<std::size_t> opens;
  for (std::size_t at = code.find(name); at != std::string::npos; at = code.find(name, at + 1)) {
    if (at > 0 && IsNameChar(code[at - 1])) continue;
    std::size_t open = at + name.size();
    while (open < code.size() && code[open] == ' ') ++open;
    if (open < code.size() && code[open] == '(') opens.push_back(open);
  }
  return opens;
}

struct TopicScan {
  std::set<std::string> topics;
  std::vector<std::string> problems;
};

// The host's Dialog and Message take a help topic; so does every function of ours with a
// parameter named helpTopic. Each call must name its topic as a literal (or pass none),
// so that no topic can reach the host without this scan seeing it.
TopicScan ScanHelpTopics(const fs::path& sources) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(sources)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".cpp" || extension == ".h")
      files[entry.path().string()] = StripComments(ReadBytes(entry.path()));
  }
  std::map<std::string, std::size_t> takers = {{".Dialog", 5}, {".Message", 2}};
  for (const auto& [path, code] : files)
    for (std::size_t at = code.find("helpTopic"); at != std::string::npos;
         at = code.find("helpTopic", at + 1)) {
      // A declaration: the parameter list around this name belongs to a function.
      std::size_t open = code.rfind('(', at);
      std::size_t nameEnd = open;
      while (nameEnd > 0 && code[nameEnd - 1] == ' ') --nameEnd;
      std::size_t nameStart = nameEnd;
      while (nameStart > 0 && IsNameChar(code[nameStart - 1])) --nameStart;
      std::vector<std::string> parameters = CallArguments(code, open);
      for (std::size_t i = 0; i < parameters.size(); ++i)
        if (parameters[i].find("char") != std::string::npos &&
            parameters[i].size() > 9 &&
            parameters[i].compare(parameters[i].size() - 9, 9, "helpTopic") == 0)
          takers[code.substr(nameStart, nameEnd - nameStart)] = i;
    }
  TopicScan scan;
  for (const auto& [path, code] : files)
    for (const auto& [name, index] : takers) {
      const std::string called = name[0] == '.' ? name.substr(1) : name;
      for (std::size_t open : CallsOf(code, called)) {
        if (name[0] == '.' && (open < called.size() + 1 ||
                               code[open - called.size() - 1] != '.'))
          continue;
        std::vector<std::string> arguments = CallArguments(code, open);
        // Far 3's Message takes the plugin's and the message's GUIDs first: seven
        // arguments, the topic fourth.
        const std::size_t at = name == ".Message" && arguments.size() == 7 ? 3 : index;
        if (at >= arguments.size()) continue;
        const std::string& topic = arguments[at];
        if (topic.find("char") != std::string::npos) continue;  // the declaration itself
        if (topic == "nullptr" || topic == "helpTopic") continue;
        if (topic.size() >= 2 && topic.front() == '"' && topic.back() == '"')
          scan.topics.insert(topic.substr(1, topic.size() - 2));
        else
          scan.problems.push_back(path + ": " + called + " is given the help topic " + topic +
                                  ", which is not a literal");
      }
    }
  return scan;
}

struct Shipped {
  const char* file;
  const char* languageLine;
};

const Shipped kShipped[] = {
    {"QuarixEng.hlf", ".Language=English,English"},
    // "Russian (Русский)" in code page 866
    {"QuarixRus.hlf", ".Language=Russian,Russian (\x90\xe3\xe1\xe1\xaa\xa8\xa9)"},
};

HelpFile LoadShipped(const Shipped& shipped) {
  return ParseHelpFile(ReadBytes(fs::path(QUARIX_SOURCE_DIR) / "lng" / shipped.file));
}

TEST(HelpFiles, FollowTheHostsFormat) {
  for (const Shipped& shipped : kShipped) {
    SCOPED_TRACE(shipped.file);
    HelpFile help = LoadShipped(shipped);
    ASSERT_FALSE(help.lines.empty());
    EXPECT_EQ(help.lines[0], shipped.languageLine);
    // The host lists the file in its plugins' help under this name; a comma would cut it.
    auto contents = std::find_if(help.lines.begin(), help.lines.end(), [](const std::string& l) {
      return l.rfind(".PluginContents=", 0) == 0;
    });
    ASSERT_NE(contents, help.lines.end());
    EXPECT_GT(contents->size(), 16u);
    EXPECT_EQ(contents->find(','), std::string::npos);
    EXPECT_TRUE(help.topics.count("CONTENTS"));
    EXPECT_TRUE(help.problems.empty()) << testing::PrintToString(help.problems);
  }
}

TEST(HelpFiles, BothLanguagesHaveTheSameTopics) {
  std::set<std::string> english, russian;
  for (const auto& [name, line] : LoadShipped(kShipped[0]).topics) english.insert(name);
  for (const auto& [name, line] : LoadShipped(kShipped[1]).topics) russian.insert(name);
  EXPECT_EQ(english, russian);
}

TEST(HelpFiles, RussianIsInCodePage866AndEnglishInAscii) {
  const std::string russian = ReadBytes(fs::path(QUARIX_SOURCE_DIR) / "lng/QuarixRus.hlf");
  std::size_t cyrillic = 0, elsewhere = 0;
  for (unsigned char c : russian) {
    // Code page 866 has its letters at 0x80-0xAF and 0xE0-0xF1; UTF-8 text would show
    // as the box-drawing bytes between them, which a help text does not use.
    if ((c >= 0x80 && c <= 0xAF) || (c >= 0xE0 && c <= 0xF1))
      ++cyrillic;
    else if (c >= 0x80 || (c < 0x20 && c != '\n' && c != '\r'))
      ++elsewhere;
  }
  EXPECT_GT(cyrillic, 1000u);
  EXPECT_EQ(elsewhere, 0u);
  const std::string english = ReadBytes(fs::path(QUARIX_SOURCE_DIR) / "lng/QuarixEng.hlf");
  EXPECT_TRUE(std::all_of(english.begin(), english.end(), [](char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\n';
  }));
}

TEST(HelpFiles, EveryTopicTheModulesNameHasItsPage) {
  TopicScan scan = ScanHelpTopics(fs::path(QUARIX_SOURCE_DIR) / "src");
  EXPECT_TRUE(scan.problems.empty()) << testing::PrintToString(scan.problems);
  // The scan sees the topics of both plugins' dialogs and messages.
  for (const char* known : {"FileSearchDlg", "QXCfg", "RegExpError", "FRWriteError",
                            "SearchDlg", "QXAskReplace"})
    EXPECT_TRUE(scan.topics.count(known)) << known;
  for (const Shipped& shipped : kShipped) {
    HelpFile help = LoadShipped(shipped);
    for (const std::string& topic : scan.topics)
      EXPECT_TRUE(help.topics.count(Upper(topic))) << shipped.file << " lacks " << topic;
  }
}

TEST(HelpFiles, TheParserFindsFaults) {
  const std::string bad =
      ".Language=English,English\n"
      "@Contents\n"
      "$ #Title#\n"
      "   ~Missing~@Nowhere@ and #odd\n"
      "   a lone @ sign, ~an open link\n"
      "@NoTitle\n"
      "   text ~~ ## @@ fine\n";
  HelpFile help = ParseHelpFile(bad);
  EXPECT_EQ(help.topics.size(), 2u);
  EXPECT_EQ(help.problems.size(), 5u) << testing::PrintToString(help.problems);
}

}  // namespace
