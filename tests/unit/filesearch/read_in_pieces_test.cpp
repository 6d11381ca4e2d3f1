#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/pattern.h"
#include "filesearch/line_modes.h"
#include "filesearch/matchers.h"
#include "filesearch/results.h"
#include "filesearch/walker.h"
#include "unit/common/message_recorder.h"
#include "unit/filesearch/search_run_fixture.h"
#include "unit/test_folder.h"

namespace {

const unsigned char* Data(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

TEST(LineCuts, TheLastLineEndLaterBytesCannotChange) {
  const struct {
    std::string text;
    std::size_t cut;
  } cases[] = {
      {"", 0},         {"abc", 0},     {"a\n", 2},      {"a\r", 0},  // may be half a pair
      {"a\rb", 2},     {"a\r\n", 3},   {"a\nb\r", 2},   {"\r\r", 1},
      {"a\n\rb", 3},   {"\n", 1},      {"ab\r\ncd", 4},
  };
  for (const auto& c : cases) {
    bool holdsCr = false;
    EXPECT_EQ(FindLastLineCut(Data(c.text), c.text.size(), &holdsCr), c.cut) << c.text;
    const std::string before = c.text.substr(0, c.cut);
    EXPECT_EQ(holdsCr, before.find('\r') != std::string::npos) << c.text;
  }
}

TEST(LineCuts, TheLastLinesStartAfterTheLineEndsBeforeThem) {
  const struct {
    std::string text;
    int lines;
    std::size_t start;
  } cases[] = {
      {"a\nb\nc\n", 0, 6},   {"a\nb\nc\n", 1, 4},   {"a\nb\nc\n", 2, 2},
      {"a\nb\nc\n", 3, 0},   {"a\nb\nc\n", 5, 0},   {"a\r\nb\r\n", 1, 3},
      {"a\n\rb\r", 1, 3},    {"a\n\rb\r", 2, 2},    {"\n\n", 1, 1},
      {"aa\r\r\n", 1, 3},    {"aa\r\r\n", 2, 0},    {"", 1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindLastLinesStart(Data(c.text), c.text.size(), c.lines), c.start)
        << c.text << " lines " << c.lines;
}

class ReadInPiecesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratch_.path();
    ASSERT_FALSE(folder_.empty());
  }

  std::string Write(const char* name, const std::string& bytes) {
    const std::string path = folder_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The answer of the file read in pieces of pieceSize, growing up to longest, in the
  // context given.
  int ReadInPieces(MatchContext& context, const std::string& path, PieceMatcher matcher,
                   std::size_t pieceSize, std::size_t longest, bool* tooLong) {
    platform::File file;
    std::uint64_t size = 0;
    EXPECT_TRUE(file.OpenForReading(path.c_str(), &size));
    return ScanInPieces(context, file, size, matcher, tooLong, pieceSize, longest);
  }

  // Whether TestFoundFile lists the file under the text, the mode and case sensitivity.
  bool Lists(const std::string& path, const char* text, int mode, int caseSensitive) {
    TestRun test(MakeSettings(text, mode, caseSensitive, severalLines_));
    platform::FileRecord record{};
    std::strncpy(record.cFileName, path.c_str(), sizeof(record.cFileName) - 1);
    FoundFile found(record);
    TestFoundFile(found, test.context);
    return test.results.count == 1;
  }

  TestFolder scratch_{"pieces"};
  std::string folder_;
  int severalLines_ = 5;
};

// Random files read in pieces down to one byte, so that every line end, CR LF pair and
// window of lines is cut somewhere, answer as the whole file does.
TEST_F(ReadInPiecesTest, PiecesAnswerAsTheWholeFile) {
  recorder::Host host;
  const char* patterns[] = {
      "ab",    "a.b",    "^a",       "b$",     "^$",      "a\\s+b", "c\\nA",    "(?i)ab",
      "b\\s*a", "\\r",   "\\n",      "a\\nb",  "^A*$",    "c(?=a)", "(?<=a)b",  "B.*A$",
      "\\Ac",  "a\\z",   "b(?!\\n)", "^c\\r?$", "(?s)a.*c", "x",     "\\r\\n\\r",
  };
  std::mt19937 random(161803);
  const unsigned char alphabet[] = {'a', 'b', 'A', 'c', ' ', '\n', 'x', '\r'};
  const std::size_t pieceSizes[] = {1, 2, 3, 7, 16};
  int matches = 0;
  int rounds = 0;
  for (const char* pattern : patterns) {
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive) {
      PatternRuns runs(pattern, caseSensitive);
      ASSERT_NE(runs.Pattern(), nullptr) << pattern;
      for (int round = 0; round < 40; ++round, ++rounds) {
        std::string text(1 + random() % 60, ' ');
        const std::size_t letters = sizeof(alphabet) - round % 2;  // every other without CR
        for (auto& b : text) b = static_cast<char>(alphabet[random() % letters]);
        const std::string path = Write("random.txt", text);
        const int severalLines = 1 + static_cast<int>(random() % 4);
        MatchContext& context = runs.Context(severalLines);
        const int lines = MatchLines(context, Data(text), text.size());
        const int windows = MatchSeveralLines(context, Data(text), text.size());
        matches += lines + windows;
        for (std::size_t pieceSize : pieceSizes) {
          bool tooLong = true;
          ASSERT_EQ(ReadInPieces(context, path, MatchLinesPiece, pieceSize, 1 << 16, &tooLong),
                    lines)
              << pattern << " case " << caseSensitive << " piece " << pieceSize << " in '"
              << text << "'";
          EXPECT_FALSE(tooLong);
          ASSERT_EQ(
              ReadInPieces(context, path, MatchSeveralLinesPiece, pieceSize, 1 << 16, &tooLong),
              windows)
              << pattern << " case " << caseSensitive << " piece " << pieceSize << " lines "
              << severalLines << " in '" << text << "'";
        }
      }
    }
  }
  EXPECT_GT(matches, rounds * 2 / 5);
  EXPECT_LT(matches, rounds * 8 / 5);
}

TEST_F(ReadInPiecesTest, ALineLongerThanTheLongestPieceIsLeftToTheCaller) {
  recorder::Host host;
  TestRun test(MakeSettings("^x+y$", 1, 1));
  MatchContext& context = test.context;
  const std::string path = Write("long.txt", "a\n" + std::string(100, 'x') + "y\nb\n");
  bool tooLong = false;
  EXPECT_EQ(ReadInPieces(context, path, MatchLinesPiece, 8, 64, &tooLong), 0);
  EXPECT_TRUE(tooLong);
  EXPECT_EQ(ReadInPieces(context, path, MatchLinesPiece, 8, 128, &tooLong), 1);
  EXPECT_FALSE(tooLong);
  // The buffer goes back to the asked size for the next file.
  EXPECT_EQ(ReadInPieces(context, path, MatchLinesPiece, 8, 64, &tooLong), 0);
  EXPECT_TRUE(tooLong);
}

// A large file reaches the matchers in pieces: what lies across the ends of pieces is found
// in every mode that reads pieces, and a CR LF pair cut by a piece's end stays one line end.
TEST_F(ReadInPiecesTest, ALargeFileIsSearchedAcrossTheEndsOfItsPieces) {
  recorder::Host host;
  severalLines_ = 2;
  const std::string tail(3 << 20, 'z');
  for (std::size_t before : {std::size_t{1}, std::size_t{3}, std::size_t{6}}) {
    SCOPED_TRACE(before);
    // "Needle\r\nnext" with its first `before` bytes ending the first piece.
    const std::string head(kFirstPiece - before, 'q');
    const std::string path = Write("large.txt", head + "Needle\r\nnext\n" + tail);
    EXPECT_TRUE(Lists(path, "Needle", 0, 1));
    EXPECT_TRUE(Lists(path, "qneedle", 0, 0));
    EXPECT_FALSE(Lists(path, "qneedle", 0, 1));
    EXPECT_TRUE(Lists(path, "Needle$", 1, 1));
    EXPECT_FALSE(Lists(path, "^$", 1, 1));  // no empty line between CR and LF
    EXPECT_TRUE(Lists(path, "Needle\\r\\nnext", 3, 1));
    EXPECT_FALSE(Lists(path, "Needle\\r\\n\\n", 3, 1));
    EXPECT_TRUE(Lists(path, "z\\z", 3, 1));
  }
  // Lines longer than a piece make the piece grow.
  const std::string path = Write("long-lines.txt", std::string(kPieceSize * 3, 'q') + "\n" +
                                                       "end\n" + std::string(kPieceSize, 'r'));
  EXPECT_TRUE(Lists(path, "^q+$", 1, 1));
  EXPECT_TRUE(Lists(path, "q\\nend\\n", 3, 1));
  EXPECT_TRUE(Lists(path, "^end\\nr+\\z", 3, 1));
  EXPECT_FALSE(Lists(path, "^q+r", 1, 1));
}

}  // namespace
