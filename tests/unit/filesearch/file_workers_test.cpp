// The worker threads of a walk: every file queued is taken once, in the order queued, with
// the answer one thread gives it; a stop drops what is not taken yet. Run under
// ThreadSanitizer too (scripts/test.sh).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "filesearch/file_workers.h"
#include "filesearch/matchers.h"
#include "unit/filesearch/search_run_fixture.h"
#include "unit/test_folder.h"

namespace {

class ParallelFileWorkersTest : public ::testing::Test {
 protected:
  // Files of which every third holds the text; now and then a long one, which keeps its
  // worker busy while the others overtake it.
  void WriteFiles(int count) {
    std::mt19937 random(77);
    for (int i = 0; i < count; ++i) {
      std::string text(i % 13 == 0 ? 300000 + random() % 100000 : 10 + random() % 500, 'x');
      if (i % 3 == 0) text.replace(text.size() - 7, 6, "needle");
      const std::string path = scratch_.path() + "/f" + std::to_string(i) + ".txt";
      std::ofstream(path, std::ios::binary) << text;
      paths_.push_back(path);
    }
  }

  // Queues every file on the given threads; the take records the path and the answer.
  // stopAfter: the take stops the run after that many files.
  std::vector<std::pair<std::string, int>> Walk(TestRun& test, int threads, int stopAfter = -1) {
    std::vector<std::pair<std::string, int>> taken;
    FileWork work{TestFileContent, [&](FoundFile& file, FileOutcome& outcome, MatchContext& host) {
                    taken.emplace_back(file.path(), outcome.found);
                    if (static_cast<int>(taken.size()) == stopAfter) host.Stop();
                  }};
    {
      FileWorkers workers(test.run, work, threads, false);
      for (const std::string& path : paths_) {
        platform::FileRecord record{};
        std::strncpy(record.cFileName, path.c_str(), sizeof record.cFileName - 1);
        workers.Queue(record, nullptr, 0, true, test.context);
        if (test.context.Stopped()) break;
      }
      workers.TakeAll(test.context);
    }
    return taken;
  }

  TestFolder scratch_{"workers"};
  std::vector<std::string> paths_;
};

TEST_F(ParallelFileWorkersTest, EveryFileIsTakenOnceInQueueOrderWithItsOwnAnswer) {
  WriteFiles(400);
  for (int mode : {0, 1}) {
    TestRun test(MakeSettings("needle", mode, 1));
    std::vector<std::pair<std::string, int>> expected;
    for (const std::string& path : paths_) {
      platform::FileRecord record{};
      std::strncpy(record.cFileName, path.c_str(), sizeof record.cFileName - 1);
      FoundFile file(record);
      expected.emplace_back(path, MatchFoundFile(file, test.context));
    }
    for (int threads : {2, 3, 8}) {
      SCOPED_TRACE("mode " + std::to_string(mode) + " on " + std::to_string(threads));
      EXPECT_EQ(Walk(test, threads), expected);
    }
  }
}

TEST_F(ParallelFileWorkersTest, AStopDropsEveryFileNotTakenYet) {
  WriteFiles(300);
  for (int threads : {2, 4}) {
    SCOPED_TRACE(threads);
    TestRun test(MakeSettings("needle", 0, 1));
    const auto taken = Walk(test, threads, 25);
    ASSERT_EQ(taken.size(), 25u);
    for (std::size_t i = 0; i < taken.size(); ++i) EXPECT_EQ(taken[i].first, paths_[i]);
    EXPECT_TRUE(test.context.Stopped());
  }
}

}  // namespace
