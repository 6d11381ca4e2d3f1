// The walk of the search scope: every file that passes the masks goes to a per-file action.
#pragma once

#include "far/plugin.h"
#include "filesearch/results.h"
#include "platform/platform.h"

// The per-file action: the file's listing record with its full path in cFileName.
using FileAction = void (*)(FarFindData* file, ResultsList* results);

extern bool StopSearch;  // ends the walk as soon as it can
extern int FilesTested;  // files handed to the action in this walk

// Walks the scope FSearchIn. Returns 0 when the scope of selected folders finds the active
// panel empty, else 1. With recordsOnDemand the action gets a record whose fields beyond
// the name may still be empty, and calls CompleteFoundRecord for a file it keeps: the
// status of a file that is not kept is then never queried.
int WalkScope(ResultsList* results, FileAction action, bool recordsOnDemand = false);
// Fills in the record the action was handed (attributes, times, size). False when the
// file is gone; then it is not to be kept. After OpenFoundFile the status is the one the
// open gave: the file as the walk found it, before it was read, without a second lookup
// of its name.
bool CompleteFoundRecord(FarFindData* file);
// Opens the file the action was handed for reading, relative to the folder the walk holds
// open (a record from elsewhere by its path); size as File::OpenForReading gives it.
bool OpenFoundFile(const FarFindData* file, platform::File* opened, std::uint64_t* size);
// Walks one folder (path is a buffer of kMaxPath characters). Returns 0 when stopped.
int WalkFolder(char* path, ResultsList* results, FileAction action);
// Makes the path end with the separator; returns its new length, or -1 when the
// separator does not fit the buffer (the path is then left as it was).
int EnsureTrailingBackslash(char* path);
// 1 when Escape was pressed.
int PollEscape();
// Between two tests inside one file, each of which may take long (a pattern that runs the
// engine into its limits): 1 when Escape was pressed, and StopSearch is then set. The
// console is looked at as PollEscape does; while the clock stands still it is read only
// every few calls, so a file of many quick tests pays next to nothing.
inline int PollEscapeWithinFile();
// After a test that surely took long (the engine gave up on it), the next poll reads the
// clock.
inline void LookAtClockSoon();

// The inline part of the poll within a file counts calls; the rest reads the clock.
extern int CallsUntilClock;
int ReadClockWithinFile();
inline int PollEscapeWithinFile() { return --CallsUntilClock > 0 ? 0 : ReadClockWithinFile(); }
inline void LookAtClockSoon() { CallsUntilClock = 1; }
