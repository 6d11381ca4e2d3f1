// One thread's share of a run: what its matchers may change while they test files. Each
// thread that tests files has its own; the run they share is read-only to them but for
// its stop flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/pattern.h"
#include "filesearch/byte_scan.h"
#include "filesearch/search_run.h"
#include "platform/platform.h"

class MatchContext {
 public:
  // watchesConsole: this is the host's thread, which alone may look at the console.
  MatchContext(SearchRun& run, bool watchesConsole)
      : run(run), settings(run.settings), watchesConsole_(watchesConsole) {}
  MatchContext(const MatchContext&) = delete;
  MatchContext& operator=(const MatchContext&) = delete;
  // What the thread kept for matching goes with its share of the run.
  ~MatchContext() { ReleaseThreadMatchState(); }

  bool Stopped() const { return run.stop.load(std::memory_order_relaxed); }
  void Stop() { run.stop.store(true, std::memory_order_relaxed); }

  // Between files: 1 when Escape was pressed. The console is looked at whenever the coarse
  // clock has moved on since the last look, so that an Escape is seen within milliseconds
  // while a look costs system calls only that often. Only the host's thread looks; the
  // others see the stop flag it sets.
  int PollEscape();
  // Between two tests inside one file, each of which may take long (a pattern that runs the
  // engine into its limits): 1 when Escape was pressed, and the run is then stopped. While the
  // clock stands still it is read only every few calls, so a file of many quick tests pays
  // next to nothing.
  int PollWithinFile() { return --callsUntilClock_ > 0 ? 0 : ReadClockWithinFile(); }
  // After a test that surely took long (the engine gave up on it), the next poll reads the
  // clock.
  void LookAtClockSoon() { callsUntilClock_ = 1; }

  SearchRun& run;
  const SearchSettings& settings;

  // Kept from file to file, since the files of one tree are alike. The pair of bytes a
  // plain text was last best found by, once its rarest byte proved common:
  struct TextPairs {
    std::string text;
    bool exact = false;
    TextPair pair{};
  } literalPairs;
  // and the same for the pattern whose leading text was last found by pairs.
  const CompiledPattern* pairsPattern = nullptr;
  TextPair pairsOfPattern{};
  // The buffers files are read into: one for pieces, one for whole files.
  std::vector<unsigned char> pieceBuffer;
  std::vector<unsigned char> wholeBuffer;
  // A file in another encoding: its text, and (read in pieces) its bytes not yet decoded.
  std::vector<unsigned char> textBuffer;
  std::vector<unsigned char> undecodedPiece;
  // The words of a list of patterns compiled on this thread (see FindWordPattern).
  std::vector<std::pair<std::string, PatternPtr>> wordsCompiledHere;
  // The window walk of mode 3 under way: the occurrences of a byte every match needs.
  ByteFinder* windowCandidates = nullptr;
  const unsigned char* windowsBase = nullptr;

 private:
  int ReadClockWithinFile();
  bool LookAtConsole(std::uint64_t now);

  bool watchesConsole_;
  platform::ConsoleLook consoleLook_;  // fresh: the first look of a run looks
  // Within a file: how many calls apart the clock is read. The gap doubles while the clock
  // stands still and closes as soon as it moves: quick tests read it once in the largest
  // gap, and a run of slow ones is noticed after at most that many of them (at once after
  // a test the engine gave up on).
  int callsUntilClock_ = 0;
  int callsBetweenClocks_ = 1;
};
