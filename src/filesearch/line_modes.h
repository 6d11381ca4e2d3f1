// The pattern modes over lines: each line alone (mode 1), the whole file (mode 2) and
// windows of several lines (mode 3). A line ends at a CR, an LF or a CR LF pair, so LF CR
// is two line ends.
#pragma once

#include <cstddef>

// Advances the cursor to the next CR or LF, lowering remaining by the bytes passed; stops
// when remaining reaches 0.
void FindLineEnd(const unsigned char** cursor, std::size_t* remaining);
// Passes one CR, then one LF, each only when it is there and remaining allows.
void SkipLineEnd(const unsigned char** cursor, std::size_t* remaining);

// A test of one window: 1 it passes, 0 it does not, negative when it cannot tell.
// endsRange: the window ends where the whole range ends (else its end is no line end).
using RangeTest = int (*)(const unsigned char* bytes, std::size_t count, bool endsRange);

// The window walk of mode 3: every run of lines consecutive lines (line ends included) in
// file order, then the last window shrinking from the front to the last line alone; a
// range of fewer lines is tested whole first. Returns 1 at the first window that passes;
// otherwise the first negative answer of a window, or 0 when every window answered 0. A
// stop (StopSearch) ends the walk with 0.
int TestLineWindows(const unsigned char* bytes, std::size_t count, int lines, RangeTest test);

// The matchers of modes 1, 2 and 3, with SearchPattern: 1 found, 0 not found, or minus a
// kLimit value (common/pattern.h) when the engine gave up and nothing was found elsewhere.
int MatchLines(const unsigned char* bytes, std::size_t count);
int MatchWholeFile(const unsigned char* bytes, std::size_t count);
int MatchSeveralLines(const unsigned char* bytes, std::size_t count);
