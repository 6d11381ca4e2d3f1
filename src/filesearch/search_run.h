// A search or replace run as a value: the settings taken when it starts, what the compile
// step made of its text, its stop flag and its counters, built once and passed down to the
// walker and the matchers. Nothing of a run lives in globals, so the matchers of one run,
// or of two, may test different files on several threads at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "filesearch/code_pages.h"
#include "filesearch/search_modes.h"

struct CompiledPattern;
struct ResultsList;

// The stored settings a run goes by, as they were when it started.
struct SearchSettings {
  std::string text;
  std::string masks = "*.*";
  int modeNumber = 1;  // as stored: a hand-edited number may have no mode, and tests nothing
  bool caseSensitive = false;
  bool inverse = false;
  int scope = 2;
  int severalLines = 5;
  int threads = 1;  // the threads that test files; 0 for one per processor
  // How files without a byte order mark are read besides as they are (empty: only so).
  std::vector<Reading> readings;
  std::uint64_t readAtOnceBytes = 1024 * 1024;  // in 64 bits: no setting can wrap it
  // The replace's.
  std::string replacement;
  bool keepBackup = false;
  bool confirmMatches = false;
  bool confirmFiles = false;
  bool listRewritten = false;

  // False for a stored number with no mode.
  bool FindMode(SearchMode* mode) const { return FindSearchMode(modeNumber, mode); }
  bool IsMode(SearchMode mode) const { return modeNumber == static_cast<int>(mode); }
};

// Takes the settings from the stored ones (filesearch/settings.h).
SearchSettings TakeSearchSettings();

struct PatternRelease {
  void operator()(CompiledPattern* pattern) const;
};
using PatternPtr = std::unique_ptr<CompiledPattern, PatternRelease>;

// What the compile step made of a run's text: one pattern, or one for every word of a
// list of patterns. Read-only while the run goes on.
struct CompiledSearch {
  PatternPtr pattern;
  std::vector<std::pair<std::string, PatternPtr>> words;

  // The compiled word, or null when the word was not compiled (it cannot be).
  const CompiledPattern* FindWord(const char* word) const;
};

// Compiles the text as the mode asks. Shows the first error and returns 0 then; 1 otherwise.
int CompileSearch(const SearchSettings& settings, CompiledSearch* compiled);

struct SearchRun {
  SearchRun(SearchSettings taken, CompiledSearch made)
      : settings(std::move(taken)), compiled(std::move(made)) {}
  SearchRun(const SearchRun&) = delete;
  SearchRun& operator=(const SearchRun&) = delete;

  const CompiledPattern* pattern() const { return compiled.pattern.get(); }

  const SearchSettings settings;
  const CompiledSearch compiled;
  // Ends the run as soon as every thread sees it: Escape, a word that is no pattern, a
  // cancelled question. Any thread may set it.
  std::atomic<bool> stop{false};
  // The pattern engine's limit warning is shown once a run.
  std::atomic<bool> limitWarned{false};
  // Only the host's thread, which walks, touches these.
  ResultsList* results = nullptr;
  int filesTested = 0;
  // Temporary files of replaces that died, removed on the way.
  int temporariesRemoved = 0;
};
