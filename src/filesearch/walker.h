// The walk of the search scope: every file that passes the masks goes to a per-file action.
#pragma once

#include <cstdint>

#include "far/plugin.h"
#include "filesearch/file_work.h"
#include "platform/platform.h"

class MatchContext;
struct SearchRun;

// A file the walk hands to the per-file action: its listing record with the full path in
// cFileName, and the folder it was listed in, held open, so that the file is opened
// relative to it. A record whose status was not queried yet (its fields beyond the name
// empty) is completed on demand: the status of a file that is not kept is never queried.
class FoundFile {
 public:
  // A file of the walk: its bare name starts at nameAt in the record's full path.
  FoundFile(platform::FileRecord& record, const platform::Folder* folder, int nameAt, bool complete)
      : record_(record), folder_(folder), nameAt_(nameAt), complete_(complete) {}
  // A file known by its full path alone, with its record complete.
  explicit FoundFile(platform::FileRecord& record) : record_(record) {}
  FoundFile(const FoundFile&) = delete;
  FoundFile& operator=(const FoundFile&) = delete;

  const char* path() const { return record_.cFileName; }
  const platform::FileRecord& record() const { return record_; }
  // Opens the file for reading; size as File::OpenForReading gives it.
  bool Open(platform::File* opened, std::uint64_t* size);
  // Fills in the record (attributes, times, size). False when the file is gone; then it is
  // not to be kept. After Open the status is the one the open gave: the file as the walk
  // found it, before it was read, without a second lookup of its name.
  bool Complete();

 private:
  platform::FileRecord& record_;
  const platform::Folder* folder_ = nullptr;
  int nameAt_ = 0;
  bool complete_ = true;
  // The status the open of the file gave, when it gave one (its attributes are not 0).
  platform::FileRecord opened_{};
};

// Walks the run's scope, filling run.results (emptied first) through the work's takes.
// Returns 0 when the scope of selected folders finds the active panel empty, else 1. With
// recordsOnDemand the work gets files whose records may still be incomplete and completes
// those it keeps; otherwise a file gone since its listing is left out. With more than one
// thread (the run's setting) worker threads test the files while this thread walks; the
// takes still run here, in walk order.
int WalkScope(SearchRun& run, const FileWork& work, bool recordsOnDemand = false);
// Makes the path end with the separator; returns its new length, or -1 when the
// separator does not fit the buffer (the path is then left as it was).
int EnsureTrailingBackslash(char* path);
