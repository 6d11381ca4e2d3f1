// The content search on input that tends to break searchers: binary bytes, odd line
// ends, huge lines, empty and unreadable files, overlong words and settings, patterns
// that match the empty string, a bad word pattern.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "scenario/fixture.h"

namespace scenario {
namespace {

struct Query {
  int mode;
  std::string text;
  bool caseSensitive = true;
  bool inverse = false;
};

class ContentSearchTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    tree_ = Folder("tree");
  }
  // "ff:" with the query's text under the query's stored mode, case and inversion, in
  // the tree's folder only; the names found, without their folder, sorted.
  std::vector<std::string> Find(const Query& query) {
    RestartHost();
    WriteStoredInt("FSearchAs", query.mode);
    WriteStoredInt("FCaseSensitive", query.caseSensitive);
    WriteStoredInt("FSInverse", query.inverse);
    WriteStoredInt("FSearchIn", 3);
    WriteStoredInt("SeveralLines", severalLines_);
    host_->driver.message = [](const host::MessageRequest&) { return 0; };
    if (!LoadTrawlix()) return {"<no module>"};
    ShowFolder(tree_);
    if (Search(query.text) != kResultsPanel) return {"<no panel>"};
    std::vector<std::string> names;
    for (const std::string& path : SortedPanelNames()) names.push_back(path.substr(tree_.size() + 1));
    return names;
  }
  using Names = std::vector<std::string>;
  void ExpectFinds(const std::vector<std::pair<Query, Names>>& cases) {
    for (const auto& [query, expected] : cases) {
      EXPECT_EQ(Find(query), expected) << "mode " << query.mode << " '" << query.text << "'"
                                       << (query.inverse ? " inverse" : "");
    }
  }

  std::string tree_;
  int severalLines_ = 5;
};

TEST_F(ContentSearchTest, BinaryFilesAreSearchedByteForByte) {
  WriteFile(tree_ + "/bin.dat", std::string("head\0\0needle\0tail\n\0\xff\x80 end", 25));
  WriteFile(tree_ + "/text.txt", "no match here\n");
  ExpectFinds({
      {{0, "needle"}, {"bin.dat"}},
      {{0, "NEEDLE", false}, {"bin.dat"}},
      {{0, "needle", true, true}, {"text.txt"}},
      {{1, "^head\\x00\\x00needle\\x00tail$"}, {"bin.dat"}},  // NUL ends no line
      {{1, "^needle"}, {}},
      {{2, "tail\\n\\x00\\xff\\x80 end\\z"}, {"bin.dat"}},
      {{3, "\\x00tail\\n\\x00"}, {"bin.dat"}},
      {{4, "+needle +end"}, {"bin.dat"}},
      {{5, "+\\xff\\x80 -^no"}, {"bin.dat"}},
  });
}

TEST_F(ContentSearchTest, CrOnlyAndMixedLineEndsEndLinesAlike) {
  WriteFile(tree_ + "/cr.txt", "one\rtwo\rthree");
  WriteFile(tree_ + "/crlf.txt", "p\r\nq\r\n");
  WriteFile(tree_ + "/mixed.txt", "a\r\nb\nc\rd\n");
  WriteFile(tree_ + "/lfcr.txt", "x\n\ry");        // LF CR: two line ends
  WriteFile(tree_ + "/crcrlf.txt", "m\r\r\nn");    // a lone CR, then CR LF
  severalLines_ = 1;
  ExpectFinds({
      {{1, "^two$"}, {"cr.txt"}},
      {{1, "^q$"}, {"crlf.txt"}},
      {{1, "^c$"}, {"mixed.txt"}},
      // An empty line lies only between two line ends that are not one CR LF pair.
      {{1, "^$"}, {"crcrlf.txt", "lfcr.txt"}},
      {{1, "\\r|\\n"}, {}},  // a line never holds its line end
      // Windows of one line hold the line's own line end.
      {{3, "^c\\r\\z"}, {"mixed.txt"}},
      {{3, "^a\\r\\n\\z"}, {"mixed.txt"}},
      {{3, "\\A\\r\\z"}, {"lfcr.txt"}},
      {{3, "\\Am\\r\\z"}, {"crcrlf.txt"}},
      {{2, "^one\\rtwo\\rthree\\z"}, {"cr.txt"}},
  });
}

TEST_F(ContentSearchTest, ALineOfTenMegabytes) {
  std::string line(10 * 1024 * 1024, 'a');
  WriteFile(tree_ + "/long.txt", "first\n" + line + "needle\nlast");
  WriteFile(tree_ + "/short.txt", "needle\n");
  ExpectFinds({
      {{0, "aneedle"}, {"long.txt"}},
      {{1, "a+needle$"}, {"long.txt"}},
      {{1, "^needle$"}, {"short.txt"}},
      {{2, "needle\\nlast\\z"}, {"long.txt"}},
      {{3, "^first\\na+needle\\nlast\\z"}, {"long.txt"}},
      {{4, "+first +aneedle"}, {"long.txt"}},
  });
}

TEST_F(ContentSearchTest, EmptyFilesHoldNoText) {
  WriteFile(tree_ + "/empty.txt", "");
  WriteFile(tree_ + "/full.txt", "text");
  ExpectFinds({
      {{0, "text"}, {"full.txt"}},
      {{0, "text", true, true}, {"empty.txt"}},
      {{1, "^"}, {"full.txt"}},
      {{1, "^", true, true}, {"empty.txt"}},
      {{4, "-absent"}, {"full.txt"}},  // a file that cannot be read satisfies no list
      // No text: every file, unopened; inverted, none.
      {{1, ""}, {"empty.txt", "full.txt"}},
      {{1, "", true, true}, {}},
  });
}

