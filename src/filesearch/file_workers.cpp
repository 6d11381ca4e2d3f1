#include "filesearch/file_workers.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "filesearch/match_context.h"
#include "filesearch/search_run.h"

namespace {

// Files queued per worker: enough that no worker waits while the walk lists a folder,
// few enough that the open folders and unfinished new versions stay a handful.
constexpr std::size_t kJobsPerWorker = 16;
constexpr int kMostWorkers = 64;
// How long the host's thread waits for a test before it looks at the console again.
constexpr auto kConsoleLookGap = std::chrono::milliseconds(10);

}  // namespace

int CountWorkerThreads(int setting) {
  if (setting > 0) return std::min(setting, kMostWorkers);
  const unsigned processors = std::thread::hardware_concurrency();
  if (processors == 0) return 1;
  return static_cast<int>(std::min<unsigned>(processors, kMostWorkers));
}

FileWorkers::FileWorkers(SearchRun& run, const FileWork& work, int threads, bool completeFirst)
    : run_(run), work_(work), completeFirst_(completeFirst) {
  // The host's thread is one of them: it tests files too while the ring is full.
  threads = std::max(threads, 2);
  ring_ = std::vector<Job>(kJobsPerWorker * static_cast<std::size_t>(threads));
  threads_.reserve(static_cast<std::size_t>(threads - 1));
  for (int i = 1; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

FileWorkers::~FileWorkers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  queued_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void FileWorkers::Work() {
  // This thread's share of the run: it never looks at the console, and sees the stop flag
  // the host's thread sets.
  MatchContext context(run_, false);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    queued_.wait(lock, [this] { return closing_ || next_ < tail_; });
    if (closing_) return;
    TestNext(lock, context);
    tested_.notify_one();
  }
}

bool FileWorkers::TestNext(std::unique_lock<std::mutex>& lock, MatchContext& context) {
  if (next_ == tail_) return false;
  Job& job = ring_[next_++ % ring_.size()];
  lock.unlock();
  if (context.Stopped()) {
    job.outcome.stopped = true;
  } else if (completeFirst_ && !job.file->Complete()) {
    job.outcome.gone = true;
  } else {
    job.outcome = work_.test(*job.file, context);
    if (context.Stopped()) job.outcome.stopped = true;
  }
  lock.lock();
  job.tested = true;
  return true;
}

void FileWorkers::Queue(const platform::FileRecord& record,
                        std::shared_ptr<platform::Folder> folder, int nameAt, bool complete,
                        MatchContext& host) {
  while (tail_ - head_ == ring_.size()) TakeTested(host, true);
  Job& job = ring_[tail_ % ring_.size()];
  job.record = record;
  job.folder = std::move(folder);
  job.file.emplace(job.record, job.folder.get(), nameAt, complete);
  job.outcome = FileOutcome();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job.tested = false;
    ++tail_;
  }
  queued_.notify_one();
  // The console first: a file tested after Escape was pressed is not taken, however soon
  // its worker was done.
  if (host.PollEscape()) host.Stop();
  TakeTested(host, false);
}

void FileWorkers::TakeAll(MatchContext& host) {
  while (head_ != tail_) TakeTested(host, true);
}

void FileWorkers::TakeTested(MatchContext& host, bool wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  bool tookOne = false;
  while (head_ != tail_) {
    Job& job = ring_[head_ % ring_.size()];
    if (!job.tested) {
      if (!wait || tookOne) return;
      // Rather than wait, this thread tests a file itself.
      if (TestNext(lock, host)) continue;
      tested_.wait_for(lock, kConsoleLookGap);
      // The console is looked at while the workers test, as between files without them.
      lock.unlock();
      if (host.PollEscape()) host.Stop();
      lock.lock();
      continue;
    }
    lock.unlock();
    // Once the run is stopped, nothing more is taken: the files after the stop are
    // dropped, as a walk on one thread never reaches them.
    if (!host.Stopped()) Take(job, host);
    job.file.reset();
    job.folder.reset();
    job.outcome = FileOutcome();
    lock.lock();
    ++head_;
    tookOne = true;
  }
}

void FileWorkers::Take(Job& job, MatchContext& host) {
  ++run_.filesTested;
  if (job.outcome.gone || job.outcome.stopped) return;
  work_.take(*job.file, job.outcome, host);
}
