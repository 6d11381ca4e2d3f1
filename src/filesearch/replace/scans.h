// The replace scans over a file's content: they find the matches of the run's search
// (plain text, the pattern line by line, the pattern in a sliding window of lines) and
// write the new content to an output sink. They take bytes only, so they can run on any
// byte range without files.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

class MatchContext;

// Where a scan's new content goes.
struct OutputSink {
  // At the first match: 1 when the output now exists, 0 to leave the file as it is.
  std::function<int()> begin;
  // For each match: 1 to write the replacement, 0 to keep the matched bytes.
  std::function<int(const unsigned char* matched, std::size_t length,
                    const std::string& replacement)>
      confirm;
  // Appends bytes; 0 when they could not be written (the failure has been reported).
  std::function<int(const unsigned char* bytes, std::size_t count)> write;
  // Where set: before anything is asked or written for a match, 0 when its replacement
  // cannot be written at all (the file must then stay as it is); and what writes a
  // replacement instead of write.
  std::function<int(const std::string& replacement)> accepts = nullptr;
  std::function<int(const std::string& replacement)> insert = nullptr;
};

// The state of one scan (ReplaceOutput).
struct ReplaceOutput {
  MatchContext* context = nullptr;  // the run the scan replaces for, on this thread
  const OutputSink* sink = nullptr;
  bool open = false;         // the sink's begin accepted the file
  bool failed = false;       // a write failed: what was written is incomplete
  bool tooLarge = false;     // a line or window was too large for the pattern's offsets
  bool interrupted = false;  // Escape was pressed inside the file
  int limit = 0;             // the pattern engine gave up (a kLimit value of common/pattern.h)
  const unsigned char* pending = nullptr;   // first content byte not yet written
  const unsigned char* position = nullptr;  // where the scan is
};

// A replace scan: 1 when a complete new content went to the sink, 0 when nothing did or it
// is incomplete or must not be used (see the flags).
using ReplaceScan = int (*)(const unsigned char* content, std::size_t length, ReplaceOutput* out);

// Runs the replace scan of the run's mode (filesearch/search_modes.h); 0 for a mode
// without one.
int ReplaceInContent(const unsigned char* content, std::size_t length, ReplaceOutput* out);

int ReplacePlainText(const unsigned char* content, std::size_t length, ReplaceOutput* out);
int ReplaceByLines(const unsigned char* content, std::size_t length, ReplaceOutput* out);
int ReplaceSeveralLines(const unsigned char* content, std::size_t length, ReplaceOutput* out);

// One step of the window scan over [*windowStart, windowEnd) of the content: replaces its
// matches, moves the window start to the end of the last match (past one line when nothing
// matched or the last match was empty), and reports how many lines, a piece of one
// counting whole, remain in the window. endsContent: the window ends where the content
// does. 0 to stop the scan.
int WindowStep(ReplaceOutput* out, const unsigned char* content, const unsigned char** windowStart,
               const unsigned char* windowEnd, bool endsContent, int* ovector, int pairs,
               int* lines);

// Writes what precedes the match, then the replacement or the matched bytes as the sink
// confirms. 0 to stop this file.
int WriteMatch(ReplaceOutput* out, const unsigned char* start, std::size_t length,
               const std::string& replacement);
// Writes the pending bytes up to end. 1 when an output exists and every write succeeded.
int FinishOutput(ReplaceOutput* out, const unsigned char* end);
