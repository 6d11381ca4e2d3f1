// The matchers of two searches at once, on several threads, each thread with its own share
// of its run: every answer is the one a single thread gives. Run under ThreadSanitizer
// too (scripts/test.sh), which reports any data race between the threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "filesearch/matchers.h"
#include "filesearch/walker.h"
#include "unit/filesearch/search_run_fixture.h"
#include "unit/test_folder.h"
#include "unit/text_model_scope.h"

namespace {

class ParallelMatchersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratch_.path();
    ASSERT_FALSE(folder_.empty());
  }

  // Files of random words and line ends; some longer than the first piece a file is read
  // in, one past the size up to which a whole file is read rather than mapped.
  void WriteFiles(int count) {
    const char* words[] = {"alpha", "Beta",  "GAMMA", "gamma", "жук",  "ЖУК", "delta",
                           "zeta",  "a",     "b",     "x",     "\xFF", " ",   "\t"};
    const char* ends[] = {"\n", "\r\n", "\r", ""};
    std::mt19937 random(4242);
    for (int i = 0; i < count; ++i) {
      std::size_t size = 20 + random() % 400;
      if (i % 17 == 0) size = 100000 + random() % 200000;
      if (i == 5) size = static_cast<std::size_t>(kReadIntoBufferBelow) + 1000;
      std::string text;
      while (text.size() < size) {
        text += words[random() % std::size(words)];
        text += random() % 4 == 0 ? ends[random() % std::size(ends)] : " ";
      }
      const std::string path = folder_ + "/f" + std::to_string(i) + ".txt";
      std::ofstream(path, std::ios::binary) << text;
      paths_.push_back(path);
    }
  }

  // The answer of the run's matcher for the file at index, in the given context.
  int Answer(MatchContext& context, std::size_t index) {
    platform::FileRecord record{};
    std::strncpy(record.cFileName, paths_[index].c_str(), sizeof(record.cFileName) - 1);
    FoundFile file(record);
    return MatchFoundFile(file, context);
  }

  TestFolder scratch_{"parallel"};
  std::string folder_;
  std::vector<std::string> paths_;
};

TEST_F(ParallelMatchersTest, TwoSearchesOnSeveralThreadsAnswerAsOneThreadDoes) {
  TextModelScope utf8(true);  // caseless text beyond ASCII goes through the engine too
  WriteFiles(160);
  // Every mode, in pairs of two different searches that run at the same time.
  const SearchSettings settings[] = {
      MakeSettings("^al.ha\\b", 1, 0),          MakeSettings("+beta -zeta gam+a", 5, 0),
      MakeSettings("жук", 0, 0),                MakeSettings("a\\s+b\\r?\\n\\w", 3, 1, 3),
      MakeSettings("+GAMMA -жук delta", 4, 1), MakeSettings("(?s)alpha.{0,80}zeta\\s*\\z", 2, 0),
  };
  constexpr int kRuns = static_cast<int>(std::size(settings));
  std::vector<std::unique_ptr<TestRun>> runs;
  std::vector<std::vector<int>> expected(kRuns);
  for (int r = 0; r < kRuns; ++r) {
    runs.push_back(std::make_unique<TestRun>(settings[r]));
    // One thread, one context for all files: the answers to compare with.
    for (std::size_t f = 0; f < paths_.size(); ++f)
      expected[r].push_back(Answer(runs[r]->context, f));
    int found = 0;
    for (int answer : expected[r]) found += answer == 1;
    // Each search finds some files and misses others, so a wrong answer shows.
    EXPECT_GT(found, 0) << settings[r].text;
    EXPECT_LT(found, static_cast<int>(paths_.size())) << settings[r].text;
  }

  constexpr int kThreadsPerRun = 2;
  for (int pair = 0; pair < kRuns; pair += 2) {
    std::atomic<int> mismatches{0};
    std::atomic<int> tested{0};
    std::vector<std::thread> threads;
    for (int r = pair; r < pair + 2; ++r) {
      for (int t = 0; t < kThreadsPerRun; ++t) {
        threads.emplace_back([&, r, t] {
          // A context of its own on each thread, over the files in an order of its own.
          MatchContext context(runs[r]->run, false);
          std::vector<std::size_t> order(paths_.size());
          for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
          std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<unsigned>(r * 7 + t)));
          for (std::size_t f : order) {
            if (Answer(context, f) != expected[r][f]) ++mismatches;
            ++tested;
          }
        });
      }
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0) << "runs " << pair << " and " << pair + 1;
    EXPECT_EQ(tested.load(), 2 * kThreadsPerRun * static_cast<int>(paths_.size()));
  }
  // No thread stopped a run: nothing failed to compile, no Escape was seen.
  for (const auto& test : runs) EXPECT_FALSE(test->context.Stopped());
}

}  // namespace
