// Worker threads that test the files of a walk while the host's thread walks on. Files are
// queued in walk order into a ring of fixed size and taken back in the same order, so that
// whatever the takes list comes out exactly as one thread would list it, and the memory a
// walk holds does not grow with the tree.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "filesearch/file_work.h"
#include "filesearch/walker.h"
#include "platform/platform.h"

struct SearchRun;

class FileWorkers {
 public:
  // threads threads (the host's and at least one worker) test the files with work.test;
  // with completeFirst a file whose status cannot be had any more is left out before it
  // is tested.
  FileWorkers(SearchRun& run, const FileWork& work, int threads, bool completeFirst);
  FileWorkers(const FileWorkers&) = delete;
  FileWorkers& operator=(const FileWorkers&) = delete;
  // Stops the workers; files not taken yet are dropped.
  ~FileWorkers();

  // Host thread. Queues a file of the walk (its full path in record.cFileName, its bare
  // name from nameAt, opened relative to folder, which stays open until the file is
  // taken). While the ring is full, tests files itself and takes those tested at its head.
  void Queue(const platform::FileRecord& record, std::shared_ptr<platform::Folder> folder,
             int nameAt, bool complete, MatchContext& host);
  // Host thread. Takes every queued file, testing some itself while the workers test the
  // others; once the run is stopped, drops them instead.
  void TakeAll(MatchContext& host);

 private:
  struct Job {
    platform::FileRecord record{};
    std::shared_ptr<platform::Folder> folder;
    std::optional<FoundFile> file;
    FileOutcome outcome;
    bool tested = false;  // under mutex_
  };

  void Work();
  // Tests the next file no thread has taken up yet, on this thread, with the lock held
  // before and after; false when there is none.
  bool TestNext(std::unique_lock<std::mutex>& lock, MatchContext& context);
  // Takes the jobs tested at the head of the ring; with wait, waits until the head is
  // tested or the ring is empty, looking at the console meanwhile.
  void TakeTested(MatchContext& host, bool wait);
  void Take(Job& job, MatchContext& host);

  SearchRun& run_;
  const FileWork& work_;
  const bool completeFirst_;
  std::vector<Job> ring_;
  // Counts of jobs ever queued: head_ is the oldest not taken, next_ the next a worker
  // tests, tail_ the next to be queued. Only the host's thread moves head_ and tail_.
  std::size_t head_ = 0, next_ = 0, tail_ = 0;
  bool closing_ = false;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable tested_;
  std::vector<std::thread> threads_;
};

// The worker threads a run asks for: its setting, 0 for one per processor.
int CountWorkerThreads(int setting);
