#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "common/pattern.h"
#include "filesearch/matchers.h"
#include "filesearch/results.h"
#include "filesearch/walker.h"
#include "unit/common/message_recorder.h"
#include "unit/filesearch/search_run_fixture.h"

namespace {

class TestFoundFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = getenv("QUARIX_TEST_TMP");
    std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(root);
    std::string pattern = (root / "matchers-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    Write("hit.txt", "alpha\r\nbeta");
    Write("miss.txt", "gamma");
    Write("empty.txt", "");
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  void Write(const char* name, const std::string& bytes) {
    std::ofstream(folder_ + "/" + name, std::ios::binary) << bytes;
  }

  // The names among hit, miss, empty and a missing file that the search lists, in one run
  // (whose pattern is compiled for modes 1 to 3 only, as a run made without the compile
  // step for the word lists).
  std::set<std::string> Listed(const char* text, int mode, int inverse) {
    SearchSettings settings = MakeSettings(text, mode, 1, 2);
    settings.inverse = inverse != 0;
    TestRun test(settings, mode >= 1 && mode <= 3);
    for (const char* name : {"hit.txt", "miss.txt", "empty.txt", "missing.txt"}) {
      if (test.context.Stopped()) break;  // as the walker does
      platform::FileRecord record{};
      const std::string path = folder_ + "/" + name;
      std::strncpy(record.cFileName, path.c_str(), sizeof(record.cFileName) - 1);
      FoundFile found(record);
      TestFoundFile(found, test.context);
    }
    stopped_ = test.context.Stopped();
    std::set<std::string> names;
    for (int i = 0; i < test.results.count; ++i)
      names.insert(std::filesystem::path(test.results.items[i].FindData.cFileName).filename());
    return names;
  }

  // The matcher's answer for the file, through the ways a file is read whole.
  int Scan(const std::string& path, Matcher matcher) {
    TestRun test(MakeSettings("", 0, 1));
    return ScanMappedFile(test.context, path.c_str(), matcher);
  }

  std::string folder_;
  bool stopped_ = false;  // the last Listed was stopped
};

using Names = std::set<std::string>;
const Names kAll = {"hit.txt", "miss.txt", "empty.txt", "missing.txt"};
const Names kHit = {"hit.txt"};
const Names kNotHit = {"miss.txt", "empty.txt", "missing.txt"};

TEST_F(TestFoundFileTest, ListsByModeAndInversion) {
  recorder::Host host;
  struct Case {
    const char* text;
    int mode;
    int inverse;
    const Names& expected;
  } const cases[] = {
      {"", 0, 0, kAll},  // no content test: not even opened
      {"", 1, 1, {}},
      {"beta", 0, 0, kHit},
      {"beta", 0, 1, kNotHit},
      {"^beta$", 1, 0, kHit},
      {"^alpha$", 1, 0, kHit},  // CR LF ends the line
      {"^alpha$", 2, 0, {}},    // the whole file: a CR stands before the LF
      {"a\\r\\nb", 2, 0, kHit},
      {"alpha\\r\\nbeta", 3, 0, kHit},
      {"+alpha -gamma", 4, 0, kHit},
      {"-alpha", 4, 0, {"miss.txt"}},
      {"+", 4, 1, {"empty.txt", "missing.txt"}},
      {"+al.ha", 5, 0, kHit},
      {"beta", 6, 0, {}},
      {"beta", 6, 1, kAll},
      {"beta", -1, 1, kAll},
      {"beta", 1000000, 0, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Listed(c.text, c.mode, c.inverse), c.expected)
        << "text '" << c.text << "' mode " << c.mode << " inverse " << c.inverse;
  EXPECT_TRUE(recorder::Shown().empty());
}

TEST_F(TestFoundFileTest, AWordThatIsNoPatternListsNothingAndStops) {
  recorder::Host host;
  EXPECT_EQ(Listed("-(bad", 5, 1), Names{});
  EXPECT_TRUE(stopped_);
  EXPECT_EQ(recorder::Shown().size(), 1u);
}

int SeenCount = -1;
int RecordCount(MatchContext&, const unsigned char*, std::size_t count) {
  SeenCount = static_cast<int>(count);
  return 1;
}

TEST_F(TestFoundFileTest, ScanMappedFileHandsTheWholeFileToTheMatcher) {
  Write("big.bin", std::string(70000, '\0') + "end");
  EXPECT_EQ(Scan(folder_ + "/big.bin", RecordCount), 1);
  EXPECT_EQ(SeenCount, 70003);
  SeenCount = -1;
  EXPECT_EQ(Scan(folder_ + "/empty.txt", RecordCount), 0);
  EXPECT_EQ(Scan(folder_ + "/missing.txt", RecordCount), 0);
  EXPECT_EQ(Scan(folder_, RecordCount), 0);
  EXPECT_EQ(SeenCount, -1);
}

// Another program cuts the file short while the matcher reads it: every byte the matcher
// then reads past the new end comes from the mapping of a file that is no longer there.
std::string CutPath;
int CutSeen = -1;
int CutAndReadAll(MatchContext&, const unsigned char* bytes, std::size_t count) {
  if (truncate(CutPath.c_str(), 0) != 0) return -100;
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; i += 512) sum += bytes[i];
  CutSeen = static_cast<int>(sum % 2) + 1;
  return 1;
}

TEST_F(TestFoundFileTest, AMappedFileCutShortWhileSearchedIsNotMatched) {
  // Above the size up to which a file is read rather than mapped.
  CutPath = folder_ + "/cut.bin";
  Write("cut.bin", std::string(3 << 20, 'x'));
  EXPECT_EQ(Scan(CutPath, CutAndReadAll), 0);
  EXPECT_NE(CutSeen, -1) << "the matcher ran to its end";
  // The next file is searched as usual.
  Write("after.bin", std::string(2 << 20, '\0') + "end");
  SeenCount = -1;
  EXPECT_EQ(Scan(folder_ + "/after.bin", RecordCount), 1);
  EXPECT_EQ(SeenCount, (2 << 20) + 3);
}

// Files just below the size up to which they are read into the reused buffer, at it, and
// just above (mapped): every way gives the matcher the whole file and the same answers.
TEST_F(TestFoundFileTest, ReadAndMappedFilesGiveTheSameAnswersAtTheSizeBoundary) {
  recorder::Host host;
  const std::size_t limit = static_cast<std::size_t>(kReadIntoBufferBelow);
  for (std::size_t size : {limit - 1, limit, limit + 1}) {
    SCOPED_TRACE(size);
    const std::string filler(size - 10, 'a');
    Write("hit.txt", filler + "\nend token");   // the text in the file's last bytes
    Write("miss.txt", "token\n" + std::string(size - 6, 'b'));  // only at the start
    SeenCount = -1;
    EXPECT_EQ(Scan(folder_ + "/hit.txt", RecordCount), 1);
    EXPECT_EQ(SeenCount, static_cast<int>(size));
    const struct {
      const char* text;
      int mode;
      Names expected;
    } cases[] = {
        {"end token", 0, kHit},
        {"token", 0, {"hit.txt", "miss.txt"}},
        {"^end token$", 1, kHit},
        {"a\nend token\\z", 2, kHit},
        {"a\nend", 3, kHit},
        {"^token$", 1, {"miss.txt"}},
    };
    for (const auto& c : cases)
      EXPECT_EQ(Listed(c.text, c.mode, 0), c.expected) << c.text << " mode " << c.mode;
  }
}

// The buffer is kept from file to file: a short file after a long one is seen alone, never
// with the long file's bytes behind it.
TEST_F(TestFoundFileTest, AShortFileReadAfterALongOneIsSeenAlone) {
  recorder::Host host;
  Write("hit.txt", std::string(5000, 'x') + "needle");
  Write("miss.txt", std::string(4990, 'x'));
  // hit.txt is read before miss.txt: its needle would lie just past miss.txt's end.
  EXPECT_EQ(Listed("xneedle", 0, 0), kHit);
  EXPECT_EQ(Listed("x\\z", 2, 0), Names{"miss.txt"});
  SeenCount = -1;
  EXPECT_EQ(Scan(folder_ + "/miss.txt", RecordCount), 1);
  EXPECT_EQ(SeenCount, 4990);
}

}  // namespace
