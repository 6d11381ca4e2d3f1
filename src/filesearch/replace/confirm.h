// The questions of a replace run: once per file before its new version is made, once per
// match before it is replaced. With both kinds off a run asks nothing.
#pragma once

#include <string>

// Run state: whether files are still asked about in this run (the all answer to a file
// question clears it), whether the current file is accepted, and whether its matches are
// still asked about (the all answer to a match question clears it until the file ends).
extern int ConfirmFilesThisRun;
extern int FileConfirmed;
extern int ConfirmLinesThisFile;

// At the start of a run, from FRConfirmFile.
void StartConfirmRun();
// At the start of each file, from FRConfirmLine and the run state.
void StartConfirmFile();

// 1: rewrite this file; 0: leave it (cancel also sets StopSearch).
int ConfirmFile(const char* path);
// 1: replace this match; 0: leave it as it is (cancel also sets StopSearch).
int ConfirmMatch(const std::string& matched, const std::string& replacement, const char* path);
