// What the walk does with each file, cut in two: a test that only reads the file and may run
// on any thread, and a take that uses the host (lists the file, shows a warning) and runs on
// the host's thread, in walk order. One after the other they are the per-file action.
#pragma once

#include <functional>
#include <memory>

class FoundFile;
class MatchContext;

// What the test of one file found, for its take.
struct FileOutcome {
  int found = 0;
  // The run was stopped while the file was tested: it has no answer.
  bool stopped = false;
  // The file was gone before it could be tested: it is left out.
  bool gone = false;
  // Whatever else the test made for the take (the replace's new version).
  std::shared_ptr<void> made;
};

using FileTest = std::function<FileOutcome(FoundFile& file, MatchContext& context)>;
using FileTake = std::function<void(FoundFile& file, FileOutcome& outcome, MatchContext& context)>;

struct FileWork {
  FileTest test;
  FileTake take;
  // False when a test may ask the user (it calls the host): then every file is tested on
  // the host's thread.
  bool onWorkers = true;
};
