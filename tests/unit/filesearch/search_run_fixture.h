// A run of the file search made in a test, as the plugin makes one for each search: the
// settings, what the compile step made of them, and a thread's share of the run.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "common/pattern.h"
#include "filesearch/match_context.h"
#include "filesearch/results.h"
#include "filesearch/search_run.h"

struct TestRun {
  // With compile, the text is compiled as the mode asks (and the test fails unless it
  // compiles); without, the run has no pattern, as one whose compile step did not run.
  explicit TestRun(SearchSettings settings, bool compile = true)
      : run(settings, Compile(settings, compile)), context(run, false) {
    run.results = &results;
  }
  // A run whose pattern is the given text compiled, whatever the mode.
  TestRun(SearchSettings settings, const char* pattern, int caseSensitive)
      : run(settings, CompilePatternOnly(pattern, caseSensitive)), context(run, false) {
    run.results = &results;
  }
  ~TestRun() { ClearResults(&results); }

  static CompiledSearch Compile(const SearchSettings& settings, bool compile) {
    CompiledSearch compiled;
    if (compile) {
      EXPECT_EQ(CompileSearch(settings, &compiled), 1) << settings.text;
    }
    return compiled;
  }
  static CompiledSearch CompilePatternOnly(const char* text, int caseSensitive) {
    CompiledSearch compiled;
    CompiledPattern* pattern = nullptr;
    EXPECT_EQ(CompilePattern(&pattern, text, caseSensitive), 1) << text;
    compiled.pattern.reset(pattern);
    return compiled;
  }

  ResultsList results;
  SearchRun run;
  MatchContext context;
};

// Settings of a search: text, mode number, case; the rest as the defaults have them.
inline SearchSettings MakeSettings(const std::string& text, int mode, int caseSensitive,
                                   int severalLines = 5) {
  SearchSettings settings;
  settings.text = text;
  settings.modeNumber = mode;
  settings.caseSensitive = caseSensitive != 0;
  settings.severalLines = severalLines;
  return settings;
}

// One pattern compiled into a run for each height of windows asked for; each run keeps its
// context from range to range, as a search does from file to file.
struct PatternRuns {
  PatternRuns(const char* text, int caseSensitive) : text(text), caseSensitive(caseSensitive) {}
  TestRun& For(int severalLines) {
    std::unique_ptr<TestRun>& test = runs[severalLines];
    if (!test)
      test = std::make_unique<TestRun>(MakeSettings(text, 1, caseSensitive, severalLines), text,
                                       caseSensitive);
    return *test;
  }
  MatchContext& Context(int severalLines = 5) { return For(severalLines).context; }
  const CompiledPattern* Pattern() { return For(5).run.pattern(); }

  const char* text;
  int caseSensitive;
  std::map<int, std::unique_ptr<TestRun>> runs;
};
