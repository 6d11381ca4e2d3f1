// The questions of a replace run: once per file before its new version is made, once per
// match before it is replaced. With both kinds off a run asks nothing.
#pragma once

#include <string>

struct SearchRun;

// Where a run's questions stand: whether files are still asked about (the all answer to a
// file question clears it), whether the current file is accepted, and whether its matches
// are still asked about (the all answer to a match question clears it until the file ends).
struct Confirmations {
  bool filesThisRun = false;
  bool fileConfirmed = true;
  bool linesThisFile = false;
};

// At the start of a run, from its settings.
Confirmations StartConfirmRun(const SearchRun& run);
// At the start of each file, from the run's settings and where the questions stand.
void StartConfirmFile(Confirmations& confirmations, const SearchRun& run);

// 1: rewrite this file; 0: leave it (cancel also stops the run).
int ConfirmFile(Confirmations& confirmations, SearchRun& run, const char* path);
// 1: replace this match; 0: leave it as it is (cancel also stops the run).
int ConfirmMatch(Confirmations& confirmations, SearchRun& run, const std::string& matched,
                 const std::string& replacement, const char* path);
