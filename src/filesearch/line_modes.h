// The pattern modes over lines: each line alone (mode 1), the whole file (mode 2) and
// windows of several lines (mode 3). A line ends at a CR, an LF or a CR LF pair, so LF CR
// is two line ends.
#pragma once

#include <cstddef>

class MatchContext;
struct CompiledPattern;

// Advances the cursor to the next CR or LF, lowering remaining by the bytes passed; stops
// when remaining reaches 0.
void FindLineEnd(const unsigned char** cursor, std::size_t* remaining);
// Passes one CR, then one LF, each only when it is there and remaining allows.
void SkipLineEnd(const unsigned char** cursor, std::size_t* remaining);

// A test of one window: 1 it passes, 0 it does not, negative when it cannot tell.
// endsRange: the window ends where the whole range ends (else its end is no line end).
using RangeTest = int (*)(MatchContext& context, const unsigned char* bytes, std::size_t count,
                          bool endsRange);

// The window walk of mode 3: every run of lines consecutive lines (line ends included) in
// file order, then the last window shrinking from the front to the last line alone; a
// range of fewer lines is tested whole first. Returns 1 at the first window that passes;
// otherwise the first negative answer of a window, or 0 when every window answered 0. A
// stop of the run ends the walk with 0.
int TestLineWindows(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    int lines, RangeTest test);

// The offset just past the last line end of the range that later bytes cannot change: the
// last LF, or a CR with a byte after it. 0 when there is none. *holdsCr, when asked for,
// tells whether a CR stands before that offset.
std::size_t FindLastLineCut(const unsigned char* bytes, std::size_t count,
                            bool* holdsCr = nullptr);
// The offset where the last n lines of the range start; the range ends at a line end. 0
// when the range has no more than n lines.
std::size_t FindLastLinesStart(const unsigned char* bytes, std::size_t count, int n);

// Where the first match of the pattern can start in the range: the first place of the
// text all its matches start with (common/pattern_facts.h); 0 when there is no such text,
// the count when the text is not there.
// The context keeps the way the text was last best found.
std::size_t FindFirstMatchStart(MatchContext& context, const CompiledPattern* pattern,
                                const unsigned char* bytes, std::size_t count);

// The matchers of modes 1, 2 and 3, with the run's pattern: 1 found, 0 not found, or minus
// a kLimit value (common/pattern.h) when the engine gave up and nothing was found elsewhere.
int MatchLines(MatchContext& context, const unsigned char* bytes, std::size_t count);
int MatchWholeFile(MatchContext& context, const unsigned char* bytes, std::size_t count);
int MatchSeveralLines(MatchContext& context, const unsigned char* bytes, std::size_t count);

// The same for a range that more bytes of the file follow (moreFollows), as PieceMatcher
// (filesearch/matchers.h) describes: mode 1 tests the whole lines, mode 3 the windows of
// whole lines that end before the range does. *keepFrom is where the rest starts.
int MatchLinesPiece(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    bool moreFollows, std::size_t* keepFrom);
int MatchSeveralLinesPiece(MatchContext& context, const unsigned char* bytes, std::size_t count,
                           bool moreFollows, std::size_t* keepFrom);