TEST_F(ContentSearchTest, UnreadableFilesHoldNoText) {
  WriteFile(tree_ + "/open.txt", "text");
  // A link to nothing is listed like a file but cannot be opened, even by root.
  ASSERT_EQ(symlink((tree_ + "/gone.txt").c_str(), (tree_ + "/locked.txt").c_str()), 0);
  ExpectFinds({
      {{0, "text"}, {"open.txt"}},
      {{0, "text", true, true}, {"locked.txt"}},
      {{0, ""}, {"locked.txt", "open.txt"}},  // no text: not opened at all
  });
}

TEST_F(ContentSearchTest, FilesOfMode000HoldNoText) {
  WriteFile(tree_ + "/locked.txt", "text");
  WriteFile(tree_ + "/open.txt", "text");
  ASSERT_EQ(chmod((tree_ + "/locked.txt").c_str(), 0), 0);
  // Root reads a file of mode 000 anyway, so the file is not unreadable then.
  if (geteuid() == 0) GTEST_SKIP() << "running as root: a file of mode 000 is readable";
  ExpectFinds({
      {{0, "text"}, {"open.txt"}},
      {{0, "text", true, true}, {"locked.txt"}},
  });
}

TEST_F(ContentSearchTest, ANamedPipeIsNeitherWaitedForNorRead) {
  WriteFile(tree_ + "/plain.txt", "text");
  ASSERT_EQ(mkfifo((tree_ + "/pipe").c_str(), 0600), 0);
  // Opening a pipe for reading would wait for a writer that never comes.
  alarm(60);
  ExpectFinds({
      {{0, "text"}, {"plain.txt"}},
      {{1, "t.x"}, {"plain.txt"}},
      {{0, "text", true, true}, {"pipe"}},
  });
  alarm(0);
}

TEST_F(ContentSearchTest, AWordLongerThanTheBufferIsNeverFound) {
  std::string word(600, 'w');
  WriteFile(tree_ + "/whole.txt", word + " short");
  WriteFile(tree_ + "/cut.txt", word.substr(0, 511) + " other");
  // A cut word would be found in cut.txt, which does not hold it.
  for (int mode : {4, 5}) {
    ExpectFinds({
        {{mode, "+" + word}, {}},
        {{mode, "-" + word}, {"cut.txt", "whole.txt"}},
        {{mode, word + " short"}, {"whole.txt"}},
        {{mode, "'-" + word + "' other"}, {"cut.txt"}},
    });
  }
}

TEST_F(ContentSearchTest, PatternsThatMatchTheEmptyStringEnd) {
  WriteFile(tree_ + "/a.txt", "abc\n");
  WriteFile(tree_ + "/lines.txt", "\n\n\n");
  WriteFile(tree_ + "/crlf.txt", "\r\n");
  WriteFile(tree_ + "/empty.txt", "");
  const Names readable = {"a.txt", "crlf.txt", "lines.txt"};
  for (const char* pattern : {"x*", "^", "$", "(?=)", "\\b|$", "()"}) {
    for (int mode : {1, 2, 3}) {
      ExpectFinds({
          {{mode, pattern}, readable},
          {{mode, pattern, true, true}, {"empty.txt"}},
      });
    }
    ExpectFinds({{{5, std::string("+") + pattern}, readable}});
  }
}

TEST_F(ContentSearchTest, ABadWordPatternIsShownOnceAndNothingIsSearched) {
  for (int i = 0; i < 20; ++i) WriteFile(tree_ + "/f" + std::to_string(i) + ".txt", "ok a(b");
  for (const char* list : {"+ok -a(b", "ok bad( worse[", "'+a(b' ok"}) {
    SCOPED_TRACE(list);
    EXPECT_EQ(Find({5, list}), Names{"<no panel>"});
    std::vector<const host::ServiceCall*> messages = CallsOf("Message");
    ASSERT_EQ(messages.size(), 1u) << "one error, and no progress message";
    EXPECT_EQ(messages[0]->texts.at(0), "RegExpError");
    EXPECT_TRUE(CallsOf("SaveScreen").empty());
  }
  // The same words as plain text are no patterns.
  EXPECT_EQ(Find({4, "+ok +a(b"}).size(), 20u);
}

TEST_F(ContentSearchTest, StoredMasksAndTextsLongerThanAFieldWorkWhole) {
  std::string masks;
  for (int i = 0; masks.size() < 700; ++i) masks += "*.x" + std::to_string(i) + ",";
  masks += "*.txt";
  std::string text(700, 't');
  WriteFile(tree_ + "/a.txt", "[" + text + "]");
  WriteFile(tree_ + "/b.txt", text.substr(0, 511));
  WriteFile(tree_ + "/c.dat", text);
  WriteStoredText("FMask", masks);
  ExpectFinds({
      {{0, text}, {"a.txt"}},
      {{2, "\\[" + text + "\\]"}, {"a.txt"}},
      {{0, text, true, true}, {"b.txt"}},
  });
  // Both went back to the store whole, at the hand-off and at exit.
  EXPECT_EQ(ReadStoredText("FText"), text);
  RestartHost();
  EXPECT_EQ(ReadStoredText("FMask"), masks);
  EXPECT_EQ(ReadStoredText("FText"), text);
}

}  // namespace
}  // namespace scenario
